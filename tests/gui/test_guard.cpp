#include "testmain.h"
#include "testutils.h"

#include "core/Guard.h"

#include <QRegularExpression>
#include <QtTest>

#include <stdexcept>

namespace {
void Inner()
{
    Guard_Run("Probe::Inner", [] { throw std::runtime_error("boom"); });
}

void Outer()
{
    Guard_Run("Probe::Outer", [] { Inner(); });
}
} // namespace

class TestGuard : public QObject
{
    Q_OBJECT

private slots:
    // The exception travels on unchanged; the call chain, innermost first, goes escaped into the
    // box and into log entries that are appended, never overwritten.
    void failureIsRecordedAndPassedOn()
    {
        g_guardCallStack.clear();
        try {
            Outer();
            QFAIL("the exception must travel outward");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString(error.what()), QString("boom"));
        }
        QCOMPARE(g_guardCallStack, (QStringList{"Probe::Inner", "Probe::Outer"}));
        QVERIFY2(Guard_FatalErrorText().contains("Probe::Inner&lt;-Probe::Outer"), qPrintable(Guard_FatalErrorText()));

        TestUtils::Sandbox sandbox;
        QVERIFY(Guard_WriteErrorLog(sandbox.File("error.log")) && Guard_WriteErrorLog(sandbox.File("error.log")));
        const QString strText = QString::fromUtf8(sandbox.ReadText("error.log"));
        const QRegularExpression entries("^(< 2\\.0\\.0\\.100: \\d\\d:\\d\\d:\\d\\d >\nA function resulted in a fatal "
                                         "error\\. Call stack:\nProbe::Inner<-Probe::Outer\n\n){2}$");
        QVERIFY2(entries.match(strText).hasMatch(), qPrintable(strText));
    }
};

TESSARA_TEST(TestGuard)
#include "test_guard.moc"
