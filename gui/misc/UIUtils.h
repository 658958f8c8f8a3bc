#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// Palette-derived colours, style-sheet placeholders and the editor's message boxes.
namespace Misc {
enum TSColorType {
    ColorLine = 0,
    ColorBase = 1,
    ColorToolBar1 = 2,
    ColorToolBar2 = 3,
    ColorDock1 = 4,
    ColorDock2 = 5
};

enum MessageBoxType {
    MsgPlain = 0,
    MsgInformation = 1,
    MsgQuestion = 2,
    MsgWarning = 3,
    MsgCritical = 4
};

// Colours follow the application palette so the look matches the desktop theme;
// an unknown type gives an invalid colour.
QColor GetBaseColor(int nColorType);

// Replaces the colour placeholders of a style sheet ("lightgray", "white", "$tb_grad1", ...).
QString TranslateStyleSheet(const QString& strStyleSheet);

// Parentless box titled with the application name; returns the button pressed
// (QMessageBox::NoButton for an unknown type).
QMessageBox::StandardButton MessageBox(int nType, const QString& strText,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// Opens a file or folder with the desktop's application for it, or says in a box that there is none.
void OpenWithDesktop(const QString& strPath);

// The maker's web site, built from the application's organisation domain.
QString GetMakerWebsite();

// File dialogs of the editor. They are Qt's own dialogs rather than the desktop's, so they
// look and behave the same everywhere and can be driven by the keyboard and by tests.
QString GetOpenFileName(QWidget* pParent, const QString& strCaption, const QString& strFilter);
QStringList GetOpenFileNames(QWidget* pParent, const QString& strCaption, const QString& strFilter);
// The extension of a name filter's first "*.ext" pattern ("png" for "PNG (*.png)"), or empty.
QString GetFilterSuffix(const QString& strNameFilter);
QString GetSaveFileName(QWidget* pParent, const QString& strCaption, const QString& strFilter);
} // namespace Misc
