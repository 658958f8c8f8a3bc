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

    QVariant GetOption(const QString& strName, const QVariant& defaultValue = QVariant()) const;
    void SetOption(const QString& strName, const QVariant& value);
    bool ContainsOptionBranch(const QString& strPrefix) const;
    const QMap<QString, QVariant>& GetOptions() const { return m_options; }

    QPoint GetOption_Point(const QString& strName, const QPoint& ptDefault) const;
    void SetOption_Point(const QString& strName, const QPoint& pt);
    QSize GetOption_Size(const QString& strName, const QSize& szDefault) const;
    void SetOption_Size(const QString& strName, const QSize& sz);

    void SaveWindowState(const QWidget* pWindow, const QString& strName);
    void LoadWindowState(QWidget* pWindow, const QString& strName) const;

protected:
    virtual void SetDefaultOptions() {}
    virtual void OnLoadOptions() {}
    virtual void OnSaveOptions() {}

private:
    static QDomElement CreateXmlElement(QDomDocument& document, QDomElement& root, const QString& strName);
    void ParseXmlElement(const QDomElement& element, const QString& strPath);

    QMap<QString, QVariant> m_options;
};

} // namespace Misc
