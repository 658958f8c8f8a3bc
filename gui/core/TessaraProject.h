#pragma once

#include "core/TessaraSettings.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QDomElement>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace Core {

// Reads and writes project files (".tsp"). Use a fresh object for every load and every save.
class TessaraProject
{
    Q_DECLARE_TR_FUNCTIONS(Project)

public:
    virtual ~TessaraProject() = default;

    bool LoadProject(const QString& strPath);
    bool SaveProject(const QString& strPath);

    // Widest row by number of rows; (0, 0) without rows.
    QSize GetGridSize() const;

    TessaraSettings& GetSettings() { return m_settings; }
    const TessaraSettings& GetSettings() const { return m_settings; }
    const QString& GetLastError() const { return m_error; }

private:
    bool ReadRowsElement(const QDomElement& root);
    bool ReadRowElement(const QDomElement& row);
    bool ReadTrayElement(const QDomElement& root);
    bool ReadSettingsElement(const QDomElement& root);
    static bool ReadSettingElement(const QDomElement& parent, const QString& strName, QVariant& value);

    QByteArray SerializeDocument() const;

    QDomElement CreateRowsElement();
    QDomElement CreateRowElement(const QStringList& astrFiles);
    QDomElement CreateTrayElement();
    QDomElement CreateSettingsElement();
    QDomElement CreateSettingElement(const QString& strName, const QVariant& value);

    TessaraSettings m_settings;
    QDomDocument m_document;
    QString m_error;
};

} // namespace Core
