#include "ui/TessaraWnd.h"
#include "ui_TessaraWnd.h"

#include "misc/Guard.h"
#include "core/TessaraCore.h"
#include "core/TessaraInterface.h"
#include "core/TessaraProject.h"
#include "core/TessaraSettings.h"
#include "model/ImageCellEngine.h"
#include "model/ThumbnailLoader.h"
#include "misc/HelpFile.h"
#include "misc/ImgUtils.h"
#include "misc/NaturalOrder.h"
#include "misc/SysUtils.h"
#include "misc/VersionUtils.h"
#include "misc/WaitCursor.h"
#include "misc/WindowFit.h"
#include "ui/AboutDlg.h"
#include "ui/BusyWindow.h"
#include "ui/EditHistory.h"
#include "ui/GridSizeDlg.h"
#include "ui/HelpViewer.h"
#include "ui/ProjectSession.h"
#include "ui/SettingsPanel.h"
#include "ui/StatusDlg.h"
#include "ui/TextViewerDlg.h"
#include "misc/UIUtils.h"
#include "ui/controls/ToolBarHeader.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QUndoStack>
#include <QUrl>

#include <utility>

namespace UI {
namespace {
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

        // On a small screen or at a large scale factor the panel scrolls rather than squeezing its controls.
        auto* pSettingsScroll = new QScrollArea(m_ui->wdgtGridPane);
        pSettingsScroll->setObjectName(QStringLiteral("scrSettings"));
        pSettingsScroll->setFrameShape(QFrame::NoFrame);
        pSettingsScroll->setWidgetResizable(true);
        pSettingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pSettingsScroll->setFixedWidth(m_ui->wdgtSettings->maximumWidth()
                                       + pSettingsScroll->verticalScrollBar()->sizeHint().width());
        m_ui->wdgtSettings->setMaximumWidth(QWIDGETSIZE_MAX);
        delete m_ui->wdgtGridPane->layout()->replaceWidget(m_ui->wdgtSettings, pSettingsScroll);
        pSettingsScroll->setWidget(m_ui->wdgtSettings);

        m_settingsPanel = new SettingsPanel(*m_ui, this);
        connect(m_settingsPanel, &SettingsPanel::Sig_AutoOrientChanged, this, &TessaraWnd::OnAutoOrientToggled);

        SetStatus(tr("%1 started (Version %2)").arg(QStringLiteral("Tessara"), Misc::GetVersionString(true)));

        CreateToolBarLabels();
        ApplyStyleSheets();
        RestoreWindowState();
        ConnectSignals();

        SetGridSize(3, 3, true);
        m_ui->viewToolBar->SetGridZoomLevel(DefaultGridZoomLevel);
        m_ui->viewToolBar->SetTrayZoomLevel(DefaultTrayZoomLevel);
        ResetSettings();
        SetupEditHistory();
        ConnectActions();
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
    connect(m_settingsPanel, &SettingsPanel::Sig_Changed, m_history, &EditHistory::NoteChange);

    m_session =
        new ProjectSession(this, *this, m_history, m_cellEngine, m_ui->menOpenRecent, m_ui->actNoItemsToDisplay);
    connect(m_history, &EditHistory::Sig_ModifiedChanged, this, &TessaraWnd::UpdateActions);
    m_session->CreateOpenRecentActions();
    m_history->Reset(true);
    m_session->UpdateTitle();
}

QUndoStack* TessaraWnd::GetUndoStack() const
{
    return m_history->GetUndoStack();
}

bool TessaraWnd::IsModified() const
{
    return m_history->IsModified();
}

EditorState TessaraWnd::CaptureState() const
{
    return GUARD_RUN([&] {
        EditorState state;
        state.gridRows = m_ui->imageGrid->GetRowFilenames();
        state.tray = m_ui->imageTray->GetRowFilenames().value(0);
        state.panel = m_settingsPanel->GetValues();
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
        m_settingsPanel->SetValues(state.panel);
    });
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
    Options()->LoadWindowState(this, WindowName, Options()->GetInstanceSlot());
    if (!isMaximized()) // the form's default size too must fit a small screen or a large scale factor
        Misc::PlaceWindowOnScreen(this, QRect(pos(), size()));
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
    connect(m_cellEngine->GetThumbnailLoader(), &Model::ThumbnailLoader::Sig_Progress, this,
            [this](int nDone, int nTotal) {
                m_ui->statusBar->SetLoadProgress(nDone, nTotal);
                const QStringList& failed = m_cellEngine->GetThumbnailLoader()->GetFailedFiles();
                if (nDone == nTotal && !failed.isEmpty())
                    SetStatus(tr("%n image(s) could not be read, among them '%1'", nullptr, int(failed.size()))
                                  .arg(failed.first()),
                              false);
            });
    connect(m_ui->viewToolBar, &Controls::ViewToolBar::Sig_GridZoomLevelChanged, this, &TessaraWnd::OnGridZoomChanged);
    connect(m_ui->viewToolBar, &Controls::ViewToolBar::Sig_TrayZoomLevelChanged, this, &TessaraWnd::OnTrayZoomChanged);
}

// Every command is wired here by hand; the form's object names only serve to find widgets.
void TessaraWnd::ConnectActions()
{
    connect(m_ui->actProjectNew, &QAction::triggered, m_session, &ProjectSession::NewProject);
    connect(m_ui->actProjectOpen, &QAction::triggered, m_session, &ProjectSession::OpenProject);
    connect(m_ui->actProjectSave, &QAction::triggered, m_session, &ProjectSession::SaveProject);
    connect(m_ui->actProjectSaveAs, &QAction::triggered, m_session, &ProjectSession::SaveProjectAs);
    m_ui->actExit->setShortcuts({QKeySequence(tr("Ctrl+Q")), QKeySequence(tr("Alt+X"))});
    connect(m_ui->actGridCreate, &QAction::triggered, this, &TessaraWnd::ChooseImagesForNewGrid);
    connect(m_ui->actGridCompound, &QAction::triggered, this, &TessaraWnd::ChooseCompoundImageFile);
    connect(m_ui->btnGridCompound, &QPushButton::clicked, this, &TessaraWnd::ChooseCompoundImageFile);
    connect(m_ui->actGridFlipHorz, &QAction::triggered, this, &TessaraWnd::FlipGridHorizontally);
    connect(m_ui->actGridFlipVert, &QAction::triggered, this, &TessaraWnd::FlipGridVertically);
    connect(m_ui->actGridClearImages, &QAction::triggered, this, &TessaraWnd::ClearGrid);
    connect(m_ui->actGridZoomIn, &QAction::triggered, this, [this] { ZoomGrid(1); });
    connect(m_ui->actGridZoomOut, &QAction::triggered, this, [this] { ZoomGrid(-1); });
    connect(m_ui->actGridCompactView, &QAction::triggered, this, &TessaraWnd::OnCompactViewToggled);
    connect(m_ui->actTrayAddImages, &QAction::triggered, this, &TessaraWnd::ChooseImagesForTray);
    connect(m_ui->actTrayClearImages, &QAction::triggered, this, &TessaraWnd::ClearTray);
    connect(m_ui->actTrayZoomIn, &QAction::triggered, this, [this] { ZoomTray(1); });
    connect(m_ui->actTrayZoomOut, &QAction::triggered, this, [this] { ZoomTray(-1); });
    connect(m_ui->actAbout, &QAction::triggered, this, &TessaraWnd::ShowAbout);
    connect(m_ui->actHelp, &QAction::triggered, this, &TessaraWnd::ShowHelp);
    connect(m_ui->actVelmontWebsite, &QAction::triggered, this, &TessaraWnd::OpenMakerWebsite);
    connect(m_ui->txtGridRows, &QSpinBox::valueChanged, this, &TessaraWnd::OnGridSizeEdited);
    connect(m_ui->txtGridColumns, &QSpinBox::valueChanged, this, &TessaraWnd::OnGridSizeEdited);
    connect(m_ui->btnGridResize, &QPushButton::clicked, this, &TessaraWnd::ResizeGridAsEdited);
    connect(m_ui->btnClearSettings, &QPushButton::clicked, this, &TessaraWnd::ResetSettingsAsEdit);
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
        if (!isEnabled() || !m_session->MaybeSaveChanges()) {
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

    for (QAction* pAction : {m_ui->actGridCompound, m_ui->actGridFlipHorz, m_ui->actGridFlipVert})
        pAction->setEnabled(bCombinable);
    // Whatever the title marks as unsaved can be saved, a tray of images or changed settings alone too.
    m_ui->actProjectSave->setEnabled(nGridImages + nTrayImages > 0 || (m_history && m_history->IsModified()));
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

void TessaraWnd::OnGridSizeEdited()
{
    m_ui->btnGridResize->setEnabled(m_ui->txtGridRows->value() != m_ui->imageGrid->rowCount()
                                    || m_ui->txtGridColumns->value() != m_ui->imageGrid->columnCount());
}

void TessaraWnd::ResizeGridAsEdited()
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

// The thumbnails follow at once, so that the grid shows what the combined image will get.
void TessaraWnd::OnAutoOrientToggled(bool bChecked)
{
    GUARD_RUN([&] { m_cellEngine->SetAutoOrient(bChecked); });
}

void TessaraWnd::ResetSettingsAsEdit()
{
    EditStep step(m_history, tr("Reset settings"));
    ResetSettings();
}

void TessaraWnd::ResetSettings()
{
    m_settingsPanel->Reset();
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

        m_settingsPanel->FillSettings(pSettings);
    });
}

void TessaraWnd::SetSettings(const Core::TessaraSettings* pSettings)
{
    m_settingsPanel->ApplySettings(*pSettings);
}

// ---- Zoom ----

int TessaraWnd::ZoomImageSize(int nLevel)
{
    return (nLevel + 2) * 32;
}

void TessaraWnd::ZoomGrid(int nSteps)
{
    m_ui->viewToolBar->SetGridZoomLevel(m_ui->viewToolBar->GetGridZoomLevel() + nSteps);
}

void TessaraWnd::ZoomTray(int nSteps)
{
    m_ui->viewToolBar->SetTrayZoomLevel(m_ui->viewToolBar->GetTrayZoomLevel() + nSteps);
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

void TessaraWnd::OnCompactViewToggled(bool bChecked)
{
    GUARD_RUN([&] { m_ui->imageGrid->SetCompactView(bChecked); });
}

// ---- Grid and tray commands ----

void TessaraWnd::ShowNewProject()
{
    GUARD_RUN([&] {
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
    });
}

void TessaraWnd::ChooseImagesForNewGrid()
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

void TessaraWnd::ChooseImagesForTray()
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

void TessaraWnd::ClearTray()
{
    GUARD_RUN([&] {
        EditStep step(m_history, tr("Clear tray"));
        m_cellEngine->ClearTray();
    });
}

void TessaraWnd::ClearGrid()
{
    GUARD_RUN([&] {
        EditStep step(m_history, tr("Clear grid"));
        m_cellEngine->ClearBasket();
    });
}

void TessaraWnd::FlipGridHorizontally()
{
    GUARD_RUN([&] {
        EditStep step(m_history, tr("Flip horizontally"));
        m_ui->imageGrid->FlipHorizontally();
    });
}

void TessaraWnd::FlipGridVertically()
{
    GUARD_RUN([&] {
        EditStep step(m_history, tr("Flip vertically"));
        m_ui->imageGrid->FlipVertically();
    });
}

// ---- Projects ----

void TessaraWnd::OnOpenProject(QString strProject)
{
    m_session->OpenProjectFile(strProject);
}

bool TessaraWnd::LoadProjectFrom(const QString& strFile, QString& strError)
{
    return m_session->LoadProjectFrom(strFile, strError);
}

bool TessaraWnd::SaveProjectTo(const QString& strFile, QString& strError)
{
    return m_session->SaveProjectTo(strFile, strError);
}

void TessaraWnd::CreateOpenRecentActions()
{
    m_session->CreateOpenRecentActions();
}

bool TessaraWnd::ShowProject(const Core::TessaraProject& project, QString& strError)
{
    return GUARD_RUN([&] {
        EditStep step(m_history, QString());
        const bool bShown =
            ShowCells(project.GetSettings().rows, project.GetGridSize(), project.GetSettings().tray, strError);
        SetSettings(&project.GetSettings());
        return bShown;
    });
}

// ---- Combine ----

void TessaraWnd::ChooseCompoundImageFile()
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
        // The reason first, in words; the whole log below it opens at the same place.
        const QString strReason = Core::TessaraInterface::GetErrorBlock(strError);
        TextViewerDlg viewer(this);
        viewer.ShowDialog(tr("<b>An error occurred while combining the image.</b><br>%1<br>"
                             "Output log of the Tessara command-line utility:")
                              .arg(strReason.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))),
                          strError, strReason);
    });
}

void TessaraWnd::ShowCombinedImageSaved(const QString& strFile)
{
    GUARD_RUN([&] {
        // A pyramid is looked at through its viewer page, in the desktop's web browser.
        const QString strViewerPage = Core::TessaraInterface::GetViewerPage(strFile);
        QString strText = tr("The combined image has been saved to '%1'.").arg(strFile);
        if (!strViewerPage.isEmpty())
            strText += tr(" Its viewer page '%1' shows it in a web browser.").arg(strViewerPage);
        QMessageBox box(QMessageBox::Information, QApplication::applicationName(), strText);
        QPushButton* pOpenImage =
            box.addButton(strViewerPage.isEmpty() ? tr("Open &image") : tr("Open &viewer page"), QMessageBox::YesRole);
        QPushButton* pOpenFolder = box.addButton(tr("Open &folder"), QMessageBox::NoRole);
        box.setDefaultButton(box.addButton(tr("&OK"), QMessageBox::RejectRole));
        box.exec();
        if (box.clickedButton() == pOpenImage)
            Misc::OpenWithDesktop(strViewerPage.isEmpty() ? strFile : strViewerPage);
        else if (box.clickedButton() == pOpenFolder)
            Misc::OpenWithDesktop(QFileInfo(strFile).absolutePath());
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
                statusDialog.SetProgress(CombineProgressText(Core::CombineProgress({})), 0,
                                         Core::CombineProgress::Scale);
                statusDialog.ShowDialog(tr("Combining images..."),
                                        tr("The images are being combined into %1...").arg(strFile),
                                        QStringLiteral(":/res/Icons/Hourglass.png"));
            }
            bResult = tesscli.CompoundImage(&settings, strFile, [&](const Core::CombineProgress& progress) {
                statusDialog.SetProgress(CombineProgressText(progress), progress.GetValue(),
                                         Core::CombineProgress::Scale);
                emit Sig_CombineProgress(progress.GetValue(), Core::CombineProgress::Scale);
            });
            statusDialog.hide();
        }
        m_combineCancelled = tesscli.WasCancelled();
        if (!bResult)
            strError = tesscli.GetLastError();
        return bResult;
    });
}

QString TessaraWnd::CombineProgressText(const Core::CombineProgress& progress)
{
    QString strText;
    switch (progress.GetPhase()) {
    case Core::CombineProgress::Phase::Preloading:
        return tr("Pre-loading grid images...");
    case Core::CombineProgress::Phase::Combining:
        strText = tr("Combining row %1 of %2").arg(progress.GetRow()).arg(progress.GetRowCount());
        break;
    case Core::CombineProgress::Phase::Saving:
        strText = tr("Saving the last row");
        break;
    }
    const int nLeft = progress.GetSecondsLeft();
    if (nLeft < 0)
        return strText + QStringLiteral("...");
    if (nLeft < 60)
        return tr("%1, about %2 s left").arg(strText).arg(nLeft);
    return tr("%1, about %2 min %3 s left").arg(strText).arg(nLeft / 60).arg(nLeft % 60);
}

// ---- Help ----

void TessaraWnd::ShowAbout()
{
    GUARD_RUN([&] {
        AboutDlg dialog(this);
        dialog.ShowDialog();
    });
}

void TessaraWnd::ShowHelp()
{
    GUARD_RUN([&] {
        if (!Misc::Help_IsAvailable()) {
            Misc::MessageBox(Misc::MsgWarning,
                             tr("The user guide is not installed: %1 is missing.").arg(Misc::Help_GetManualFile()));
            return;
        }
        // One guide beside the window, left open while the user works.
        auto* pViewer = findChild<HelpViewer*>();
        if (!pViewer)
            pViewer = new HelpViewer(Misc::Help_GetManualFile(), this);
        pViewer->show();
        pViewer->raise();
        pViewer->activateWindow();
    });
}

void TessaraWnd::OpenMakerWebsite()
{
    GUARD_RUN([&] {
        // A web address, not a local file: opened as a URL by the desktop's browser.
        QDesktopServices::openUrl(QUrl(Misc::GetMakerWebsite()));
    });
}
} // namespace UI
