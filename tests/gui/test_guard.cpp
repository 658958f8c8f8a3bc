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

int Middle()
{
    return Guard_Run("Probe::Middle", [] {
        Inner();
        return 1;
    });
}

void Outer()
{
    Guard_Run("Probe::Outer", [] { Middle(); });
}
} // namespace

class TestGuard : public QObject
{
    Q_OBJECT

private slots:
    void init() { g_guardCallStack.clear(); }

    void passesResultsThroughUntouched()
    {
        QCOMPARE(Guard_Run("Probe::Value", [] { return 42; }), 42);
        int nTarget = 0;
        int& nRef = Guard_Run("Probe::Reference", [&]() -> int& { return nTarget; });
        nRef = 7;
        QCOMPARE(nTarget, 7);
        QVERIFY(g_guardCallStack.isEmpty());
    }

    void recordsInnermostFirstAndKeepsTheException()
    {
        try {
            Outer();
            QFAIL("the exception must travel outward");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString(error.what()), QString("boom"));
        }
        QCOMPARE(g_guardCallStack, (QStringList{"Probe::Inner", "Probe::Middle", "Probe::Outer"}));
    }

    void logEntryNamesTheCallChain()
    {
        TestUtils::Sandbox sandbox;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, Outer());
        const QString strLog = sandbox.File("error.log");
        QVERIFY(Guard_WriteErrorLog(strLog));
        QVERIFY(Guard_WriteErrorLog(strLog));

        const QString strText = QString::fromUtf8(sandbox.ReadText("error.log"));
        const QRegularExpression entry(
            "^< 2\\.0\\.0\\.100: \\d\\d:\\d\\d:\\d\\d >\nA function resulted in a fatal error\\. Call stack:\n"
            "Probe::Inner<-Probe::Middle<-Probe::Outer\n\n$");
        const QStringList astrEntries = strText.split("\n\n", Qt::SkipEmptyParts);
        QCOMPARE(astrEntries.size(), 2); // appended, never overwritten
        for (const QString& strEntry : astrEntries)
            QVERIFY2(entry.match(strEntry + "\n\n").hasMatch(), qPrintable(strEntry));
    }

    void boxEscapesTheStack()
    {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, Outer());
        const QString strText = Guard_FatalErrorText();
        QVERIFY2(strText.contains("Probe::Inner&lt;-Probe::Middle&lt;-Probe::Outer"), qPrintable(strText));
    }
};

TESSARA_TEST(TestGuard)
#include "test_guard.moc"
