#include "ui/EditHistory.h"

#include "misc/Guard.h"

#include <QUndoCommand>
#include <QUndoStack>

namespace UI {
class EditHistory::SnapshotCommand : public QUndoCommand
{
public:
    SnapshotCommand(EditHistory* pHistory, const QString& strText, int nMergeId, EditorState before, EditorState after)
        : QUndoCommand(strText), m_pHistory(pHistory), m_nMergeId(nMergeId), m_before(std::move(before)),
          m_after(std::move(after))
    {}

    int id() const override { return m_nMergeId; }

    bool mergeWith(const QUndoCommand* pOther) override
    {
        // Typing "120" into a spin box is one edit, not three.
        m_after = static_cast<const SnapshotCommand*>(pOther)->m_after;
        return true;
    }

    void undo() override { m_pHistory->Apply(m_before); }

    void redo() override
    {
        // Pushed after the edit was made: the first redo has nothing to do.
        if (m_bDone)
            m_pHistory->Apply(m_after);
        m_bDone = true;
    }

private:
    EditHistory* m_pHistory;
    int m_nMergeId;
    EditorState m_before;
    EditorState m_after;
    bool m_bDone = false;
};

EditHistory::EditHistory(CaptureFunction fnCapture, RestoreFunction fnRestore, QObject* pParent)
    : QObject(pParent), m_fnCapture(std::move(fnCapture)), m_fnRestore(std::move(fnRestore)),
      m_pUndoStack(new QUndoStack(this))
{}

EditHistory::~EditHistory() = default;

void EditHistory::BeginStep(const QString& strText)
{
    if (m_nStepDepth++ == 0)
        m_strStepText = strText;
}

void EditHistory::EndStep()
{
    if (m_nStepDepth > 0 && --m_nStepDepth == 0)
        Record(m_strStepText, -1);
}

void EditHistory::NoteChange(const QString& strText, int nMergeId)
{
    if (m_nStepDepth == 0)
        Record(strText, nMergeId);
}

void EditHistory::Record(const QString& strText, int nMergeId)
{
    GUARD_RUN([&] {
        if (m_bApplying)
            return;
        EditorState after = m_fnCapture();
        if (after == m_current)
            return;
        EditorState before = std::exchange(m_current, after);
        m_pUndoStack->push(new SnapshotCommand(this, strText, nMergeId, std::move(before), std::move(after)));
        UpdateModified();
    });
}

void EditHistory::Apply(const EditorState& state)
{
    GUARD_RUN([&] {
        m_bApplying = true;
        m_fnRestore(state);
        m_bApplying = false;
        m_current = state;
        UpdateModified();
    });
}

void EditHistory::Reset(bool bSaved)
{
    GUARD_RUN([&] {
        m_pUndoStack->clear();
        m_nStepDepth = 0;
        m_current = m_fnCapture();
        m_saved = bSaved ? m_current : EditorState();
        UpdateModified();
    });
}

void EditHistory::MarkSaved()
{
    // Also ends merging: an edit after saving never folds into the one before it.
    m_pUndoStack->setClean();
    m_saved = m_current;
    UpdateModified();
}

void EditHistory::UpdateModified()
{
    const bool bModified = m_current != m_saved;
    if (bModified == m_bModified)
        return;
    m_bModified = bModified;
    emit Sig_ModifiedChanged(bModified);
}

EditStep::EditStep(EditHistory* pHistory, const QString& strText) : m_pHistory(pHistory)
{
    m_pHistory->BeginStep(strText);
}

EditStep::~EditStep()
{
    m_pHistory->EndStep();
}
} // namespace UI
