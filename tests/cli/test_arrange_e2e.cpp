#include "TestSupport.h"

#include <array>
#include <filesystem>
#include <fstream>

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {
// Runs tesscli inside a temporary directory of 10x10 coordinate tiles t1.png .. t12.png (tag n).
class ArrangeTest : public TesscliTest
{
protected:
    ArrangeTest()
    {
        for (unsigned n = 1; n <= 12; ++n)
            Save(CoordinateImage(10, 10, n), dir / ("t" + std::to_string(n) + ".png"));
    }

    // The dry run's report, from its heading to the end of the output.
    static std::string DryRunReport(const TesscliRun& run)
    {
        const size_t nStart = run.standardOutput.find("Dry run");
        return nStart == std::string::npos ? run.standardOutput : run.standardOutput.substr(nStart);
    }

    std::string Report(const std::string& strMap, const char* szCanvas) const
    {
        return "Dry run, nothing is composed or written:\n    Cell map:\n" + strMap + "    Canvas size: " + szCanvas +
               " pixels\n    Output file: " + (dir / "out.png") + "\n    Output format: PNG (Portable Network Graphics)\n";
    }
};
} // namespace

TEST_F(ArrangeTest, DryRunShowsTheCellMapAndWritesNothing)
{
    const std::string strLeftOut = "    Warning: 2 input file(s) get no cell in the grid of 2 row(s), 2 column(s): t3.png, t6.png\n";
    struct Case { const char* name; std::vector<std::string> arguments; std::string map; const char* canvas; std::string tail; };
    const Case cases[] = {
        {"row-first in natural order", {"-sources", "t*.png", "-grid", "0", "5"},
         "        t1.png   t2.png   t3.png   t4.png   t5.png\n"
         "        t6.png   t7.png   t8.png   t9.png   t10.png\n"
         "        t11.png  t12.png  (empty)  (empty)  (empty)\n", "50x30", ""},
        {"column-first", {"-sources", "t?.png", "-grid", "2", "0", "-order", "col-first"},
         "        t1.png  t3.png  t5.png  t7.png  t9.png\n"
         "        t2.png  t4.png  t6.png  t8.png  (empty)\n", "50x20", ""},
        {"row snake", {"-sources", "t?.png", "-grid", "0", "4", "-order", "Row-Snake"},
         "        t1.png  t2.png   t3.png   t4.png\n"
         "        t8.png  t7.png   t6.png   t5.png\n"
         "        t9.png  (empty)  (empty)  (empty)\n", "40x30", ""},
        {"corner with empty cells", {"-row", "t1.png", "None", "t2.png", "-row", "t3.png", "-startpos", "bottom-right"},
         "        (empty)  (empty)  t3.png\n"
         "        t2.png   (empty)  t1.png\n", "20x20", ""},
        {"files left out", {"-row", "t1.png", "t2.png", "t3.png", "-row", "t4.png", "t5.png", "t6.png", "-grid", "2", "2"},
         "        t1.png  t2.png\n"
         "        t4.png  t5.png\n", "20x20", "    Input files without a cell: t3.png, t6.png\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.end(), {"-out", "out.png", "-dryrun"});
        const TesscliRun run = Run(arguments);
        EXPECT_EQ(run.exitStatus, 0) << run.standardOutput;
        EXPECT_EQ(DryRunReport(run), Report(c.map, c.canvas) + c.tail + "\n");
        EXPECT_EQ(run.standardOutput.find(strLeftOut) != std::string::npos, !c.tail.empty()) << run.standardOutput;
        EXPECT_FALSE(fs::exists(dir / "out.png"));
    }
}
