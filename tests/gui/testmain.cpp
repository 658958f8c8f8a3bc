#include "testmain.h"

#include "core/TessaraCore.h"
#include "testutils.h"
#include "ui/MainWindowFactory.h"

#include <vector>

namespace TestUtils {
namespace {
std::vector<TestFactory>& Registered()
{
    static std::vector<TestFactory> factories;
    return factories;
}

// A plain word on the command line names one test function (as an isolated copy is run): only the
// class that has it runs, so the other classes do not fail on a name they lack.
bool Selected(const QObject& test, int nArgc, char** ppArgv)
{
    if (nArgc < 2 || ppArgv[1][0] == '-')
        return true;
    const QByteArray function = QByteArray(ppArgv[1]).split(':').first();
    return test.metaObject()->indexOfSlot(function + "()") >= 0;
}
} // namespace

bool RegisterTest(TestFactory factory)
{
    Registered().push_back(std::move(factory));
    return true;
}

} // namespace TestUtils

int main(int argc, char** argv)
{
#ifdef TESSARA_TEST_PLATFORM
    // The offscreen platform turns every drag down at once; the minimal one runs Qt's own in-process
    // drag, so drags travel through QDrag and the real drag-enter, -move and drop events.
    qputenv("QT_QPA_PLATFORM", TESSARA_TEST_PLATFORM);
#endif
    // Thumbnails go to a cache of the run's own, never the user's.
    const QTemporaryDir cacheHome;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    if (!Core::TessaraCore::CreateCore(1, argv, &UI::CreateMainWindow))
        return 1;
    int nResult = 0;
    for (const TestUtils::TestFactory& factory : TestUtils::Registered()) {
        const std::unique_ptr<QObject> pTest = factory();
        if (TestUtils::Selected(*pTest, argc, argv) && QTest::qExec(pTest.get(), argc, argv) != 0)
            nResult = 1;
    }
    Core::TessaraCore::DestroyCore();
    return nResult;
}
