#include "TestSupport.h"
#include "collectors/DataCollector_CmdLine.h"
#include "data/DataSet.h"
#include "data/SourcesRegEx.h"

namespace fs = std::filesystem;
using Data::DataSet;
using TestSupport::Layout;

namespace {
struct SetterCase
{
    std::function<bool(DataSet&)> call;
    const char* message; // last error afterwards: empty when the value is accepted
    unsigned int flag;
};

const std::string kWorkDir = fs::current_path().string();

// Parses and validates the arguments, as the driver does, before collecting them.
bool CollectCommandLine(const std::vector<std::string>& arguments, DataSet& dataSet)
{
    TestSupport::ArgumentTable cmdLine(arguments);
    if (!cmdLine.Parse() || !cmdLine.Validate()) {
        dataSet.SetLastError("%s", cmdLine.GetLastError().c_str());
        return false;
    }
    Collectors::DataCollector_CmdLine collector(cmdLine);
    return dataSet.Collect(&collector);
}

// A scratch directory of files whose names are all that the filter looks at.
class SourceDirectory : public ::testing::Test
{
protected:
    void Touch(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            std::ofstream(m_dir.Path() / name) << "x";
    }
    std::string Filter(const char* pattern) const { return m_dir / pattern; }

    TestSupport::Sandbox m_dir;
};

// The entries given, arranged with the numbers they carry deciding which placement applies.
std::string Arranged(const std::vector<Data::InputFile>& entries, int nColumns, int nRows, int nOrder = 0)
{
    Data::DataSetInputFiles files;
    bool bRows = false, bColumns = false, bIndexes = false;
    for (const Data::InputFile& entry : entries) {
        files.Add(entry);
        bRows |= entry.row >= 0;
        bColumns |= entry.column >= 0;
        bIndexes |= entry.index >= 0;
    }
    return files.Arrange(nColumns, nRows, bRows, bColumns, bIndexes, nOrder) ? Layout(files) : files.GetLastError();
}
} // namespace

TEST(DataSetSetters, AcceptOrRefuseAtTheirBounds)
{
    using D = DataSet;
    const SetterCase cases[] = {
        {[](D& d) { return d.SetGridSize(0, 3); }, "", D::FieldGridSize},
        {[](D& d) { return d.SetGridSize(4, 0); }, "", D::FieldGridSize},
        {[](D& d) { return d.SetGridSize(1, 2); }, "", D::FieldGridSize},
        {[](D& d) { return d.SetGridSize(0, 0); }, "The grid size may not be 0x0", D::FieldGridSize},
        {[](D& d) { return d.SetGridSize(1, 1); }, "The grid size may not be 1x1", D::FieldGridSize},
        {[](D& d) { return d.SetGridSize(-1, 2); }, "The grid sizes may not be below 0 (2x-1)", D::FieldGridSize},
        {[](D& d) { return d.SetRegionSize(5, 5); }, "", D::FieldRegionSize},
        {[](D& d) { return d.SetRegionSize(4, 10); }, "The region sizes may not be below 5 (4x10)", D::FieldRegionSize},
        {[](D& d) { return d.SetRegionSize(10, 4); }, "The region sizes may not be below 5 (10x4)", D::FieldRegionSize},
        {[](D& d) { return d.SetOverlap(1); }, "", D::FieldOverlap},
        {[](D& d) { return d.SetOverlap(0); }, "The overlap value is invalid (0)", D::FieldOverlap},
        {[](D& d) { return d.SetQuality(0); }, "", D::FieldQuality},
        {[](D& d) { return d.SetQuality(100); }, "", D::FieldQuality},
        {[](D& d) { return d.SetQuality(101); }, "The image quality value is invalid (101)", D::FieldQuality},
        {[](D& d) { return d.SetQuality(-1); }, "The image quality value is invalid (-1)", D::FieldQuality},
        {[](D& d) { return d.SetGridStartPosition(3); }, "", D::FieldGridStartPosition},
        {[](D& d) { return d.SetGridStartPosition(4); }, "The grid start position is invalid (4)",
         D::FieldGridStartPosition},
        {[](D& d) { return d.SetGridOrder(4); }, "The grid order is invalid (4)", D::FieldGridOrder},
        {[](D& d) { return d.SetCompression(0); }, "The compression type is invalid (0)", D::FieldCompression},
        {[](D& d) { return d.SetCompression(13); }, "", D::FieldCompression},
        {[](D& d) { return d.SetTransparentColor(0, 256, 0); }, "The transparent color is invalid",
         D::FieldTransparentColor},
        {[](D& d) { return d.AddAttribute("Comment", ""); }, "The attribute (Comment) is invalid", D::FieldAttributes},
        {[](D& d) { return d.AddAttribute("", "x"); }, "The attribute () is invalid", D::FieldAttributes},
        {[](D& d) { return d.AddExtraData("", "key", "v"); }, "The extra data token (key) is invalid",
         D::FieldExtraData},
        {[](D& d) { return d.SetOutputFile(""); }, "Invalid output file ()", D::FieldOutputFile},
        {[](D& d) { return d.SetSourceDirectory(""); }, "Invalid source directory ()", D::FieldSourceDirectory},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        DataSet dataSet;
        const bool bAccepted = std::string(cases[n].message).empty();
        EXPECT_EQ(cases[n].call(dataSet), bAccepted) << "case " << n;
        EXPECT_EQ(dataSet.GetLastError(), cases[n].message) << "case " << n;
        EXPECT_EQ(dataSet.GetSetFields(), bAccepted ? cases[n].flag : 0u)
            << "case " << n << ": only an accepted value sets its flag";
    }
}

TEST(CommandLineCollector, FileSwitchesBecomeRowsAndColumns)
{
    // A source directory applies to relative names even when it is given later; "~" is not expanded
    // and only a whole name is an empty-cell word.
    const std::pair<const char*, const char*> cases[] = {
        {"-row a.png b.png -row c.png", "./a.png@0,0 ./b.png@0,1 ./c.png@1,0"},
        {"-col a.png b.png -col nONe", "./a.png@0,0 ./b.png@1,0 <empty>@0,1"},
        {"-row a.png KEEPEMPTY /abs/b.png dir/None ~/c.png -sourcedir /src/",
         "/src/a.png@0,0 <empty>@0,1 /abs/b.png@0,2 /src/dir/None@0,3 /src/~/c.png@0,4"},
    };
    for (const auto& [szArguments, szLayout] : cases) {
        DataSet dataSet;
        ASSERT_TRUE(CollectCommandLine(TestSupport::Words(szArguments), dataSet)) << dataSet.GetLastError();
        EXPECT_EQ(Layout(dataSet.GetInputFiles(), kWorkDir), szLayout) << szArguments;
    }
}

TEST(CommandLineCollector, FirstFailingStepStopsWithTheSetterMessage)
{
    // The refused value, and a later step whose flag stays unset.
    const std::tuple<const char*, const char*, DataSet::Field> cases[] = {
        {"-quality 150 -attribute a b", "The image quality value is invalid (150)", DataSet::FieldAttributes},
        {"-overlap 0 -grid 1 1", "The grid size may not be 1x1", DataSet::FieldOverlap},
        {"-bgcolor 0 -1 0 -compression rle", "The background color is invalid", DataSet::FieldCompression},
        {"-regionsize 4 10 -stack", "The region sizes may not be below 5 (4x10)", DataSet::FieldStackImages},
        {"-sources x{index}.png -index 7 3", "The index restrictions are invalid (7 - 3)", DataSet::FieldGridSize},
    };
    for (const auto& [szArguments, szMessage, unsetField] : cases) {
        DataSet dataSet;
        EXPECT_FALSE(CollectCommandLine(TestSupport::Words(szArguments), dataSet)) << szArguments;
        EXPECT_EQ(dataSet.GetLastError(), szMessage);
        EXPECT_FALSE(dataSet.IsSet(unsetField)) << szArguments;
    }
}

TEST(SourcesFilter, MatchesUnanchoredAndReadsNumbersByPlaceholderRank)
{
    // What each case shows, the filter, a name, whether it matches and the row, column and index read.
    const std::tuple<const char*, const char*, const char*, bool, std::vector<int>> cases[] = {
        {"? may be nothing", "a?.png", "a.png", true, {-1, -1, -1}},
        {"? may be one", "a?.png", "ab.png", true, {-1, -1, -1}},
        {"? is not two", "a?.png", "abc.png", false, {-1, -1, -1}},
        {"??? is up to three", "a???.png", "abcd.png", true, {-1, -1, -1}},
        {"??? is not four", "a???.png", "abcde.png", false, {-1, -1, -1}},
        {"a long run of ? is matched, not given up",
         "???????????????????????img_r{row}_c{col}",
         "img_r3_c7.tif",
         true,
         {3, 7, -1}},
        {"unanchored", "a?.png", "xa1.png.bak", true, {-1, -1, -1}},
        {"dot is literal", "a.png", "aXpng", false, {-1, -1, -1}},
        {"brackets, plus, equals literal", "[a]+=(b)-*", "[a]+=(b)-1", true, {-1, -1, -1}},
        {"row then col", "img_r{row}_c{col}.*", "img_r3_c07.tif", true, {3, 7, -1}},
        {"ranks follow positions", "{index}-{col}x{row}", "5-12x007", true, {7, 12, 5}},
        {"huge number saturates", "n{index}", "n99999999999999", true, {-1, -1, 2147483647}},
        {"placeholder needs digits", "r{row}.png", "rX.png", false, {-1, -1, -1}},
        {"capitals match literally", "{ROW}_{col}", "{ROW}_4", true, {-1, 4, -1}},
        {"capitals are no placeholder", "{ROW}.png", "1.png", false, {-1, -1, -1}},
        {"case-sensitive", "IMG*.png", "img1.png", false, {-1, -1, -1}},
        {"caret anchors", "^img{index}", "ximg3", false, {-1, -1, -1}},
        {"dollar anchors", "img{index}.png$", "img3.png.bak", false, {-1, -1, -1}},
        {"alternation", "cat|dog", "hotdog.png", true, {-1, -1, -1}},
        {"backslash escape", "\\d{index}", "x12", true, {-1, -1, 2}},
        {"an escaped run start stays escaped", "a\\??b", "a.xb", true, {-1, -1, -1}},
    };
    for (const auto& [szName, szPattern, szFile, bMatches, numbers] : cases) {
        SCOPED_TRACE(szName);
        Data::SourcesRegEx regEx;
        ASSERT_TRUE(regEx.SetFilter(szPattern));
        int nRow = 5, nColumn = 5, nIndex = 5;
        EXPECT_EQ(regEx.Match(szFile, nRow, nColumn, nIndex) == Data::SourcesRegEx::MatchResult::Matched, bMatches);
        EXPECT_EQ(std::vector<int>({nRow, nColumn, nIndex}), numbers);
    }
    for (const char* pattern : {"{row}_{row}.png", "{col}{index}{col}", "a\\", "img\\k.png"}) {
        Data::SourcesRegEx regEx;
        EXPECT_FALSE(regEx.SetFilter(pattern)) << pattern;
    }
}

TEST_F(SourceDirectory, ListsVisibleFilesInNaturalOrderWithinTheIndexRange)
{
    Touch({"s9.png", "s4.png", ".s6.png", "s5.png", "s10.png", "other.png"});
    fs::create_directory(m_dir.Path() / "s7.png");
    // The first and last index, -1 for none, both inclusive.
    const std::tuple<int, int, const char*> cases[] = {
        {-1, -1, "./s4.png#4 ./s5.png#5 ./s9.png#9 ./s10.png#10"},
        {5, -1, "./s5.png#5 ./s9.png#9 ./s10.png#10"},
        {-1, 4, "./s4.png#4"},
        {4, 5, "./s4.png#4 ./s5.png#5"},
        {5, 5, "./s5.png#5"},
    };
    for (const auto& [nFirst, nLast, szFiles] : cases) {
        Data::DataSet dataSet;
        ASSERT_TRUE(dataSet.SetSources(Filter("s{index}.png"), nFirst, nLast));
        EXPECT_EQ(Layout(dataSet.GetInputFiles(), m_dir.Path()), szFiles) << nFirst << " - " << nLast;
    }

    Data::DataSet noIndex;
    EXPECT_TRUE(noIndex.SetSources(Filter("*.png"), 1, -1)) << "no match is left to the completeness check";
    EXPECT_FALSE(noIndex.IsSet(Data::DataSet::FieldInputFiles)) << "files without an index fail a lower bound";
}

TEST_F(SourceDirectory, FailuresCarryTheirMessages)
{
    Touch({"a1.png"});
    fs::create_directory(m_dir.Path() / "sub");
    const std::string strSub = m_dir / "sub";
    // Twelve stars before an "a" each: the backtracking exhausts the matcher long before it could
    // tell that this name does not match.
    const std::string strLongName = "c" + std::string(60, 'a');
    std::ofstream(m_dir.Path() / strLongName) << "x";
    std::string strGreedy;
    for (int n = 0; n < 12; ++n)
        strGreedy += "*a";
    // What each case shows, the filter, the first and last index and the message.
    const std::tuple<const char*, std::string, int, int, std::string> cases[] = {
        {"last below first", Filter("a{index}.png"), 7, 3, "The index restrictions are invalid (7 - 3)"},
        {"bound below -1", Filter("a{index}.png"), -2, -1, "The index restrictions are invalid (-2 - -1)"},
        {"range checked before listing", strSub + "/x", 7, 3, "The index restrictions are invalid (7 - 3)"},
        {"directory without files", strSub + "/*", -1, -1,
         "The source directory doesn't contain any files (" + strSub + ")"},
        {"missing directory", strSub + "/no/*", -1, -1,
         "The source directory doesn't contain any files (" + strSub + "/no)"},
        {"repeated placeholder", Filter("a{row}{row}"), -1, -1, "The sources filter is invalid (a{row}{row})"},
        {"nothing after the separator", m_dir.Path().string() + "/", -1, -1, "The sources filter is invalid ()"},
        {"matcher gives up", Filter((strGreedy + "c").c_str()), -1, -1,
         "The sources filter could not be matched against " + strLongName + " (match limit exceeded)"},
    };
    for (const auto& [szName, strFilter, nFirst, nLast, strMessage] : cases) {
        Data::DataSet dataSet;
        EXPECT_FALSE(dataSet.SetSources(strFilter, nFirst, nLast)) << szName;
        EXPECT_EQ(dataSet.GetLastError(), strMessage) << szName;
    }
}

TEST_F(SourceDirectory, RelativeFilterUsesWorkingDirectoryNotSourceDirectory)
{
    Touch({"img_r3_c9.png", "img_r5_c1.png", "img_r3_c7.png"});
    const fs::path previous = fs::current_path();
    fs::current_path(m_dir.Path());
    Data::DataSet dataSet;
    dataSet.SetSourceDirectory("/elsewhere");
    const bool bResult = dataSet.SetSources("img_r{row}_c{col}.png", -1, -1);
    fs::current_path(previous);
    ASSERT_TRUE(bResult);
    ASSERT_TRUE(dataSet.ArrangeInputFiles());
    EXPECT_EQ(Layout(dataSet.GetInputFiles(), m_dir.Path()),
              "./img_r3_c7.png@0,0 ./img_r3_c9.png@0,1 ./img_r5_c1.png@1,0");
}

// Indexes are dropped once the entries are placed.
TEST(ArrangeInputFiles, PlacesEntriesAndClosesGaps)
{
    EXPECT_EQ(Arranged({{"c", 4, 2}, {"a", 0, 5}, {"b", 0, 1}, {"d", 9, 0}}, 0, 0), "b@0,0 a@0,1 c@1,0 d@2,0");
    EXPECT_EQ(Arranged({{"a", 2, 2}, {"b", 2, 2}}, 0, 0), "a@0,0 b@0,1") << "duplicates stay as neighbours";
    EXPECT_EQ(Arranged({{"x", -1, 2}, {"y", -1, 1}, {"z", -1, 2}}, 0, 0), "y@0,0 x@0,1 z@1,0") << "runs become rows";
    EXPECT_EQ(Arranged({{"b", 1, -1, 9}, {"a", 1, -1, 2}, {"c", 0, -1, 5}, {"d", 1, -1, 4}}, 0, 0),
              "c@0,0 a@1,0 d@1,1 b@1,2");
    EXPECT_EQ(Arranged({{"c", -1, -1, 3}, {"a", -1, -1, 1}, {"b", -1, -1, 2}}, 0, 2), "a@0,0 b@0,1 c@1,0");
    EXPECT_EQ(Arranged({}, 2, 0), "");
    EXPECT_EQ(Arranged({{"a"}}, 0, 0), "The grid size could not be calculated automatically");
}

// Column-first order; the dry runs show the others.
TEST(ArrangeInputFiles, SevenFlatFilesFillTheComputedDimension)
{
    // Columns and rows asked for, the layout, and the columns and rows it takes.
    const std::tuple<int, int, const char*, std::pair<int, int>> cases[] = {
        {2, 0, "0@0,0 4@0,1 1@1,0 5@1,1 2@2,0 6@2,1 3@3,0", {2, 4}},
        {0, 2, "0@0,0 2@0,1 4@0,2 6@0,3 1@1,0 3@1,1 5@1,2", {4, 2}},
    };
    for (const auto& [nColumns, nRows, szLayout, columnsAndRows] : cases) {
        Data::DataSetInputFiles files;
        for (int i = 0; i < 7; ++i)
            files.Add({std::to_string(i)});
        ASSERT_TRUE(files.Arrange(nColumns, nRows, false, false, false, 1));
        EXPECT_EQ(Layout(files), szLayout) << nColumns << "x" << nRows;
        EXPECT_EQ(files.GetGridDimensions(), columnsAndRows) << szLayout;
    }
}
