#pragma once

#include <memory>

#include "ui/BaseDialog.h"

class Ui_AboutDlgClass;

namespace UI {
// Program name, version, build date and the maker's notices.
class AboutDlg : public BaseDialog
{
    Q_OBJECT

public:
    explicit AboutDlg(QWidget* pParent = nullptr);
    ~AboutDlg() override;

    int ShowDialog();

private:
    void SetupUI();

    std::unique_ptr<Ui_AboutDlgClass> m_ui;
};
} // namespace UI
