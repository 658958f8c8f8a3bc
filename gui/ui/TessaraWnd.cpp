#include "ui/TessaraWnd.h"
#include "ui_TessaraWnd.h"

#include "misc/Guard.h"
#include "core/TessaraCore.h"
#include "core/TessaraInterface.h"
#include "core/TessaraProject.h"
#include "core/TessaraSettings.h"
#include "model/ImageCellEngine.h"
#include "misc/HelpFile.h"
#include "misc/ImgUtils.h"
#include "misc/NaturalOrder.h"
#include "misc/SysUtils.h"
#include "misc/VersionUtils.h"
#include "misc/WaitCursor.h"
#include "ui/AboutDlg.h"
#include "ui/EditHistory.h"
#include "ui/GridSizeDlg.h"
#include "ui/StatusDlg.h"
#include "ui/TextViewerDlg.h"
#include "misc/UIUtils.h"
#include "ui/controls/ToolBarHeader.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSlider>
#include <QUndoStack>
#include <QUrl>

#include <utility>

namespace UI {
namespace {
// Disables the window behind the wait cursor for a long operation and undoes both on every path.
class BusyWindow
{
public:
    explicit BusyWindow(QWidget* pWindow) : m_window(pWindow)
    {
        m_window->setEnabled(false);
        m_window->repaint();
    }
    ~BusyWindow()
    {
        m_window->setEnabled(true);
        m_window->repaint();
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    Misc::WaitCursor m_waitCursor;
    QWidget* m_window;
};

Core::TessaraOptions* Options()
{
    return Core::TessaraCore::s_instance->GetOptions();
}

QString ImageOpenFilter()
{
    return Misc::GetCommonImageFormatFilter(false) + QStringLiteral(";;All files (*.*)");
}
} // namespace

TessaraWnd::TessaraWnd(Model::ImageCellEngine* pCellEngine, QWidget* pParent, Qt::WindowFlags flags)
    : QMainWindow(pParent, flags), m_ui(std::make_unique<Ui_TessaraWndClass>()), m_cellEngine(pCellEngine)
{
    SetupUI();
    UpdateUI();
}

TessaraWnd::~TessaraWnd()
{
    m_cellEngine->SetKeepRemovedCells(false);
}

void TessaraWnd::SetupUI()
{
    GUARD_RUN([&] {
        m_ui->setupUi(this);
        setMinimumSize(size());

        m_ui->viewToolBar->SetupToolBar();
        m_ui->imageGrid->InitGridTable(m_cellEngine);
        m_ui->imageTray->InitImageTray(m_cellEngine);
        m_ui->statusBar->InitStatusBar();
        // The tables' context menus offer these window commands too.
        const QList<QAction*> contextActions = {
            m_ui->actGridCompound,    m_ui->actGridCreate,    m_ui->actGridFlipHorz,   m_ui->actGridFlipVert,
            m_ui->actGridClearImages, m_ui->actTrayAddImages, m_ui->actTrayClearImages};
        m_ui->imageGrid->SetWindowActions(contextActions);
        m_ui->imageTray->SetWindowActions(contextActions);

        SetStatus(tr("%1 started (Version %2)").arg(QStringLiteral("Tessara"), Misc::GetVersionString(true)));

        CreateOpenRecentActions();
        CreateToolBarLabels();
        ApplyStyleSheets();
        RestoreWindowState();
        ConnectSignals();

        SetGridSize(3, 3, true);
        m_ui->viewToolBar->SetGridZoomLevel(DefaultGridZoomLevel);
        m_ui->viewToolBar->SetTrayZoomLevel(DefaultTrayZoomLevel);
        ResetSettings();
        SetupEditHistory();
    });
}

void TessaraWnd::SetupEditHistory()
{
    m_history = new EditHistory([this] { return CaptureState(); },
                                [this](const EditorState& state) { RestoreState(state); }, this);
    // Removed cells stay available while a step that removed them can still be undone.
    m_cellEngine->SetKeepRemovedCells(true);

    QUndoStack* pStack = m_history->GetUndoStack();
    QAction* pUndo = pStack->createUndoAction(this);
    pUndo->setObjectName(QStringLiteral("actEditUndo"));
    pUndo->setShortcut(QKeySequence(tr("Ctrl+Z")));
    QAction* pRedo = pStack->createRedoAction(this);
    pRedo->setObjectName(QStringLiteral("actEditRedo"));
    pRedo->setShortcuts({QKeySequence(tr("Ctrl+Shift+Z")), QKeySequence(tr("Ctrl+Y"))});
    auto* pEditMenu = new QMenu(tr("&Edit"), this);
    pEditMenu->setObjectName(QStringLiteral("menEdit"));
    pEditMenu->addAction(pUndo);
    pEditMenu->addAction(pRedo);
    menuBar()->insertMenu(m_ui->menGrid->menuAction(), pEditMenu);

    for (Controls::ImageTableWidget* pTable : {static_cast<Controls::ImageTableWidget*>(m_ui->imageGrid),
                                               static_cast<Controls::ImageTableWidget*>(m_ui->imageTray)}) {
        connect(pTable, &Controls::ImageTableWidget::Sig_EditBegin, m_history, &EditHistory::BeginStep);
        connect(pTable, &Controls::ImageTableWidget::Sig_EditEnd, m_history, &EditHistory::EndStep);
        connect(pTable, &Controls::ImageTableWidget::Sig_ImageTableChanged, this,
                [this] { m_history->NoteChange(tr("Edit images")); });
    }
    ConnectSettingsPanel();
    connect(m_history, &EditHistory::Sig_ModifiedChanged, this, &TessaraWnd::UpdateTitle);
    m_history->Reset(true);
    UpdateTitle();
}

void TessaraWnd::ConnectSettingsPanel()
{
    const auto noteChange = [this](int nMergeId) {
        return [this, nMergeId] { m_history->NoteChange(tr("Change settings"), nMergeId); };
    };
    for (QCheckBox* pCheckBox :
         {m_ui->chkUseRegion, m_ui->chkUseOverlap, m_ui->chkUseBgColor, m_ui->chkUseTransparency, m_ui->chkStackMode})
        connect(pCheckBox, &QCheckBox::toggled, this, noteChange(-1));
    // Each spin box merges its own run of changes: stepping a value up ten times is one step.
    int nMergeId = 1;
    for (QSpinBox* pSpinBox : {m_ui->txtRegionWidth, m_ui->txtRegionHeight, m_ui->txtOverlap})
        connect(pSpinBox, &QSpinBox::valueChanged, this, noteChange(nMergeId++));
    for (Controls::ColorSelectButton* pButton : {m_ui->btnBgColor, m_ui->btnTransparency})
        connect(pButton, &Controls::ColorSelectButton::Sig_ColorChanged, this, noteChange(-1));
}

QUndoStack* TessaraWnd::GetUndoStack() const
{
    return m_history->GetUndoStack();
}

bool TessaraWnd::IsModified() const
{
    return m_history->IsModified();
}

void TessaraWnd::UpdateTitle()
{
    const QString strName = m_projectFile.isEmpty() ? tr("Untitled") : QFileInfo(m_projectFile).fileName();
    setWindowTitle(QStringLiteral("%1%2 - %3 V%4")
                       .arg(strName, IsModified() ? QStringLiteral("*") : QString(), QStringLiteral("Tessara"),
                            Misc::GetVersionString(false)));
}

EditorState TessaraWnd::CaptureState() const
{
    return GUARD_RUN([&] {
        EditorState state;
        state.gridRows = m_ui->imageGrid->GetRowFilenames();
        state.tray = m_ui->imageTray->GetRowFilenames().value(0);
        state.panel = GetPanelValues();
        return state;
    });
}

void TessaraWnd::RestoreState(const EditorState& state)
{
    GUARD_RUN([&] {
        Misc::WaitCursor waitCursor;
        const int nColumns = state.gridRows.isEmpty() ? 0 : int(state.gridRows.first().size());
        // Cells come back from the engine's removed ones, so nothing is read from disk here.
        QString strError;
        ShowCells(state.gridRows, QSize(nColumns, int(state.gridRows.size())), state.tray, strError);
        SetPanelValues(state.panel);
    });
}

QVariantList TessaraWnd::GetPanelValues() const
{
    return {m_ui->chkUseRegion->isChecked(),   m_ui->txtRegionWidth->value(),
            m_ui->txtRegionHeight->value(),    m_ui->chkUseOverlap->isChecked(),
            m_ui->txtOverlap->value(),         m_ui->chkUseBgColor->isChecked(),
            m_ui->btnBgColor->GetColor(),      m_ui->chkUseTransparency->isChecked(),
            m_ui->btnTransparency->GetColor(), m_ui->chkStackMode->isChecked()};
}

void TessaraWnd::SetPanelValues(const QVariantList& values)
{
    if (values.size() != 10)
        return;
    m_ui->chkUseRegion->setChecked(values[0].toBool());
    m_ui->txtRegionWidth->setValue(values[1].toInt());
    m_ui->txtRegionHeight->setValue(values[2].toInt());
    m_ui->chkUseOverlap->setChecked(values[3].toBool());
    m_ui->txtOverlap->setValue(values[4].toInt());
    m_ui->chkUseBgColor->setChecked(values[5].toBool());
    m_ui->btnBgColor->SetColor(values[6].value<QColor>());
    m_ui->chkUseTransparency->setChecked(values[7].toBool());
    m_ui->btnTransparency->SetColor(values[8].value<QColor>());
    m_ui->chkStackMode->setChecked(values[9].toBool());
}

bool TessaraWnd::ShowCells(const QList<QStringList>& rows, const QSize& gridSize, const QStringList& tray,
                           QString& strError)
{
    return GUARD_RUN([&] {
        m_cellEngine->ClearBasket();
        m_cellEngine->ClearTray();
        bool bCreated = m_cellEngine->CreateCells(rows);
        QStringList astrErrors;
        if (!bCreated)
            astrErrors << m_cellEngine->GetLastError();
        // The grid is laid out even when some images could not be read, so it shows what was loaded.
        SetGridSize(gridSize.height(), gridSize.width(), false);
        m_ui->imageGrid->PopulateEntireGrid();
        m_ui->imageGrid->SetKeepEmptyCells(rows);
        if (!tray.isEmpty() && !m_cellEngine->CreateCells(tray, -1, -1)) {
            bCreated = false;
            astrErrors << m_cellEngine->GetLastError();
        }
        strError = astrErrors.join(QLatin1Char('\n'));
        return bCreated;
    });
}

void TessaraWnd::RestoreWindowState()
{
    Options()->LoadWindowState(this, WindowName);
    const QString strState = Options()->GetOption(WindowStateOption, QString()).toString();
    if (!strState.isEmpty())
        restoreState(QByteArray::fromBase64(strState.toLatin1()), 0);
    const QString strSplitter = Options()->GetOption(SplitterStateOption, QString()).toString();
    if (strSplitter.isEmpty() || !m_ui->splMain->restoreState(QByteArray::fromBase64(strSplitter.toLatin1())))
        m_ui->splMain->setSizes({height(), 0}); // the tray starts at what it needs, the grid takes the rest
}

void TessaraWnd::ConnectSignals()
{
    connect(m_ui->imageGrid, &Controls::ImageTableWidget::Sig_ImageTableChanged, this, &TessaraWnd::OnGridChanged);
    connect(m_ui->imageTray, &Controls::ImageTableWidget::Sig_ImageTableChanged, this, &TessaraWnd::OnTrayChanged);
    connect(m_ui->viewToolBar, &Controls::ViewToolBar::Sig_GridZoomLevelChanged, this, &TessaraWnd::OnGridZoomChanged);
    connect(m_ui->viewToolBar, &Controls::ViewToolBar::Sig_TrayZoomLevelChanged, this, &TessaraWnd::OnTrayZoomChanged);
}

void TessaraWnd::CreateToolBarLabels()
{
    m_ui->fileToolBar->insertWidget(m_ui->actGridCreate, new Controls::ToolBarHeader(tr("Grid"), m_ui->fileToolBar));
    m_ui->fileToolBar->insertWidget(m_ui->actTrayAddImages, new Controls::ToolBarHeader(tr("Tray"), m_ui->fileToolBar));
}

void TessaraWnd::ApplyStyleSheets()
{
    m_ui->imageGrid->setStyleSheet(Misc::TranslateStyleSheet(
        "#imageGrid { border: none; border-right: 1px solid lightgray; border-bottom: 1px solid lightgray; }"));
    m_ui->imageTray->setStyleSheet(Misc::TranslateStyleSheet("#imageTray { border: none; }"));
    m_ui->wdgtSettings->setStyleSheet(
        Misc::TranslateStyleSheet("#wdgtSettings { border: none; border-bottom: 1px solid lightgray; }"));
}

void TessaraWnd::closeEvent(QCloseEvent* pEvent)
{
    GUARD_RUN([&] {
        // A disabled window is busy (a combine or a load runs): closing now would pull the ground away.
        if (!isEnabled() || !MaybeSaveChanges()) {
            pEvent->ignore();
            return;
        }
        Options()->SaveWindowState(this, WindowName);
        Options()->SetOption(SplitterStateOption, QString::fromLatin1(m_ui->splMain->saveState().toBase64()));
        Options()->SetOption(WindowStateOption, QString::fromLatin1(saveState(0).toBase64()));
        pEvent->accept();
    });
}

// ---- Enabling rules and status ----

void TessaraWnd::UpdateUI()
{
    GUARD_RUN([&] {
        UpdateActions();
        UpdateStatusBar();
    });
}

void TessaraWnd::UpdateActions()
{
    const int nGridImages = m_ui->imageGrid->GetImageCount();
    const int nTrayImages = m_ui->imageTray->GetImageCount();
    // A single cell is already the whole picture: there is nothing to combine.
    const bool bSingle = m_ui->imageGrid->rowCount() < 2 && m_ui->imageGrid->columnCount() <= 1;
    const bool bCombinable = nGridImages >= 1 && !bSingle;

    for (QAction* pAction : {m_ui->actProjectSave, m_ui->actGridCompound, m_ui->actGridFlipHorz, m_ui->actGridFlipVert})
        pAction->setEnabled(bCombinable);
    m_ui->btnGridCompound->setEnabled(bCombinable);
    m_ui->actGridClearImages->setEnabled(nGridImages >= 1);
    m_ui->actTrayClearImages->setEnabled(nTrayImages >= 1);
}

void TessaraWnd::UpdateStatusBar()
{
    m_ui->statusBar->SetGridSize(m_ui->imageGrid->rowCount(), m_ui->imageGrid->columnCount());
    m_ui->statusBar->SetImageCount(m_ui->imageGrid->GetImageCount(), m_ui->imageTray->GetImageCount());
}

void TessaraWnd::SetStatus(const QString& strText, bool bTemporary)
{
    m_ui->statusBar->SetStatus(strText, bTemporary);
}

void TessaraWnd::OnGridChanged()
{
    UpdateUI();
}

void TessaraWnd::OnTrayChanged()
{
    UpdateUI();
}

void TessaraWnd::ReportError(const QString& strMessage, bool bToStatusBar)
{
    GUARD_RUN([&] {
        Misc::MessageBox(Misc::MsgCritical, strMessage);
        if (!bToStatusBar)
            return;
        QString strLine = strMessage;
        strLine.replace("\n\n", " ").replace('\n', ' ');
        SetStatus(strLine);
    });
}

// ---- Grid size ----

void TessaraWnd::on_txtGridRows_valueChanged(int)
{
    m_ui->btnGridResize->setEnabled(m_ui->txtGridRows->value() != m_ui->imageGrid->rowCount()
                                    || m_ui->txtGridColumns->value() != m_ui->imageGrid->columnCount());
}

void TessaraWnd::on_txtGridColumns_valueChanged(int nValue)
{
    on_txtGridRows_valueChanged(nValue);
}

void TessaraWnd::on_btnGridResize_clicked()
{
    EditStep step(m_history, tr("Resize grid"));
    SetGridSize(m_ui->txtGridRows->value(), m_ui->txtGridColumns->value(), true);
}

void TessaraWnd::SetGridSize(int nRows, int nCols, bool bPopulate)
{
    GUARD_RUN([&] {
        bool bResized = false;
        {
            Misc::WaitCursor waitCursor;
            bResized = m_ui->imageGrid->Resize(nRows, nCols, bPopulate);
        }
        if (bResized) {
            m_ui->txtGridRows->setValue(nRows);
            m_ui->txtGridColumns->setValue(nCols);
            m_ui->btnGridResize->setEnabled(false);
        } else {
            Misc::MessageBox(Misc::MsgWarning, tr("Unable to resize the image grid"));
        }
        UpdateStatusBar();
    });
}

// ---- Settings panel ----

void TessaraWnd::on_chkUseRegion_toggled(bool bChecked)
{
    // A region and an overlap exclude each other.
    if (bChecked)
        m_ui->chkUseOverlap->setChecked(false);
}

void TessaraWnd::on_chkUseOverlap_toggled(bool bChecked)
{
    if (bChecked)
        m_ui->chkUseRegion->setChecked(false);
}

// The thumbnails follow at once, so that the grid shows what the combined image will get.
void TessaraWnd::on_chkAutoOrient_toggled(bool bChecked)
{
    GUARD_RUN([&] { m_cellEngine->SetAutoOrient(bChecked); });
}

void TessaraWnd::on_btnClearSettings_clicked()
{
    EditStep step(m_history, tr("Reset settings"));
    ResetSettings();
}

void TessaraWnd::ResetSettings()
{
    GUARD_RUN([&] {
        m_ui->chkUseRegion->setChecked(false);
        m_ui->txtRegionWidth->setValue(5);
        m_ui->txtRegionHeight->setValue(5);
        m_ui->chkUseOverlap->setChecked(false);
        m_ui->txtOverlap->setValue(1);
        m_ui->chkUseBgColor->setChecked(false);
        m_ui->btnBgColor->SetColor(Qt::black);
        m_ui->chkUseTransparency->setChecked(false);
        m_ui->btnTransparency->SetColor(Qt::black);
        m_ui->chkStackMode->setChecked(false);
        m_ui->chkAutoOrient->setChecked(false);
    });
}

void TessaraWnd::FillTessaraSettings(Core::TessaraSettings* pSettings) const
{
    GUARD_RUN([&] {
        using Core::TessaraSettings;
        pSettings->rows.append(m_ui->imageGrid->GetRowFilenames());
        pSettings->flags |= TessaraSettings::FlagRows;

        const QList<QStringList> trayRows = m_ui->imageTray->GetRowFilenames();
        if (!trayRows.isEmpty())
            pSettings->tray.append(trayRows.first());
        pSettings->flags |= TessaraSettings::FlagTray;

        if (m_ui->chkUseRegion->isChecked()) {
            pSettings->regionWidth = m_ui->txtRegionWidth->value();
            pSettings->regionHeight = m_ui->txtRegionHeight->value();
            pSettings->flags |= TessaraSettings::FlagRegion;
        } else if (m_ui->chkUseOverlap->isChecked()) {
            pSettings->overlap = m_ui->txtOverlap->value();
            pSettings->flags |= TessaraSettings::FlagOverlap;
        }
        if (m_ui->chkUseBgColor->isChecked()) {
            pSettings->background = m_ui->btnBgColor->GetColor();
            pSettings->flags |= TessaraSettings::FlagBackground;
        }
        if (m_ui->chkUseTransparency->isChecked()) {
            pSettings->transparency = m_ui->btnTransparency->GetColor();
            pSettings->flags |= TessaraSettings::FlagTransparency;
        }
        if (m_ui->chkStackMode->isChecked()) {
            pSettings->stackImages = true;
            pSettings->flags |= TessaraSettings::FlagStackImages;
        }
        if (m_ui->chkAutoOrient->isChecked()) {
            pSettings->autoOrient = true;
            pSettings->flags |= TessaraSettings::FlagAutoOrient;
        }
    });
}

void TessaraWnd::SetSettings(const Core::TessaraSettings* pSettings)
{
    GUARD_RUN([&] {
        using Core::TessaraSettings;
        ResetSettings();
        if (pSettings->IsSet(TessaraSettings::FlagRegion)) {
            m_ui->chkUseRegion->setChecked(true);
            m_ui->txtRegionWidth->setValue(pSettings->regionWidth);
            m_ui->txtRegionHeight->setValue(pSettings->regionHeight);
        }
        if (pSettings->IsSet(TessaraSettings::FlagOverlap)) {
            m_ui->chkUseOverlap->setChecked(true);
            m_ui->txtOverlap->setValue(pSettings->overlap);
        }
        if (pSettings->IsSet(TessaraSettings::FlagBackground)) {
            m_ui->chkUseBgColor->setChecked(true);
            m_ui->btnBgColor->SetColor(pSettings->background);
        }
        if (pSettings->IsSet(TessaraSettings::FlagTransparency)) {
            m_ui->chkUseTransparency->setChecked(true);
            m_ui->btnTransparency->SetColor(pSettings->transparency);
        }
        m_ui->chkStackMode->setChecked(pSettings->IsSet(TessaraSettings::FlagStackImages) && pSettings->stackImages);
        m_ui->chkAutoOrient->setChecked(pSettings->IsSet(TessaraSettings::FlagAutoOrient) && pSettings->autoOrient);
    });
}

// ---- Zoom ----

int TessaraWnd::ZoomImageSize(int nLevel)
{
    return (nLevel + 2) * 32;
}

void TessaraWnd::on_actGridZoomIn_triggered()
{
    m_ui->viewToolBar->SetGridZoomLevel(m_ui->viewToolBar->GetGridZoomLevel() + 1);
}

void TessaraWnd::on_actGridZoomOut_triggered()
{
    m_ui->viewToolBar->SetGridZoomLevel(m_ui->viewToolBar->GetGridZoomLevel() - 1);
}

void TessaraWnd::on_actTrayZoomIn_triggered()
{
    m_ui->viewToolBar->SetTrayZoomLevel(m_ui->viewToolBar->GetTrayZoomLevel() + 1);
}

void TessaraWnd::on_actTrayZoomOut_triggered()
{
    m_ui->viewToolBar->SetTrayZoomLevel(m_ui->viewToolBar->GetTrayZoomLevel() - 1);
}

// Sizes the table's images for the zoom level and enables its zoom actions up to the slider's ends.
void TessaraWnd::ApplyZoom(Controls::ImageTableWidget* pTable, const QSlider* pSlider, QAction* pZoomIn,
                           QAction* pZoomOut, int nValue)
{
    pTable->SetImageSize(ZoomImageSize(nValue));
    pZoomIn->setEnabled(nValue < pSlider->maximum());
    pZoomOut->setEnabled(nValue > pSlider->minimum());
}

void TessaraWnd::OnGridZoomChanged(int nValue)
{
    GUARD_RUN([&] {
        ApplyZoom(m_ui->imageGrid, m_ui->viewToolBar->GetGridZoomSlider(), m_ui->actGridZoomIn, m_ui->actGridZoomOut,
                  nValue);
    });
}

void TessaraWnd::OnTrayZoomChanged(int nValue)
{
    GUARD_RUN([&] {
        ApplyZoom(m_ui->imageTray, m_ui->viewToolBar->GetTrayZoomSlider(), m_ui->actTrayZoomIn, m_ui->actTrayZoomOut,
                  nValue);
    });
}

void TessaraWnd::on_actGridCompactView_triggered(bool bChecked)
{
    GUARD_RUN([&] { m_ui->imageGrid->SetCompactView(bChecked); });
}

// ---- Grid and tray commands ----

void TessaraWnd::on_actProjectNew_triggered()
{
    GUARD_RUN([&] {
        if (!MaybeSaveChanges())
            return;
        {
            EditStep step(m_history, QString());
            m_cellEngine->ClearBasket();
            m_cellEngine->ClearTray();
            ResetSettings();
            SetGridSize(3, 3, true);
        }
        m_ui->viewToolBar->SetGridZoomLevel(DefaultGridZoomLevel);
        m_ui->viewToolBar->SetTrayZoomLevel(DefaultTrayZoomLevel);
        m_ui->actGridCompactView->setChecked(false);
        m_ui->imageGrid->SetCompactView(false);
        SetProjectFile(QString(), true);
    });
}

void TessaraWnd::on_actGridCreate_triggered()
{
    GUARD_RUN([&] {
        const QStringList astrFiles =
            Misc::GetOpenFileNames(this, tr("Select the input images for the new grid"), ImageOpenFilter());
        if (astrFiles.isEmpty())
            return;
        GridSizeDlg dialog(this);
        if (dialog.ShowDialog(astrFiles.size()) != QDialog::Accepted)
            return;
        const int nRows = dialog.GetGridRows();
        const int nCols = dialog.GetGridColumns();
        SetStatus(tr("Creating new grid (%1 rows, %2 columns) with %3 images...")
                      .arg(nRows)
                      .arg(nCols)
                      .arg(astrFiles.size()));
        if (CreateNewGrid(astrFiles, nRows, nCols))
            SetStatus(
                tr("New grid (%1 rows, %2 columns) with %3 images created").arg(nRows).arg(nCols).arg(astrFiles.size()),
                true);
        else
            ReportError(tr("Errors occurred while creating a new grid:\n\n%1").arg(m_cellEngine->GetLastError()), true);
    });
}

bool TessaraWnd::CreateNewGrid(const QStringList& astrFiles, int nRows, int nCols)
{
    return GUARD_RUN([&] {
        if (astrFiles.isEmpty() || nRows < 1 || nCols < 1)
            return false;
        EditStep step(m_history, tr("Create grid"));
        m_cellEngine->ClearBasket();
        const bool bCreated = m_cellEngine->CreateCells(Misc::SortedNaturally(astrFiles), nRows, nCols);
        // Lay out the grid even when some files failed, so every cell that was created is shown
        // rather than left hidden in the engine.
        SetGridSize(nRows, nCols, false);
        m_ui->imageGrid->PopulateEntireGrid();
        return bCreated;
    });
}

void TessaraWnd::on_actTrayAddImages_triggered()
{
    GUARD_RUN([&] {
        const QStringList astrFiles =
            Misc::GetOpenFileNames(this, tr("Select the images to add to the tray"), ImageOpenFilter());
        if (astrFiles.isEmpty())
            return;
        SetStatus(tr("Adding %1 image(s) to the tray...").arg(astrFiles.size()));
        if (AddImagesToTray(astrFiles))
            SetStatus(tr("%1 image(s) added to the tray").arg(astrFiles.size()), true);
        else
            ReportError(
                tr("Errors occurred while adding the images to the tray:\n\n%1").arg(m_cellEngine->GetLastError()),
                true);
    });
}

bool TessaraWnd::AddImagesToTray(const QStringList& astrFiles)
{
    return GUARD_RUN([&] {
        EditStep step(m_history, tr("Add images"));
        return !astrFiles.isEmpty() && m_cellEngine->CreateCells(Misc::SortedNaturally(astrFiles), -1, -1);
    });
}

void TessaraWnd::on_actTrayClearImages_triggered()
{
    GUARD_RUN([&] {
        EditStep step(m_history, tr("Clear tray"));
        m_cellEngine->ClearTray();
    });
}

void TessaraWnd::on_actGridClearImages_triggered()
{
    GUARD_RUN([&] {
        EditStep step(m_history, tr("Clear grid"));
        m_cellEngine->ClearBasket();
    });
}

void TessaraWnd::on_actGridFlipHorz_triggered()
{
    GUARD_RUN([&] {
        EditStep step(m_history, tr("Flip horizontally"));
        m_ui->imageGrid->FlipHorizontally();
    });
}

void TessaraWnd::on_actGridFlipVert_triggered()
{
    GUARD_RUN([&] {
        EditStep step(m_history, tr("Flip vertically"));
        m_ui->imageGrid->FlipVertically();
    });
}

// ---- Projects ----

void TessaraWnd::on_actProjectOpen_triggered()
{
    GUARD_RUN([&] {
        if (!MaybeSaveChanges())
            return;
        const QString strFile = Misc::GetOpenFileName(this, tr("Select the project to load"),
                                                      tr("Tessara projects (*.tsp);;All files (*.*)"));
        if (!strFile.isEmpty())
            OnOpenProject(strFile);
    });
}

void TessaraWnd::OnOpenRecentProject()
{
    GUARD_RUN([&] {
        const QAction* pAction = qobject_cast<const QAction*>(sender());
        if (!pAction)
            return;
        // Read before asking: saving rebuilds the recent-project actions.
        const QString strProject = pAction->data().toString();
        if (MaybeSaveChanges())
            OnOpenProject(strProject);
    });
}

void TessaraWnd::OnOpenProject(QString strProject)
{
    GUARD_RUN([&] {
        SetStatus(tr("Loading project '%1'...").arg(strProject));
        QString strError;
        if (LoadProjectFrom(strProject, strError))
            SetStatus(tr("Project '%1' loaded").arg(strProject), true);
        else
            ReportError(tr("An error occurred while loading the project:\n\n%1").arg(strError), true);
    });
}

bool TessaraWnd::LoadProjectFrom(const QString& strFile, QString& strError)
{
    return GUARD_RUN([&] {
        BusyWindow busy(this);
        Core::TessaraProject project;
        if (!project.LoadProject(strFile)) {
            strError = project.GetLastError();
            return false;
        }
        const Core::TessaraSettings& settings = project.GetSettings();
        bool bLoaded = false;
        {
            EditStep step(m_history, QString());
            // The rest of the project is taken over even when some images could not be read, so
            // the grid shows what was loaded and the settings are not lost.
            bLoaded = ShowCells(settings.rows, project.GetGridSize(), settings.tray, strError);
            SetSettings(&settings);
        }
        // Only a complete load stands for the file: a partial one must be saved anew, not listed as recent.
        SetProjectFile(bLoaded ? strFile : QString(), bLoaded);
        if (bLoaded) {
            Options()->AddRecentProject(strFile);
            CreateOpenRecentActions();
        }
        return bLoaded;
    });
}

void TessaraWnd::SetProjectFile(const QString& strFile, bool bSaved)
{
    // Cells kept for undoing removals are no longer reachable once the history is gone.
    m_history->Reset(bSaved);
    m_cellEngine->DestroyRemovedCells();
    m_projectFile = strFile;
    UpdateTitle();
}

bool TessaraWnd::MaybeSaveChanges()
{
    return GUARD_RUN([&] {
        if (!IsModified())
            return true;
        const QString strName = m_projectFile.isEmpty() ? tr("Untitled") : QFileInfo(m_projectFile).fileName();
        const QMessageBox::StandardButton answer =
            Misc::MessageBox(Misc::MsgQuestion, tr("Save changes to %1?").arg(strName),
                             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Discard)
            return true;
        return answer == QMessageBox::Save && SaveProjectAs();
    });
}

void TessaraWnd::on_actProjectSave_triggered()
{
    SaveProjectAs();
}

bool TessaraWnd::SaveProjectAs()
{
    return GUARD_RUN([&] {
        const QString strFile = Misc::GetSaveFileName(this, tr("Save the project"), tr("Tessara projects (*.tsp)"));
        if (strFile.isEmpty())
            return false;
        SetStatus(tr("Saving project to '%1'...").arg(strFile));
        QString strError;
        if (!SaveProjectTo(strFile, strError)) {
            ReportError(tr("An error occurred while saving the project:\n\n%1").arg(strError), true);
            return false;
        }
        SetStatus(tr("Project saved to '%1'").arg(strFile), true);
        Misc::MessageBox(Misc::MsgInformation, tr("The project has been saved to '%1'.").arg(strFile));
        return true;
    });
}

bool TessaraWnd::SaveProjectTo(const QString& strFile, QString& strError)
{
    return GUARD_RUN([&] {
        Core::TessaraProject project;
        FillTessaraSettings(&project.GetSettings());
        if (!project.GetSettings().VerifySettings(strError) || strFile.isEmpty())
            return false;
        BusyWindow busy(this);
        if (!project.SaveProject(strFile)) {
            strError = project.GetLastError();
            return false;
        }
        m_history->MarkSaved();
        m_projectFile = strFile;
        UpdateTitle();
        Options()->AddRecentProject(strFile);
        CreateOpenRecentActions();
        return true;
    });
}

void TessaraWnd::CreateOpenRecentActions()
{
    GUARD_RUN([&] {
        // Later, not now: the action that started this (a recent project being opened) may still be emitting.
        for (QAction* pAction : std::exchange(m_openRecentActions, {})) {
            m_ui->menOpenRecent->removeAction(pAction);
            pAction->deleteLater();
        }
        // Projects that no longer exist are hidden but stay stored: the drive may come back.
        for (const QString& strProject : Options()->GetRecentProjects()) {
            if (!QFileInfo::exists(strProject))
                continue;
            QAction* pAction = new QAction(strProject, this);
            pAction->setData(strProject);
            pAction->setShortcut(QKeySequence(tr("Ctrl+") + QString::number(m_openRecentActions.size() + 1)));
            connect(pAction, &QAction::triggered, this, &TessaraWnd::OnOpenRecentProject);
            m_ui->menOpenRecent->addAction(pAction);
            m_openRecentActions.append(pAction);
        }
        m_ui->actNoItemsToDisplay->setVisible(m_openRecentActions.isEmpty());
    });
}

// ---- Combine ----

void TessaraWnd::on_btnGridCompound_clicked()
{
    on_actGridCompound_triggered();
}

void TessaraWnd::on_actGridCompound_triggered()
{
    GUARD_RUN([&] {
        const QString strFile =
            Misc::GetSaveFileName(this, tr("Save the compound image"),
                                  Misc::GetCommonImageFormatFilter(true) + QStringLiteral(";;All files (*.*)"));
        if (strFile.isEmpty())
            return;
        SetStatus(tr("Combining images to '%1'...").arg(strFile));
        QString strError;
        if (CreateCompoundImage(strFile, true, strError)) {
            SetStatus(tr("Combined image saved to '%1'").arg(strFile), true);
            ShowCombinedImageSaved(strFile);
            return;
        }
        if (m_combineCancelled) {
            SetStatus(tr("Combine cancelled"));
            return;
        }
        SetStatus(tr("Failed to save combined image to '%1'").arg(strFile));
        TextViewerDlg viewer(this);
        viewer.ShowDialog(tr("<b>An error occurred while combining the image.</b><br>"
                             "Output log of the Tessara command-line utility:"),
                          strError);
    });
}

void TessaraWnd::ShowCombinedImageSaved(const QString& strFile)
{
    GUARD_RUN([&] {
        QMessageBox box(QMessageBox::Information, QApplication::applicationName(),
                        tr("The combined image has been saved to '%1'.").arg(strFile));
        QPushButton* pOpenImage = box.addButton(tr("Open &image"), QMessageBox::YesRole);
        QPushButton* pOpenFolder = box.addButton(tr("Open &folder"), QMessageBox::NoRole);
        box.setDefaultButton(box.addButton(tr("&OK"), QMessageBox::RejectRole));
        box.exec();
        if (box.clickedButton() == pOpenImage)
            Misc::LaunchFile(strFile);
        else if (box.clickedButton() == pOpenFolder)
            Misc::LaunchFile(QFileInfo(strFile).absolutePath());
    });
}

bool TessaraWnd::CreateCompoundImage(const QString& strFile, bool bShowStatus, QString& strError)
{
    return GUARD_RUN([&] {
        Core::TessaraInterface tesscli;
        Core::TessaraSettings settings;
        StatusDlg statusDialog;
        FillTessaraSettings(&settings);
        if (!settings.VerifySettings(strError) || strFile.isEmpty())
            return false;

        bool bResult = false;
        {
            BusyWindow busy(this);
            if (bShowStatus) {
                connect(&statusDialog, &StatusDlg::Sig_CancelRequested, this, [&] { tesscli.CancelCompound(); });
                statusDialog.SetCancellable(true);
                statusDialog.SetProgress(CombinePhaseText(Core::CombineProgress::Phase::Preloading), 0,
                                         Core::CombineProgress(settings.GetImageCount()).GetStepCount());
                statusDialog.ShowDialog(tr("Combining images..."),
                                        tr("The images are being combined into %1...").arg(strFile),
                                        QStringLiteral(":/res/Icons/Hourglass.png"));
            }
            bResult = tesscli.CompoundImage(&settings, strFile, [&](const Core::CombineProgress& progress) {
                statusDialog.SetProgress(CombinePhaseText(progress.GetPhase()), progress.GetStep(),
                                         progress.GetStepCount());
                emit Sig_CombineProgress(progress.GetStep(), progress.GetStepCount());
            });
            statusDialog.hide();
        }
        m_combineCancelled = tesscli.WasCancelled();
        if (!bResult)
            strError = tesscli.GetLastError();
        return bResult;
    });
}

QString TessaraWnd::CombinePhaseText(Core::CombineProgress::Phase phase)
{
    switch (phase) {
    case Core::CombineProgress::Phase::Combining:
        return tr("Combining...");
    case Core::CombineProgress::Phase::Saving:
        return tr("Saving...");
    case Core::CombineProgress::Phase::Preloading:
        break;
    }
    return tr("Pre-loading grid images...");
}

// ---- Help ----

void TessaraWnd::on_actAbout_triggered()
{
    GUARD_RUN([&] {
        AboutDlg dialog(this);
        dialog.ShowDialog();
    });
}

void TessaraWnd::on_actHelp_triggered()
{
    GUARD_RUN([&] {
        if (Misc::Help_IsAvailable())
            Misc::Help_OpenManual();
        else
            Misc::MessageBox(Misc::MsgWarning, tr("The help file is not available."));
    });
}

void TessaraWnd::on_actVelmontWebsite_triggered()
{
    GUARD_RUN([&] {
        // A web address, not a local file: opened as a URL by the desktop's browser.
        QDesktopServices::openUrl(QUrl(Misc::GetMakerWebsite()));
    });
}
} // namespace UI
