#include "misc/OptionSet.h"

#include "misc/Guard.h"
#include "misc/FileUtils.h"
#include "misc/WindowFit.h"
#include "misc/XmlUtils.h"

#include <algorithm>

#include <QLockFile>
#include <QStringList>
#include <QStyle>
#include <QWidget>

namespace Misc {

bool OptionSet::InitOptionSet()
{
    return GUARD_RUN([&] {
        SetDefaultOptions();
        return true;
    });
}

bool OptionSet::LoadOptions(const QString& strFile)
{
    return GUARD_RUN([&] {
        QDomDocument document;
        const bool bLoaded = Misc::ReadXmlFile(strFile, document) == Misc::XmlReadResult::Read
                             && document.documentElement().tagName() == QLatin1String("Options");
        if (bLoaded) {
            for (QDomNode node = document.documentElement().firstChild(); !node.isNull(); node = node.nextSibling())
                ParseXmlElement(node.toElement(), node.toElement().tagName());
        }
        OnLoadOptions();
        m_loadedOptions = m_options;
        return bLoaded;
    });
}

bool OptionSet::SaveOptions(const QString& strFile)
{
    return GUARD_RUN([&] {
        QDomDocument document;
        QDomElement root = document.createElement(QStringLiteral("Options"));
        document.appendChild(root);

        OnSaveOptions();
        for (auto it = m_options.cbegin(); it != m_options.cend(); ++it)
            CreateXmlElement(document, root, it.key()).appendChild(document.createTextNode(it.value().toString()));

        return Misc::WriteFileSafely(strFile, document.toByteArray(4));
    });
}

bool OptionSet::MergeAndSaveOptions(const QString& strFile)
{
    return GUARD_RUN([&] {
        // A lock that cannot be had in time (a hung instance) must not cost this instance its options:
        // it then merges without the lock, as the rename keeps the file whole anyway.
        QLockFile lock(strFile + QStringLiteral(".lock"));
        lock.tryLock(5000);
        OptionSet onDisk;
        onDisk.LoadOptions(strFile);

        OnSaveOptions();
        QMap<QString, QVariant> merged = onDisk.m_options;
        for (auto it = m_options.cbegin(); it != m_options.cend(); ++it) {
            const auto loaded = m_loadedOptions.constFind(it.key());
            // Compared as texts: the file gives texts, setters may store numbers.
            if (loaded == m_loadedOptions.cend() || loaded->toString() != it.value().toString())
                merged.insert(it.key(), it.value());
        }
        m_options = merged;
        OnMergeOptions(onDisk.m_options);
        if (!SaveOptions(strFile))
            return false;
        m_loadedOptions = m_options;
        return true;
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
    return GUARD_RUN([&] {
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
    GUARD_RUN([&] {
        const QString strKey = QStringLiteral("Windows.") + strName;
        SetOption_Point(strKey + QStringLiteral(".Position"), pWindow->pos());
        SetOption_Size(strKey + QStringLiteral(".Size"), pWindow->geometry().size());
        SetOption(strKey + QStringLiteral(".Maximized"), pWindow->isMaximized());
    });
}

void OptionSet::LoadWindowState(QWidget* pWindow, const QString& strName, int nCascade) const
{
    GUARD_RUN([&] {
        const QString strKey = QStringLiteral("Windows.") + strName;
        if (!ContainsOptionBranch(strKey))
            return;

        // A damaged file may hold any number; bounded, the rectangle's corners stay representable.
        const auto bounded = [](int n, int nLowest) { return std::clamp(n, nLowest, QWIDGETSIZE_MAX); };
        const QPoint ptStored = GetOption_Point(strKey + QStringLiteral(".Position"), pWindow->pos());
        const QSize szStored = GetOption_Size(strKey + QStringLiteral(".Size"), pWindow->size());
        QPoint ptPosition(bounded(ptStored.x(), -QWIDGETSIZE_MAX), bounded(ptStored.y(), -QWIDGETSIZE_MAX));
        const QSize szSize(bounded(szStored.width(), 0), bounded(szStored.height(), 0));
        // Texts from the file convert like bools: only "", "0" and "false" are false.
        const bool bMaximized = GetOption(strKey + QStringLiteral(".Maximized"), pWindow->isMaximized()).toBool();
        if (bMaximized) {
            pWindow->setWindowState(pWindow->windowState() | Qt::WindowMaximized);
            return;
        }
        const int nStep = pWindow->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, pWindow);
        ptPosition += QPoint(nStep, nStep) * nCascade;
        // A stored geometry may come from a larger screen, another scale factor or a damaged file.
        PlaceWindowOnScreen(pWindow, QRect(ptPosition, szSize));
        pWindow->setWindowState(pWindow->windowState() & ~Qt::WindowMaximized);
    });
}

QDomElement OptionSet::CreateXmlElement(QDomDocument& document, QDomElement& root, const QString& strName)
{
    return GUARD_RUN([&] {
        QDomElement element = root;
        for (const QString& strPart : strName.split(QLatin1Char('.'))) {
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
    GUARD_RUN([&] {
        for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
            if (node.isElement()) {
                if (node.hasChildNodes()) {
                    const QString strTag = node.toElement().tagName();
                    ParseXmlElement(node.toElement(), strPath.isEmpty() ? strTag : strPath + QLatin1Char('.') + strTag);
                }
            } else if (node.isText() && !strPath.isEmpty())
                m_options.insert(strPath, node.nodeValue());
        }
    });
}

} // namespace Misc
