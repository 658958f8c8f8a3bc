#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QMap>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QVariant>

class QWidget;

namespace Misc {

// Named option values ("Windows.MainWindow.Position.x") kept in an XML file as nested elements,
// one per dotted component. Values read from the file are texts.
class OptionSet
{
public:
    virtual ~OptionSet() = default;

    bool InitOptionSet();
    bool LoadOptions(const QString& strFile);
    bool SaveOptions(const QString& strFile);
    // Another instance may have saved since this one loaded: under a lock file beside strFile, the
    // file is read again and written back with this instance's changed values, the rest as found.
    bool MergeAndSaveOptions(const QString& strFile);

    QVariant GetOption(const QString& strName, const QVariant& defaultValue = QVariant()) const;
    void SetOption(const QString& strName, const QVariant& value);
    bool ContainsOptionBranch(const QString& strPrefix) const;
    const QMap<QString, QVariant>& GetOptions() const { return m_options; }

    QPoint GetOption_Point(const QString& strName, const QPoint& ptDefault) const;
    void SetOption_Point(const QString& strName, const QPoint& pt);
    QSize GetOption_Size(const QString& strName, const QSize& szDefault) const;
    void SetOption_Size(const QString& strName, const QSize& sz);

    void SaveWindowState(const QWidget* pWindow, const QString& strName);
    // nCascade moves the window that many title bar heights down and right, off the windows of
    // other instances restored at the same place.
    void LoadWindowState(QWidget* pWindow, const QString& strName, int nCascade = 0) const;

protected:
    virtual void SetDefaultOptions() {}
    virtual void OnLoadOptions() {}
    virtual void OnSaveOptions() {}
    // During MergeAndSaveOptions, after the plain options are merged: fold in what the file holds.
    virtual void OnMergeOptions(const QMap<QString, QVariant>& fileOptions) { Q_UNUSED(fileOptions); }

private:
    static QDomElement CreateXmlElement(QDomDocument& document, QDomElement& root, const QString& strName);
    void ParseXmlElement(const QDomElement& element, const QString& strPath);

    QMap<QString, QVariant> m_options;
    QMap<QString, QVariant> m_loadedOptions; // as last read or written, to tell own changes apart
};

} // namespace Misc
