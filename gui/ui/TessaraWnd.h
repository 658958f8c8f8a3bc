#pragma once

#include "core/CombineProgress.h"
#include "core/ErrorReporter.h"
#include "ui/ProjectSession.h"

#include <memory>

#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QAction;
class QCloseEvent;
class QSlider;
class QUndoStack;

namespace Core {
class TessaraSettings;
}
namespace Model {
class ImageCellEngine;
}

class Ui_TessaraWndClass;

namespace UI {
class EditHistory;
class ProjectSession;
class SettingsPanel;
struct EditorState;

namespace Controls {
class ImageTableWidget;
}

// The editor's main window: grid, tray, toolbars and the grid, tray, combine and help commands.
// The settings panel and the project file have classes of their own.
class TessaraWnd : public QMainWindow, public Core::ErrorReporter, private ProjectHost
{
    Q_OBJECT

public:
    explicit TessaraWnd(Model::ImageCellEngine* pCellEngine, QWidget* pParent = nullptr,
                        Qt::WindowFlags flags = Qt::WindowFlags());
    ~TessaraWnd() override;

    void UpdateUI();
    void ResetSettings();
    void SetSettings(const Core::TessaraSettings* pSettings);
    void FillTessaraSettings(Core::TessaraSettings* pSettings) const override;

    bool AddImagesToTray(const QStringList& astrFiles);
    bool CreateNewGrid(const QStringList& astrFiles, int nRows, int nCols);
    void SetGridSize(int nRows, int nCols, bool bPopulate);
    bool LoadProjectFrom(const QString& strFile, QString& strError);
    bool SaveProjectTo(const QString& strFile, QString& strError);
    bool CreateCompoundImage(const QString& strFile, bool bShowStatus, QString& strError);
    void ReportError(const QString& strMessage, bool bToStatusBar) override;
    void CreateOpenRecentActions();

    QUndoStack* GetUndoStack() const;
    bool IsModified() const;
    EditorState CaptureState() const;
    void RestoreState(const EditorState& state);

    static constexpr const char* WindowName = "MainWindow";
    static constexpr const char* WindowStateOption = "Windows.MainWindow.State";
    static constexpr const char* SplitterStateOption = "Windows.MainWindow.Splitter";
    // Small enough for a new project's 3 x 3 grid to show whole in the default window on a 1366x768 screen.
    static constexpr int DefaultGridZoomLevel = 2;
    static constexpr int DefaultTrayZoomLevel = 1;

signals:
    // A running combine reached another step of the progress shown in its status dialog.
    void Sig_CombineProgress(int nStep, int nStepCount);

private slots:
    // Called by name: the core opens the project given on the command line through it.
    void OnOpenProject(QString strProject);

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void SetupUI();
    void ConnectActions();
    void ConnectSignals();
    void UpdateActions();
    void UpdateStatusBar();
    void CreateToolBarLabels();
    void ApplyStyleSheets();
    void RestoreWindowState();
    void ShowCombinedImageSaved(const QString& strFile);
    static int ZoomImageSize(int nLevel);
    static void ApplyZoom(Controls::ImageTableWidget* pTable, const QSlider* pSlider, QAction* pZoomIn,
                          QAction* pZoomOut, int nValue);
    void SetStatus(const QString& strText, bool bTemporary = false) override;
    static QString CombineProgressText(const Core::CombineProgress& progress);
    void SetupEditHistory();
    // Puts rows and tray into fresh cells; false when some image could not be read.
    bool ShowCells(const QList<QStringList>& rows, const QSize& gridSize, const QStringList& tray, QString& strError);
    bool ShowProject(const Core::TessaraProject& project, QString& strError) override;
    void ShowNewProject() override;

    void ShowAbout();
    void ShowHelp();
    void OpenMakerWebsite();
    void ChooseImagesForNewGrid();
    void ChooseImagesForTray();
    void ChooseCompoundImageFile();
    void FlipGridHorizontally();
    void FlipGridVertically();
    void ClearGrid();
    void ClearTray();
    void OnGridSizeEdited();
    void ResizeGridAsEdited();
    void ResetSettingsAsEdit();
    void OnAutoOrientToggled(bool bChecked);
    void OnCompactViewToggled(bool bChecked);
    void OnGridChanged();
    void OnTrayChanged();
    void OnGridZoomChanged(int nValue);
    void OnTrayZoomChanged(int nValue);
    void ZoomGrid(int nSteps);
    void ZoomTray(int nSteps);

    std::unique_ptr<Ui_TessaraWndClass> m_ui;
    Model::ImageCellEngine* m_cellEngine;
    SettingsPanel* m_settingsPanel = nullptr;
    EditHistory* m_history = nullptr;
    ProjectSession* m_session = nullptr;
    bool m_combineCancelled = false;
};
} // namespace UI
