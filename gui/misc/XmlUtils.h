#pragma once

#include <QDomDocument>
#include <QString>

namespace XmlUtils
{

enum class XmlReadResult
{
    Read,
    NotOpened,
    NotRegularFile,
    // Not well-formed, or nested deeper than MaxXmlDepth.
    NotReadable
};

// Deeper documents are refused: the DOM and its readers recurse once per level, and a file
// nested a few thousand levels deep would overflow the stack at every start.
constexpr int MaxXmlDepth = 64;

// Reads strFile into document (namespace processing on). The nesting is checked by a streaming
// pass before the DOM is built.
XmlReadResult ReadXmlFile(const QString& strFile, QDomDocument& document);

}  // namespace XmlUtils
