#include "TestSupport.h"

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
        return "Dry run, nothing is composed or written:\n    Cell map:\n" + strMap + "    Canvas size: " + szCanvas
               + " pixels\n    Output file: " + (dir / "out.png")
               + "\n    Output format: PNG (Portable Network Graphics)\n"
                 "    Written by: the streaming PNG writer, one grid row at a time\n    Estimated peak memory: 21 "
                 "MiB\n";
    }
};
} // namespace

// A dry run only pings, so a tile cut off right after its first data chunk starts still passes.
TEST_F(ArrangeTest, DryRunShowsTheCellMapAndWritesNothing)
{
    const std::string strPng = ReadFile(dir / "t2.png");
    std::ofstream(dir / "bad.png", std::ios::binary) << strPng.substr(0, strPng.find("IDAT") + 8);
    const std::string strLeftOut =
        "    Warning: 2 input file(s) get no cell in the grid of 2 row(s), 2 column(s): t3.png, t6.png\n";
    // The arguments, the cell map, the canvas and what the report ends with.
    const std::tuple<const char*, std::string, const char*, std::string> cases[] = {
        {"-sources t*.png -grid 0 5",
         "        t1.png   t2.png   t3.png   t4.png   t5.png\n"
         "        t6.png   t7.png   t8.png   t9.png   t10.png\n"
         "        t11.png  t12.png  (empty)  (empty)  (empty)\n",
         "50x30", ""},
        {"-sources t?.png -grid 0 4 -order Row-Snake -startpos top-right",
         "        t4.png   t3.png   t2.png   t1.png\n"
         "        t5.png   t6.png   t7.png   t8.png\n"
         "        (empty)  (empty)  (empty)  t9.png\n",
         "40x30", ""},
        {"-sources t?.png -grid 2 0 -order col-snake -startpos bottom-left",
         "        t2.png  t3.png  t6.png  t7.png  (empty)\n"
         "        t1.png  t4.png  t5.png  t8.png  t9.png\n",
         "50x20", ""},
        {"-row t1.png None bad.png -row t3.png -startpos bottom-right",
         "        (empty)  (empty)  t3.png\n"
         "        bad.png  (empty)  t1.png\n",
         "20x20", ""},
        {"-sources t1{col}.png", "        t10.png  t11.png  t12.png\n", "30x10", ""},
        {"-sources t{index}.png -index 10 -grid 0 2",
         "        t10.png  t11.png\n"
         "        t12.png  (empty)\n",
         "20x20", ""},
        {"-row t1.png t2.png t3.png -row t4.png t5.png t6.png -grid 2 2",
         "        t1.png  t2.png\n"
         "        t4.png  t5.png\n",
         "20x20", "    Input files without a cell: t3.png, t6.png\n"},
    };
    for (const auto& [szArguments, strMap, szCanvas, strTail] : cases) {
        SCOPED_TRACE(szArguments);
        const TesscliRun run = Run(Words(szArguments + std::string(" -out out.png -dryrun")));
        EXPECT_EQ(run.exitStatus, 0) << run.standardOutput;
        EXPECT_EQ(DryRunReport(run), Report(strMap, szCanvas) + strTail + "\n");
        EXPECT_EQ(run.standardOutput.find(strLeftOut) != std::string::npos, !strTail.empty()) << run.standardOutput;
        EXPECT_FALSE(fs::exists(dir / "out.png"));
    }
    EXPECT_EQ(Run(Words("-row bad.png -out out.png")).exitStatus, 5) << "the tile cannot be decoded";
    // A format without a streaming writer is planned with the whole canvas: 8 bytes a pixel.
    Save(CoordinateImage(2000, 1000, 1), dir / "wide.png");
    const TesscliRun run = Run({"-row", "wide.png", "wide.png", "-out", "out.bmp", "-dryrun"});
    EXPECT_THAT(DryRunReport(run),
                HasSubstr("    Written by: ImageMagick, from the whole canvas\n    Estimated peak memory: 82 MiB\n"));
}

TEST_F(ArrangeTest, AutoOrientTurnsImagesUprightBeforeTheLayout)
{
    const std::pair<Magick::OrientationType, double> turns[] = {
        {Magick::BottomRightOrientation, 180}, {Magick::RightTopOrientation, 90}, {Magick::LeftBottomOrientation, 270}};
    std::vector<std::string> arguments{"-row"};
    for (unsigned n = 0; n < 3; ++n) {
        Magick::Image image = CoordinateImage(20, 10, n + 1);
        image.orientation(turns[n].first);
        Save(image, dir / ("o" + std::to_string(n) + ".tif"));
        arguments.push_back("o" + std::to_string(n) + ".tif");
    }
    arguments.insert(arguments.end(), {"-out", "out.png"});
    ASSERT_EQ(Run(arguments).exitStatus, 0);
    EXPECT_EQ(Magick::Image(dir / "out.png").size(), Magick::Geometry(60, 10)) << "off unless asked for";

    arguments.push_back("-autoorient");
    const TesscliRun run = Run(arguments);
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput;
    const Magick::Image image((dir / "out.png"));
    ASSERT_EQ(image.size(), Magick::Geometry(40, 20)) << "orientations 6 and 8 swap width and height";
    int nX = 0;
    for (unsigned n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        Magick::Image expected = CoordinateImage(20, 10, n + 1);
        expected.rotate(turns[n].second);
        Magick::Image placed = image;
        placed.crop(Magick::Geometry(expected.columns(), expected.rows(), nX, 0));
        ExpectSamePixels(expected, placed);
        nX += static_cast<int>(expected.columns());
    }
}

TEST_F(ArrangeTest, OutputFileIsCheckedBeforeAnyTileIsRead)
{
    std::ofstream(dir / "bad.png") << "not an image: reading it would fail with another message";
    std::ofstream(dir / "out.xyz") << "old";
    fs::create_directory(dir.Path() / "folder.png");
    const std::pair<const char*, std::string> cases[] = {
        {"out.xyz", "No image writer knows the extension 'xyz' of the output file " + (dir / "out.xyz")},
        {"folder.png",
         "The output file " + (dir / "folder.png") + " is a directory (extension 'png'); name an image file instead"},
        {"noextension", "The output file " + (dir / "noextension")
                            + " has no extension (such as '.png') to choose the image format by"},
    };
    for (const auto& [szOut, strMessage] : cases) {
        for (const char* szDryRun : {"", "-dryrun"}) {
            SCOPED_TRACE(std::string(szOut) + " " + szDryRun);
            const TesscliRun run = Run(Words(std::string("-row bad.png t1.png -out ") + szOut + " " + szDryRun));
            EXPECT_EQ(run.exitStatus, 5);
            EXPECT_THAT(run.standardOutput,
                        EndsWith("\nAn error occurred while checking the output file:\n    " + strMessage + "\n\n"));
            EXPECT_THAT(run.standardOutput, Not(HasSubstr("Pre-loading")));
        }
    }
    EXPECT_EQ(ReadFile(dir / "out.xyz"), "old");
    EXPECT_TRUE(fs::is_directory(dir.Path() / "folder.png"));
}
