#include "misc/XmlUtils.h"

#include "misc/FileUtils.h"

#include <QFile>
#include <QXmlStreamReader>

namespace Misc {

namespace {
bool IsWithinDepthLimit(const QByteArray& content)
{
    QXmlStreamReader reader(content);
    int nDepth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++nDepth > MaxXmlDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --nDepth;
    }
    return true;
}
} // namespace

XmlReadResult ReadXmlFile(const QString& strFile, QDomDocument& document)
{
    if (Misc::IsSpecialFile(strFile))
        return XmlReadResult::NotRegularFile;
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly))
        return XmlReadResult::NotOpened;
    const QByteArray content = file.readAll();
    if (!IsWithinDepthLimit(content) || !document.setContent(content, true))
        return XmlReadResult::NotReadable;
    return XmlReadResult::Read;
}

} // namespace Misc
