#pragma once

#include <QDomDocument>
#include <QString>

namespace Misc {

enum class XmlReadResult {
    Read,
    NotOpened,
    NotRegularFile,
    // Not well-formed, or nested deeper than MaxXmlDepth.
    NotReadable
};

// Deeper documents are refused: a file nested many thousand levels deep takes the DOM minutes to
// build, and the readers that walk it recurse once per level until the stack overflows.
constexpr int MaxXmlDepth = 64;

// Reads strFile into document (namespace processing on). The nesting is checked by a streaming
// pass before the DOM is built. On failure *pReason, when given, says why in words for the user:
// the system's reason, or the line and column where the XML goes wrong.
XmlReadResult ReadXmlFile(const QString& strFile, QDomDocument& document, QString* pReason = nullptr);

} // namespace Misc
