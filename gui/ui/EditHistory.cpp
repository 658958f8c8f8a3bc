#include "ui/EditHistory.h"

#include "misc/Guard.h"

#include <QUndoCommand>
#include <QUndoStack>

namespace UI {
class EditHistory::SnapshotCommand : public QUndoCommand
{
public:
    SnapshotCommand(EditHistory* pHistory, const QString& strText, int nMergeId, EditorState before, EditorState after)
        : QUndoCommand(strText), m_history(pHistory), m_mergeId(nMergeId), m_before(std::move(before)),
          m_after(std::move(after))
    {}

    int id() const override { return m_mergeId; }

    bool mergeWith(const QUndoCommand* pOther) override
    {
        // Typing "120" into a spin box is one edit, not three.
        m_after = static_cast<const SnapshotCommand*>(pOther)->m_after;
        // Typing a value and undoing it in the field leaves nothing to undo: the stack drops the step.
        setObsolete(m_after == m_before);
        return true;
    }

    void undo() override { m_history->Apply(m_before); }

    void redo() override
    {
        // Pushed after the edit was made: the first redo has nothing to do.
        if (m_done)
            m_history->Apply(m_after);
        m_done = true;
    }

private:
    EditHistory* m_history;
    int m_mergeId;
    EditorState m_before;
    EditorState m_after;
    bool m_done = false;
};

EditHistory::EditHistory(CaptureFunction fnCapture, RestoreFunction fnRestore, QObject* pParent)
    : QObject(pParent), m_capture(std::move(fnCapture)), m_restore(std::move(fnRestore)),
      m_undoStack(new QUndoStack(this))
{}

EditHistory::~EditHistory() = default;

void EditHistory::BeginStep(const QString& strText)
{
    if (m_stepDepth++ == 0)
        m_stepText = strText;
}

void EditHistory::EndStep()
{
    if (m_stepDepth > 0 && --m_stepDepth == 0)
        Record(m_stepText, -1);
}

void EditHistory::NoteChange(const QString& strText, int nMergeId)
{
    if (m_stepDepth == 0)
        Record(strText, nMergeId);
}

void EditHistory::Record(const QString& strText, int nMergeId)
{
    GUARD_RUN([&] {
        if (m_applying)
            return;
        EditorState after = m_capture();
        if (after == m_current)
            return;
        EditorState before = std::exchange(m_current, after);
        m_undoStack->push(new SnapshotCommand(this, strText, nMergeId, std::move(before), std::move(after)));
        UpdateModified();
    });
}

void EditHistory::Apply(const EditorState& state)
{
    GUARD_RUN([&] {
        m_applying = true;
        m_restore(state);
        m_applying = false;
        m_current = state;
        UpdateModified();
    });
}

void EditHistory::Reset(bool bSaved)
{
    GUARD_RUN([&] {
        m_undoStack->clear();
        m_stepDepth = 0;
        m_current = m_capture();
        m_saved = bSaved ? m_current : EditorState();
        UpdateModified();
    });
}

void EditHistory::MarkSaved()
{
    // Also ends merging: an edit after saving never folds into the one before it.
    m_undoStack->setClean();
    m_saved = m_current;
    UpdateModified();
}

void EditHistory::UpdateModified()
{
    const bool bModified = m_current != m_saved;
    if (bModified == m_modified)
        return;
    m_modified = bModified;
    emit Sig_ModifiedChanged(bModified);
}

EditStep::EditStep(EditHistory* pHistory, const QString& strText) : m_history(pHistory)
{
    m_history->BeginStep(strText);
}

EditStep::~EditStep()
{
    m_history->EndStep();
}
} // namespace UI
