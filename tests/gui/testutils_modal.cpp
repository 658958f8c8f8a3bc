#include "testutils.h"
#include "testutils_modal.h"

namespace TestUtils {

ModalAnswers::ModalAnswers(QList<Handler> handlers) : m_pending(std::move(handlers))
{
    auto* pTimer = new QTimer(this);
    connect(pTimer, &QTimer::timeout, this, &ModalAnswers::OnPoll);
    pTimer->start(20);
}

ModalAnswers::~ModalAnswers()
{
    QTest::qCompare(Problems(), QString(), "answers.Problems()", "QString()", __FILE__, __LINE__);
}

ModalAnswers& ModalAnswers::Then(Handler fnHandler)
{
    m_pending.append(std::move(fnHandler));
    return *this;
}

QString ModalAnswers::Problems() const
{
    if (m_pending.isEmpty() && m_unexpected.isEmpty())
        return QString();
    return QStringLiteral("%1 answer(s) never used; unexpected: [%2]")
        .arg(m_pending.size())
        .arg(m_unexpected.join(QStringLiteral(", ")));
}

void ModalAnswers::OnPoll()
{
    QWidget* pModal = QApplication::activeModalWidget();
    if (!pModal || m_handedOut.contains(pModal))
        return;
    m_handedOut.append(pModal);
    pModal->installEventFilter(this);
    const QString strName = QStringLiteral("%1 '%2'").arg(pModal->metaObject()->className(), pModal->windowTitle());
    if (m_pending.isEmpty())
        m_unexpected.append(strName);
    const Handler fnHandler = m_pending.isEmpty() ? FinishDialog(&QDialog::reject) : m_pending.takeFirst();
    // Queued, so this poll returns first: a nested modal window opened by the handler is then
    // still seen by the next poll.
    QPointer<QWidget> pTarget = pModal;
    QTimer::singleShot(0, this, [this, fnHandler, pTarget, strName] {
        if (!pTarget)
            return;
        fnHandler(pTarget);
        if (pTarget && pTarget->isVisible() && QApplication::activeModalWidget() == pTarget) {
            m_unexpected.append(strName + QStringLiteral(" (left open by its handler)"));
            if (auto* pDialog = qobject_cast<QDialog*>(pTarget.data()))
                pDialog->reject();
        }
    });
}

bool ModalAnswers::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::Hide || pEvent->type() == QEvent::Destroy) {
        m_handedOut.removeAll(pWatched);
        pWatched->removeEventFilter(this);
    }
    return false;
}

ModalAnswers::Handler ChooseFiles(const QStringList& astrFiles, const QString& strType)
{
    return [astrFiles, strType](QWidget* pWidget) {
        auto* pDialog = qobject_cast<QFileDialog*>(pWidget);
        if (!pDialog)
            return;
        for (const QString& strListed : pDialog->nameFilters())
            if (!strType.isEmpty() && strListed.contains(strType)) {
                pDialog->selectNameFilter(strListed);
                emit pDialog->filterSelected(strListed);
                break;
            }
        pDialog->setDirectory(QFileInfo(astrFiles.first()).absolutePath());
        QStringList astrNames;
        for (const QString& strFile : astrFiles)
            astrNames.append(astrFiles.size() == 1 ? QFileInfo(strFile).fileName()
                                                   : QStringLiteral("\"%1\"").arg(QFileInfo(strFile).fileName()));
        pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(astrNames.join(QLatin1Char(' ')));
        // QFileDialog::accept (which checks the typed names) is reached through QDialog's public slot.
        static_cast<QDialog*>(pDialog)->accept();
    };
}

ModalAnswers::Handler PressButton(const QString& strButtonText)
{
    return [strButtonText](QWidget* pWidget) {
        for (QAbstractButton* pButton : pWidget->findChildren<QAbstractButton*>()) {
            if (pButton->text().remove(QLatin1Char('&')) == strButtonText) {
                pButton->click();
                return;
            }
        }
    };
}

ModalAnswers::Handler FinishDialog(void (QDialog::*pfnFinish)())
{
    return [pfnFinish](QWidget* pWidget) {
        if (auto* pDialog = qobject_cast<QDialog*>(pWidget))
            (pDialog->*pfnFinish)();
    };
}

ModalAnswers::Handler NoteText(QString& strText)
{
    return [&strText](QWidget* pWidget) {
        if (auto* pBox = qobject_cast<QMessageBox*>(pWidget))
            strText = pBox->text();
        PressButton(QStringLiteral("OK"))(pWidget);
    };
}

} // namespace TestUtils
