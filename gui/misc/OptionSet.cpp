#include "misc/OptionSet.h"

#include "core/Guard.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QWidget>

namespace Misc
{

bool OptionSet::InitOptionSet()
{
    return Guard_Run("OptionSet::InitOptionSet", [&] {
        SetDefaultOptions();
        return true;
    });
}

bool OptionSet::LoadOptions(const QString& strFile)
{
    return Guard_Run("OptionSet::LoadOptions", [&] {
        QDomDocument document;
        QFile file(strFile);
        const bool bLoaded = file.open(QIODevice::ReadOnly) && document.setContent(&file, true)
                             && document.documentElement().tagName() == QLatin1String("Options");
        if (bLoaded)
        {
            for (QDomNode node = document.documentElement().firstChild(); !node.isNull(); node = node.nextSibling())
                ParseXmlElement(node.toElement(), node.toElement().tagName());
        }
        OnLoadOptions();
        return bLoaded;
    });
}

bool OptionSet::SaveOptions(const QString& strFile)
{
    return Guard_Run("OptionSet::SaveOptions", [&] {
        QDomDocument document;
        QDomElement root = document.createElement(QStringLiteral("Options"));
        document.appendChild(root);

        OnSaveOptions();
        for (auto it = m_options.cbegin(); it != m_options.cend(); ++it)
            CreateXmlElement(document, root, it.key()).appendChild(document.createTextNode(it.value().toString()));

        // Written aside and swapped in, so a failed write leaves the previous file intact.
        QSaveFile file(strFile);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(document.toByteArray(4));
        return file.commit();
    });
}

QVariant OptionSet::GetOption(const QString& strName, const QVariant& defaultValue) const
{
    return m_options.value(strName, defaultValue);
}

void OptionSet::SetOption(const QString& strName, const QVariant& value)
{
    m_options.insert(strName, value);
}

bool OptionSet::ContainsOptionBranch(const QString& strPrefix) const
{
    return Guard_Run("OptionSet::ContainsOptionBranch", [&] {
        for (auto it = m_options.cbegin(); it != m_options.cend(); ++it)
            if (it.key().startsWith(strPrefix))
                return true;
        return false;
    });
}

QPoint OptionSet::GetOption_Point(const QString& strName, const QPoint& ptDefault) const
{
    return QPoint(GetOption(strName + QStringLiteral(".x"), ptDefault.x()).toInt(),
                  GetOption(strName + QStringLiteral(".y"), ptDefault.y()).toInt());
}

void OptionSet::SetOption_Point(const QString& strName, const QPoint& pt)
{
    SetOption(strName + QStringLiteral(".x"), pt.x());
    SetOption(strName + QStringLiteral(".y"), pt.y());
}

QSize OptionSet::GetOption_Size(const QString& strName, const QSize& szDefault) const
{
    return QSize(GetOption(strName + QStringLiteral(".Width"), szDefault.width()).toInt(),
                 GetOption(strName + QStringLiteral(".Height"), szDefault.height()).toInt());
}

void OptionSet::SetOption_Size(const QString& strName, const QSize& sz)
{
    SetOption(strName + QStringLiteral(".Width"), sz.width());
    SetOption(strName + QStringLiteral(".Height"), sz.height());
}

void OptionSet::SaveWindowState(const QWidget* pWindow, const QString& strName)
{
    Guard_Run("OptionSet::SaveWindowState", [&] {
        const QString strKey = QStringLiteral("Windows.") + strName;
        SetOption_Point(strKey + QStringLiteral(".Position"), pWindow->pos());
        SetOption_Size(strKey + QStringLiteral(".Size"), pWindow->geometry().size());
        SetOption(strKey + QStringLiteral(".Maximized"), pWindow->isMaximized());
    });
}

void OptionSet::LoadWindowState(QWidget* pWindow, const QString& strName) const
{
    Guard_Run("OptionSet::LoadWindowState", [&] {
        const QString strKey = QStringLiteral("Windows.") + strName;
        if (!ContainsOptionBranch(strKey))
            return;

        const QPoint ptPosition = GetOption_Point(strKey + QStringLiteral(".Position"), pWindow->pos());
        const QSize szSize = GetOption_Size(strKey + QStringLiteral(".Size"), pWindow->size());
        // Texts from the file convert like bools: only "", "0" and "false" are false.
        const bool bMaximized = GetOption(strKey + QStringLiteral(".Maximized"), pWindow->isMaximized()).toBool();
        if (bMaximized)
        {
            pWindow->setWindowState(pWindow->windowState() | Qt::WindowMaximized);
            return;
        }
        pWindow->move(ptPosition);
        pWindow->resize(szSize);
        pWindow->setWindowState(pWindow->windowState() & ~Qt::WindowMaximized);
    });
}

QDomElement OptionSet::CreateXmlElement(QDomDocument& document, QDomElement& root, const QString& strName)
{
    return Guard_Run("OptionSet::CreateXmlElement", [&] {
        QDomElement element = root;
        for (const QString& strPart : strName.split(QLatin1Char('.')))
        {
            QDomElement child = element.firstChildElement(strPart);
            if (child.isNull())
                child = element.appendChild(document.createElement(strPart)).toElement();
            element = child;
        }
        return element;
    });
}

void OptionSet::ParseXmlElement(const QDomElement& element, const QString& strPath)
{
    Guard_Run("OptionSet::ParseXmlElement", [&] {
        for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling())
        {
            if (node.isElement())
            {
                if (node.hasChildNodes())
                {
                    const QString strTag = node.toElement().tagName();
                    ParseXmlElement(node.toElement(), strPath.isEmpty() ? strTag : strPath + QLatin1Char('.') + strTag);
                }
            }
            else if (node.isText() && !strPath.isEmpty())
                m_options.insert(strPath, node.nodeValue());
        }
    });
}

}  // namespace Misc
