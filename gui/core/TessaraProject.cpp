#include "core/TessaraProject.h"

#include "misc/Guard.h"
#include "misc/FileUtils.h"
#include "misc/XmlUtils.h"

#include "TessaraContract.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

namespace Core {

namespace {
const QString kRows = QString::fromLatin1(Contract::Project::kRows);
const QString kRow = QString::fromLatin1(Contract::Project::kRow);
const QString kFile = QString::fromLatin1(Contract::Project::kFile);
const QString kTray = QString::fromLatin1(Contract::Project::kTray);
const QString kSettings = QString::fromLatin1(Contract::Project::kSettings);
const QString kOverlap = QString::fromLatin1(Contract::Project::kOverlap);
const QString kRegion = QString::fromLatin1(Contract::Project::kRegion);
const QString kWidth = QString::fromLatin1(Contract::Project::kWidth);
const QString kHeight = QString::fromLatin1(Contract::Project::kHeight);
const QString kBackground = QString::fromLatin1(Contract::Project::kBackground);
const QString kTransparency = QString::fromLatin1(Contract::Project::kTransparency);
const QString kStackImages = QString::fromLatin1(Contract::Project::kStackImages);
const QString kAutoOrient = QString::fromLatin1(Contract::Project::kAutoOrient);
const QString kDirToken = QString::fromLatin1(Contract::Project::kDirToken);

// A "File" entry must hold at least one node; its value is that node's text (empty if not text).
bool ReadFileValue(const QDomElement& file, QString& strValue)
{
    if (file.isNull() || !file.hasChildNodes())
        return false;
    strValue = file.firstChild().toText().data();
    return true;
}

int ToWholeInteger(const QString& strText)
{
    bool bOk = false;
    const int nValue = strText.toInt(&bOk);
    return bOk ? nValue : 0;
}

bool ToBool(const QString& strText)
{
    return !(strText.isEmpty() || strText == QLatin1String("0")
             || strText.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

// "#" with 3, 6, 9 or 12 hex digits, or a colour keyword; anything else is invalid. The
// eight-digit alpha form is refused because tesscli would read the same text as another colour.
QColor ToColor(const QString& strText)
{
    if (strText.startsWith(QLatin1Char('#')) && strText.size() == 9)
        return QColor();
    return QColor::fromString(strText);
}

// XML cannot carry most control characters, not even as references; a project holding one
// could be written but never read back.
bool IsXmlText(const QString& strText)
{
    for (const QChar ch : strText) {
        const char16_t c = ch.unicode();
        if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF)
            return false;
    }
    return true;
}

bool AreXmlTexts(const QStringList& astrTexts)
{
    return std::all_of(astrTexts.cbegin(), astrTexts.cend(), IsXmlText);
}

QString ToText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QColor:
        return value.value<QColor>().name(QColor::HexRgb);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        return value.toString();
    }
}
} // namespace

bool TessaraProject::LoadProject(const QString& strPath)
{
    return GUARD_RUN([&] {
        // The first line stays the same for every cause; the file and the cause follow on their own lines.
        QString strReason;
        const QString strDetail = QLatin1Char('\n') + QDir::toNativeSeparators(strPath) + QLatin1Char('\n');
        switch (Misc::ReadXmlFile(strPath, m_document, &strReason)) {
        case Misc::XmlReadResult::Read:
            break;
        case Misc::XmlReadResult::NotOpened:
            m_error = tr("Unable to open the project file") + strDetail + strReason;
            return false;
        case Misc::XmlReadResult::NotRegularFile:
            m_error = tr("The project file is not a regular file");
            return false;
        case Misc::XmlReadResult::NotReadable:
            m_error = tr("Unable to read the project file") + strDetail + strReason;
            return false;
        }

        const QDomElement root = m_document.documentElement();
        if (root.tagName() != QLatin1String(Contract::Project::kRoot)
            || root.attribute(QLatin1String(Contract::Project::kTypeAttribute))
                   != QLatin1String(Contract::Project::kType)) {
            m_error = tr("The selected file is not a valid Tessara project");
            return false;
        }
        if (ToWholeInteger(root.attribute(QLatin1String(Contract::Project::kVersionAttribute)))
            != Contract::Project::kVersion) {
            m_error = tr("The project file version doesn't match the current version");
            return false;
        }
        return ReadRowsElement(root) && ReadTrayElement(root) && ReadSettingsElement(root);
    });
}

bool TessaraProject::SaveProject(const QString& strPath)
{
    return GUARD_RUN([&] {
        const bool bWritable =
            AreXmlTexts(m_settings.tray) && std::all_of(m_settings.rows.cbegin(), m_settings.rows.cend(), AreXmlTexts);
        if (!bWritable) {
            m_error = tr("Unable to write the project file");
            return false;
        }

        QDomElement project = m_document.createElement(QLatin1String(Contract::Project::kRoot));
        project.setAttribute(QLatin1String(Contract::Project::kTypeAttribute), QLatin1String(Contract::Project::kType));
        project.setAttribute(QLatin1String(Contract::Project::kVersionAttribute), Contract::Project::kVersion);
        project.appendChild(CreateRowsElement());
        project.appendChild(CreateTrayElement());
        project.appendChild(CreateSettingsElement());
        m_document.appendChild(project);

        const bool bSaved = Misc::WriteFileSafely(strPath, SerializeDocument());
        if (!bSaved)
            m_error = tr("Unable to write the project file");
        return bSaved;
    });
}

QByteArray TessaraProject::SerializeDocument() const
{
    // QDom emits attributes in hash order, which changes from run to run; the root's start tag is
    // the only one with attributes, so it is written in its documented order here.
    QByteArray text = m_document.toByteArray(4);
    const qsizetype nTagEnd = text.indexOf('>');
    const QByteArray root = QByteArray(Contract::Project::kRoot);
    if (text.startsWith("<" + root + " ") && nTagEnd > 0)
        text.replace(0, nTagEnd + 1,
                     QStringLiteral("<%1 %2=\"%3\" %4=\"%5\">")
                         .arg(QLatin1String(Contract::Project::kRoot), QLatin1String(Contract::Project::kTypeAttribute),
                              QLatin1String(Contract::Project::kType),
                              QLatin1String(Contract::Project::kVersionAttribute),
                              QString::number(Contract::Project::kVersion))
                         .toLatin1());
    return text;
}

QSize TessaraProject::GetGridSize() const
{
    return GUARD_RUN([&] {
        int nWidth = 0;
        for (const QStringList& astrRow : m_settings.rows)
            nWidth = std::max(nWidth, static_cast<int>(astrRow.size()));
        return QSize(nWidth, static_cast<int>(m_settings.rows.size()));
    });
}

bool TessaraProject::ReadRowsElement(const QDomElement& root)
{
    return GUARD_RUN([&] {
        const QDomNodeList rows = root.firstChildElement(kRows).elementsByTagName(kRow);
        for (int i = 0; i < rows.size(); ++i) {
            if (!rows.at(i).isElement() || !ReadRowElement(rows.at(i).toElement())) {
                m_error = tr("Unable to read an input row");
                return false;
            }
        }
        return true;
    });
}

bool TessaraProject::ReadRowElement(const QDomElement& row)
{
    return GUARD_RUN([&] {
        const QString strAppDir = QCoreApplication::applicationDirPath();
        QStringList astrFiles;
        const QDomNodeList files = row.elementsByTagName(kFile);
        for (int i = 0; i < files.size(); ++i) {
            QString strValue;
            if (!ReadFileValue(files.at(i).toElement(), strValue))
                return false;
            if (!strValue.isEmpty())
                astrFiles.append(strValue.replace(kDirToken, strAppDir));
        }
        m_settings.rows.append(astrFiles);
        m_settings.flags |= TessaraSettings::FlagRows;
        return true;
    });
}

bool TessaraProject::ReadTrayElement(const QDomElement& root)
{
    return GUARD_RUN([&] {
        const QDomNodeList files = root.firstChildElement(kTray).elementsByTagName(kFile);
        for (int i = 0; i < files.size(); ++i) {
            QString strValue;
            if (!ReadFileValue(files.at(i).toElement(), strValue)) {
                m_error = tr("Unable to read an input row");
                return false;
            }
            m_settings.tray.append(strValue);
            m_settings.flags |= TessaraSettings::FlagTray;
        }
        return true;
    });
}

bool TessaraProject::ReadSettingElement(const QDomElement& parent, const QString& strName, QVariant& value)
{
    return GUARD_RUN([&] {
        const QDomNode first = parent.firstChildElement(strName).firstChild();
        if (!first.isText())
            return false;
        value = first.toText().data();
        return true;
    });
}

bool TessaraProject::ReadSettingsElement(const QDomElement& root)
{
    return GUARD_RUN([&] {
        const QDomElement settings = root.firstChildElement(kSettings);
        QVariant value;
        if (ReadSettingElement(settings, kOverlap, value)) {
            m_settings.overlap = ToWholeInteger(value.toString());
            m_settings.flags |= TessaraSettings::FlagOverlap;
        }

        const QDomElement region = settings.firstChildElement(kRegion);
        QVariant width, height;
        if (ReadSettingElement(region, kWidth, width) && ReadSettingElement(region, kHeight, height)) {
            m_settings.regionWidth = ToWholeInteger(width.toString());
            m_settings.regionHeight = ToWholeInteger(height.toString());
            m_settings.flags |= TessaraSettings::FlagRegion;
        }
        if (ReadSettingElement(settings, kBackground, value)) {
            m_settings.background = ToColor(value.toString());
            m_settings.flags |= TessaraSettings::FlagBackground;
        }
        if (ReadSettingElement(settings, kTransparency, value)) {
            m_settings.transparency = ToColor(value.toString());
            m_settings.flags |= TessaraSettings::FlagTransparency;
        }
        if (ReadSettingElement(settings, kStackImages, value)) {
            m_settings.stackImages = ToBool(value.toString());
            m_settings.flags |= TessaraSettings::FlagStackImages;
        }
        if (ReadSettingElement(settings, kAutoOrient, value)) {
            m_settings.autoOrient = ToBool(value.toString());
            m_settings.flags |= TessaraSettings::FlagAutoOrient;
        }
        return m_settings.VerifySettings(m_error);
    });
}

QDomElement TessaraProject::CreateRowsElement()
{
    return GUARD_RUN([&] {
        QDomElement rows = m_document.createElement(kRows);
        for (const QStringList& astrRow : m_settings.rows)
            rows.appendChild(CreateRowElement(astrRow));
        return rows;
    });
}

QDomElement TessaraProject::CreateRowElement(const QStringList& astrFiles)
{
    return GUARD_RUN([&] {
        QDomElement row = m_document.createElement(kRow);
        for (const QString& strFile : astrFiles)
            row.appendChild(CreateSettingElement(kFile, strFile));
        return row;
    });
}

QDomElement TessaraProject::CreateTrayElement()
{
    return GUARD_RUN([&] {
        QDomElement tray = m_document.createElement(kTray);
        for (const QString& strFile : m_settings.tray)
            tray.appendChild(CreateSettingElement(kFile, strFile));
        return tray;
    });
}

QDomElement TessaraProject::CreateSettingsElement()
{
    return GUARD_RUN([&] {
        QDomElement settings = m_document.createElement(kSettings);
        if (m_settings.IsSet(TessaraSettings::FlagOverlap))
            settings.appendChild(CreateSettingElement(kOverlap, m_settings.overlap));
        if (m_settings.IsSet(TessaraSettings::FlagRegion)) {
            QDomElement region = m_document.createElement(kRegion);
            region.appendChild(CreateSettingElement(kWidth, m_settings.regionWidth));
            region.appendChild(CreateSettingElement(kHeight, m_settings.regionHeight));
            settings.appendChild(region);
        }
        if (m_settings.IsSet(TessaraSettings::FlagBackground))
            settings.appendChild(CreateSettingElement(kBackground, m_settings.background));
        if (m_settings.IsSet(TessaraSettings::FlagTransparency))
            settings.appendChild(CreateSettingElement(kTransparency, m_settings.transparency));
        if (m_settings.IsSet(TessaraSettings::FlagStackImages))
            settings.appendChild(CreateSettingElement(kStackImages, m_settings.stackImages));
        if (m_settings.IsSet(TessaraSettings::FlagAutoOrient))
            settings.appendChild(CreateSettingElement(kAutoOrient, m_settings.autoOrient));
        return settings;
    });
}

QDomElement TessaraProject::CreateSettingElement(const QString& strName, const QVariant& value)
{
    return GUARD_RUN([&] {
        QDomElement element = m_document.createElement(strName);
        element.appendChild(m_document.createTextNode(ToText(value)));
        return element;
    });
}

} // namespace Core
