#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

namespace TestUtils {

// Answers modal windows as they open, in order: each queued handler receives the next modal widget
// and closes it, from that window's own event loop (so it may open further modal windows). A window
// no handler expects, or that its handler left open, is rejected and recorded: the test fails, not hangs.
// At its end every handler must have run and no other window have appeared.
class ModalAnswers : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void(QWidget*)>;

    explicit ModalAnswers(QList<Handler> handlers = {});
    ~ModalAnswers() override;

    ModalAnswers& Then(Handler fnHandler);
    // Empty when every handler has run and no other window appeared; otherwise what happened.
    QString Problems() const;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void OnPoll();

    QList<Handler> m_pending;
    // Windows handed out and not hidden since: the same dialog shown again counts as a new window.
    QList<QObject*> m_handedOut;
    QStringList m_unexpected;
};

// Fills a Qt file dialog with the given files (all in one folder) and accepts it; first picks the
// first type in its list that contains strType, when given, as a click in the list does.
ModalAnswers::Handler ChooseFiles(const QStringList& astrFiles, const QString& strType = QString());
// Presses the button whose text, without '&', is strButtonText.
ModalAnswers::Handler PressButton(const QString& strButtonText);
// Ends a dialog through &QDialog::accept or &QDialog::reject, as overridden by its class.
ModalAnswers::Handler FinishDialog(void (QDialog::*pfnFinish)());
// Keeps a message box's text in strText (which must outlive the answer) and presses "OK".
ModalAnswers::Handler NoteText(QString& strText);

} // namespace TestUtils
