#include "misc/UIUtils.h"

#include "misc/SysUtils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QPalette>
#include <QRegularExpression>

#include <utility>

namespace Misc {
QColor GetBaseColor(int nColorType)
{
    const QPalette palette = QApplication::palette();
    switch (nColorType) {
    case ColorLine:
        return palette.color(QPalette::Midlight).darker(123);
    case ColorBase:
        return palette.color(QPalette::Base);
    case ColorToolBar1:
        return palette.color(QPalette::Window);
    case ColorToolBar2:
        return palette.color(QPalette::Window).darker(111);
    case ColorDock1:
        return palette.color(QPalette::Window).darker(230);
    case ColorDock2:
        return palette.color(QPalette::Window).darker(320);
    default:
        return QColor();
    }
}

static QString RgbaText(const QColor& color)
{
    return QString("rgba(%1, %2, %3, 255)").arg(color.red()).arg(color.green()).arg(color.blue());
}

QString TranslateStyleSheet(const QString& strStyleSheet)
{
    QString strResult = strStyleSheet;
    strResult.replace("lightgray", GetBaseColor(ColorLine).name(), Qt::CaseSensitive);
    strResult.replace("white", GetBaseColor(ColorBase).name(), Qt::CaseSensitive);
    strResult.replace("$tb_grad1", RgbaText(GetBaseColor(ColorToolBar1)), Qt::CaseSensitive);
    strResult.replace("$tb_grad2", RgbaText(GetBaseColor(ColorToolBar2)), Qt::CaseSensitive);
    strResult.replace("$dock_grad1", RgbaText(GetBaseColor(ColorDock1)), Qt::CaseSensitive);
    strResult.replace("$dock_grad2", RgbaText(GetBaseColor(ColorDock2)), Qt::CaseSensitive);
    return strResult;
}

QMessageBox::StandardButton MessageBox(int nType, const QString& strText, QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton defaultButton)
{
    static const QMessageBox::Icon s_icons[] = {QMessageBox::NoIcon, QMessageBox::Information, QMessageBox::Question,
                                                QMessageBox::Warning, QMessageBox::Critical};
    if (nType < MsgPlain || nType > MsgCritical)
        return QMessageBox::NoButton;
    QMessageBox box(s_icons[nType], QApplication::applicationName(), strText, buttons, nullptr,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    // Every button answers to Alt and its underlined letter, as in the rest of the editor.
    static const std::pair<QMessageBox::StandardButton, const char*> s_mnemonics[] = {
        {QMessageBox::Ok, QT_TRANSLATE_NOOP("MessageBox", "&OK")},
        {QMessageBox::Yes, QT_TRANSLATE_NOOP("MessageBox", "&Yes")},
        {QMessageBox::No, QT_TRANSLATE_NOOP("MessageBox", "&No")},
        {QMessageBox::Save, QT_TRANSLATE_NOOP("MessageBox", "&Save")},
        {QMessageBox::Discard, QT_TRANSLATE_NOOP("MessageBox", "&Discard")},
        {QMessageBox::Cancel, QT_TRANSLATE_NOOP("MessageBox", "&Cancel")}};
    for (const auto& [button, pText] : s_mnemonics)
        if (QAbstractButton* pButton = box.button(button))
            pButton->setText(QCoreApplication::translate("MessageBox", pText));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void OpenWithDesktop(const QString& strPath)
{
    if (!LaunchFile(strPath))
        MessageBox(MsgWarning, QCoreApplication::translate("MessageBox", "This desktop has no application set up to "
                                                                         "open '%1'.")
                                   .arg(strPath));
}

QString GetMakerWebsite()
{
    return QString("https://%1/").arg(QCoreApplication::organizationDomain());
}

QString GetOpenFileName(QWidget* pParent, const QString& strCaption, const QString& strFilter)
{
    return QFileDialog::getOpenFileName(pParent, strCaption, QString(), strFilter, nullptr,
                                        QFileDialog::DontUseNativeDialog);
}

QStringList GetOpenFileNames(QWidget* pParent, const QString& strCaption, const QString& strFilter)
{
    return QFileDialog::getOpenFileNames(pParent, strCaption, QString(), strFilter, nullptr,
                                         QFileDialog::DontUseNativeDialog);
}

QString GetFilterSuffix(const QString& strNameFilter)
{
    static const QRegularExpression s_firstPattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = s_firstPattern.match(strNameFilter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString GetSaveFileName(QWidget* pParent, const QString& strCaption, const QString& strFilter)
{
    QFileDialog dialog(pParent, strCaption, QString(), strFilter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension gets the chosen type's one: tesscli picks the output
    // format by extension, and projects are only listed by the open dialog as "*.tsp".
    dialog.setDefaultSuffix(GetFilterSuffix(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& strSelected) { dialog.setDefaultSuffix(GetFilterSuffix(strSelected)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
} // namespace Misc
