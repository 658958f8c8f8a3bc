#include "misc/XmlUtils.h"

#include "misc/FileUtils.h"

#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamReader>

namespace Misc {

namespace {
QString AtLine(qint64 nLine, qint64 nColumn, const QString& strWhat)
{
    return QCoreApplication::translate("Misc", "Line %1, column %2: %3").arg(nLine).arg(nColumn).arg(strWhat);
}

bool IsWithinDepthLimit(const QByteArray& content, QString& strReason)
{
    QXmlStreamReader reader(content);
    int nDepth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++nDepth > MaxXmlDepth) {
            strReason =
                AtLine(reader.lineNumber(), reader.columnNumber(),
                       QCoreApplication::translate("Misc", "elements nested more than %1 deep").arg(MaxXmlDepth));
            return false;
        }
        if (token == QXmlStreamReader::EndElement)
            --nDepth;
    }
    return true;
}
} // namespace

XmlReadResult ReadXmlFile(const QString& strFile, QDomDocument& document, QString* pReason)
{
    QString strReason;
    const auto result = [&](XmlReadResult readResult) {
        if (pReason)
            *pReason = strReason;
        return readResult;
    };
    if (Misc::IsSpecialFile(strFile))
        return result(XmlReadResult::NotRegularFile);
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly)) {
        strReason = file.errorString();
        return result(XmlReadResult::NotOpened);
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        strReason = file.errorString();
        return result(XmlReadResult::NotReadable);
    }
    if (!IsWithinDepthLimit(content, strReason))
        return result(XmlReadResult::NotReadable);
    QString strMessage;
    int nLine = 0, nColumn = 0;
    if (!document.setContent(content, true, &strMessage, &nLine, &nColumn)) {
        strReason = AtLine(nLine, nColumn, strMessage);
        return result(XmlReadResult::NotReadable);
    }
    return result(XmlReadResult::Read);
}

} // namespace Misc
