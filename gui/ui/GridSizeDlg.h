#pragma once

#include <memory>

#include "ui/BaseDialog.h"

class Ui_GridSizeDlgClass;

namespace UI {
// Asks for the rows and columns of a new grid, proposing a near-square layout.
class GridSizeDlg : public BaseDialog
{
    Q_OBJECT

public:
    explicit GridSizeDlg(QWidget* pParent = nullptr);
    ~GridSizeDlg() override;

    // Proposes a layout for nImages and runs the dialog; the caller reads
    // the spin boxes after acceptance.
    int ShowDialog(int nImages);
    // The layout ShowDialog proposes.
    static QSize ProposeGridSize(int nImages);
    int GetGridRows() const;
    int GetGridColumns() const;

private:
    void SetupUI();

    std::unique_ptr<Ui_GridSizeDlgClass> m_ui;
};
} // namespace UI
