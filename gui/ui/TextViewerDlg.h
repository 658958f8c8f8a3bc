#pragma once

#include <memory>

#include "ui/BaseDialog.h"

class Ui_TextViewerDlgClass;

namespace UI {
// Resizable viewer for a log text, which the user can save to a file. It reopens with
// the geometry it had when last closed.
class TextViewerDlg : public BaseDialog
{
    Q_OBJECT

public:
    explicit TextViewerDlg(QWidget* pParent = nullptr);
    ~TextViewerDlg() override;

    // Caption may be rich text; runs modally. The text opens scrolled to the last occurrence of
    // strFocus, with the cursor at its start (at the top when it is empty or absent).
    int ShowDialog(const QString& strCaption, const QString& strText, const QString& strFocus = QString());
    // Writes the shown text to strFile; false when the file cannot be written.
    bool SaveLogTo(const QString& strFile) const;

    static constexpr const char* WindowName = "TextViewerDlg";

private:
    void SetupUI();
    void OnClose();
    void ChooseFileAndSaveLog();

    std::unique_ptr<Ui_TextViewerDlgClass> m_ui;
};
} // namespace UI
