#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>

class QUndoStack;

namespace UI {
// Everything of the window that a project keeps or the user edits: grid entries (file names,
// "None", "KeepEmpty"), tray files and the value of every settings-panel control.
struct EditorState
{
    QList<QStringList> gridRows;
    QStringList tray;
    QVariantList panel;

    bool operator==(const EditorState& other) const
    {
        return gridRows == other.gridRows && tray == other.tray && panel == other.panel;
    }
    bool operator!=(const EditorState& other) const { return !(*this == other); }
};

// Undo history and modified mark of the main window. Each step keeps the whole state before and
// after it (a 20x20 grid is a few hundred shared strings), so undoing restores exactly what was
// there whatever the edit did. The state counts as modified whenever it differs from the one last
// saved or loaded, however it got there.
class EditHistory : public QObject
{
    Q_OBJECT

public:
    using CaptureFunction = std::function<EditorState()>;
    using RestoreFunction = std::function<void(const EditorState&)>;

    EditHistory(CaptureFunction fnCapture, RestoreFunction fnRestore, QObject* pParent = nullptr);
    ~EditHistory() override;

    QUndoStack* GetUndoStack() const { return m_undoStack; }

    // Brackets one edit made of many changes; the outermost end records it as one step named strText.
    void BeginStep(const QString& strText);
    void EndStep();
    // A change outside any bracket; consecutive changes with the same merge id become one step.
    void NoteChange(const QString& strText, int nMergeId = -1);
    // Forgets the history and takes the current state as the one saved (bSaved) or as never saved.
    void Reset(bool bSaved);
    void MarkSaved();
    bool IsModified() const { return m_modified; }

signals:
    void Sig_ModifiedChanged(bool bModified);

private:
    class SnapshotCommand;

    void Record(const QString& strText, int nMergeId);
    void Apply(const EditorState& state);
    void UpdateModified();

    CaptureFunction m_capture;
    RestoreFunction m_restore;
    QUndoStack* m_undoStack;
    EditorState m_current;
    EditorState m_saved;
    int m_stepDepth = 0;
    QString m_stepText;
    bool m_applying = false;
    bool m_modified = false;
};

// Keeps one edit step open for its lifetime.
class EditStep
{
public:
    EditStep(EditHistory* pHistory, const QString& strText);
    ~EditStep();
    EditStep(const EditStep&) = delete;
    EditStep& operator=(const EditStep&) = delete;

private:
    EditHistory* m_history;
};
} // namespace UI
