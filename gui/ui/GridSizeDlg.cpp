#include "ui/GridSizeDlg.h"
#include "ui_GridSizeDlg.h"

#include "misc/Guard.h"

#include <cmath>

namespace UI {
GridSizeDlg::GridSizeDlg(QWidget* pParent) : BaseDialog(pParent), m_ui(std::make_unique<Ui_GridSizeDlgClass>())
{
    SetupUI();
}

GridSizeDlg::~GridSizeDlg() = default;

void GridSizeDlg::SetupUI()
{
    GUARD_RUN([&] {
        m_ui->setupUi(this);
        InitDialog(false);
    });
}

QSize GridSizeDlg::ProposeGridSize(int nImages)
{
    const int nCount = qMax(1, nImages);
    const int nColumns = static_cast<int>(std::ceil(std::sqrt(static_cast<float>(nCount))));
    const int nRows = (nCount + nColumns - 1) / nColumns;
    return QSize(nColumns, nRows);
}

int GridSizeDlg::ShowDialog(int nImages)
{
    return GUARD_RUN([&] {
        m_ui->lblImages->setText(QString::number(nImages));
        const QSize proposal = ProposeGridSize(nImages);
        m_ui->txtGridRows->setValue(proposal.height());
        m_ui->txtGridColumns->setValue(proposal.width());
        return exec();
    });
}

int GridSizeDlg::GetGridRows() const
{
    return m_ui->txtGridRows->value();
}

int GridSizeDlg::GetGridColumns() const
{
    return m_ui->txtGridColumns->value();
}
} // namespace UI
