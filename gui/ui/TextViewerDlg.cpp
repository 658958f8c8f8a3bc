#include "ui/TextViewerDlg.h"
#include "ui_TextViewerDlg.h"

#include "misc/Guard.h"
#include "core/TessaraCore.h"
#include "misc/FileUtils.h"
#include "misc/UIUtils.h"

#include <QTextCursor>
#include <QTimer>

namespace UI {
TextViewerDlg::TextViewerDlg(QWidget* pParent) : BaseDialog(pParent), m_ui(std::make_unique<Ui_TextViewerDlgClass>())
{
    SetupUI();
}

TextViewerDlg::~TextViewerDlg() = default;

void TextViewerDlg::SetupUI()
{
    GUARD_RUN([&] {
        m_ui->setupUi(this);
        InitDialog(true);
        Core::TessaraCore::s_instance->GetOptions()->LoadWindowState(this, WindowName);
        connect(this, &QDialog::finished, this, &TextViewerDlg::OnClose);
        connect(m_ui->btnSaveLog, &QPushButton::clicked, this, &TextViewerDlg::ChooseFileAndSaveLog);
    });
}

int TextViewerDlg::ShowDialog(const QString& strCaption, const QString& strText, const QString& strFocus)
{
    return GUARD_RUN([&] {
        m_ui->lblCaption->setText(strCaption);
        m_ui->txtText->setPlainText(strText);
        const qsizetype nFocus = strFocus.isEmpty() ? -1 : strText.lastIndexOf(strFocus);
        if (nFocus >= 0) {
            QTextCursor cursor = m_ui->txtText->textCursor();
            cursor.setPosition(int(nFocus));
            m_ui->txtText->setTextCursor(cursor);
            // Scrolled once the dialog has its size, which its layout gives it only when shown.
            QTimer::singleShot(0, m_ui->txtText, [this] { m_ui->txtText->centerCursor(); });
        }
        return exec();
    });
}

void TextViewerDlg::OnClose()
{
    GUARD_RUN([&] { Core::TessaraCore::s_instance->GetOptions()->SaveWindowState(this, WindowName); });
}

bool TextViewerDlg::SaveLogTo(const QString& strFile) const
{
    return GUARD_RUN([&] { return Misc::WriteFileSafely(strFile, m_ui->txtText->toPlainText().toUtf8()); });
}

void TextViewerDlg::ChooseFileAndSaveLog()
{
    GUARD_RUN([&] {
        const QString strFile =
            Misc::GetSaveFileName(this, tr("Save the log file"), tr("Text files (*.txt);;All files (*.*)"));
        if (strFile.isEmpty())
            return;
        if (SaveLogTo(strFile))
            Misc::MessageBox(Misc::MsgInformation, tr("The log has been saved to '%1'.").arg(strFile));
        else
            Misc::MessageBox(Misc::MsgWarning, tr("The log could not be saved to '%1'.").arg(strFile));
    });
}
} // namespace UI
