#include "data/DataSet.h"
#include "data/DataSetInputFiles.h"
#include "data/SourcesRegEx.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

TEST(SourcesFilter, TranslatesPatternsAndRanksPlaceholders)
{
    struct Case { const char* name; const char* pattern; const char* expression; int row, col, index; };
    const Case cases[] = {
        {"row then col", "img_r{row}_c{col}.*", "img_r(\\d+)_c(\\d+)\\..*", 0, 1, -1},
        {"any order", "{index}-{col}x{row}.png", "(\\d+)\\-(\\d+)x(\\d+)\\.png", 2, 1, 0},
        {"capitals are no placeholder", "{ROW}_{col}", "\\{ROW\\}_(\\d+)", -1, 0, -1},
        {"brackets, plus, equals escaped", "[a]+=(b).png", "\\[a\\]\\+\\=\\(b\\)\\.png", -1, -1, -1},
        {"regex syntax kept", "^a|b$\\w?", "^a|b$\\w.?", -1, -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Data::SourcesRegEx::ToExpression(c.pattern), c.expression) << c.name;
        Data::SourcesRegEx regEx;
        ASSERT_TRUE(regEx.SetFilter(c.pattern)) << c.name;
        EXPECT_EQ(regEx.GetRowGroup(), c.row) << c.name;
        EXPECT_EQ(regEx.GetColumnGroup(), c.col) << c.name;
        EXPECT_EQ(regEx.GetIndexGroup(), c.index) << c.name;
    }
}

TEST(SourcesFilter, RefusesRepeatedPlaceholdersAndBrokenExpressions)
{
    for (const char* pattern : {"{row}_{row}.png", "{col}{index}{col}", "{index}{index}", "a\\", "img\\k.png"}) {
        Data::SourcesRegEx regEx;
        EXPECT_FALSE(regEx.SetFilter(pattern)) << pattern;
        int nRow = 0, nColumn = 0, nIndex = 0;
        EXPECT_FALSE(regEx.Match("anything", nRow, nColumn, nIndex)) << pattern;
    }
}

TEST(SourcesFilter, MatchesUnanchoredAndReadsNumbers)
{
    struct Case { const char* name; const char* pattern; const char* file; bool matches; int row, col, index; };
    const Case cases[] = {
        {"? may be nothing", "a?.png", "a.png", true, -1, -1, -1},
        {"? may be one", "a?.png", "ab.png", true, -1, -1, -1},
        {"? is not two", "a?.png", "abc.png", false, -1, -1, -1},
        {"unanchored", "a?.png", "xa1.png.bak", true, -1, -1, -1},
        {"dot is literal", "a.png", "aXpng", false, -1, -1, -1},
        {"numbers by rank", "{col}_{row}", "tile_12_007.tif", true, 7, 12, -1},
        {"index with leading zeros", "shot{index}.jpg", "shot0042.jpg", true, -1, -1, 42},
        {"huge number saturates", "n{index}", "n99999999999999", true, -1, -1, 2147483647},
        {"placeholder needs digits", "r{row}.png", "rX.png", false, -1, -1, -1},
        {"capitals match literally", "{ROW}.png", "{ROW}.png", true, -1, -1, -1},
        {"capitals do not match digits", "{ROW}.png", "1.png", false, -1, -1, -1},
        {"case-sensitive", "IMG*.png", "img1.png", false, -1, -1, -1},
        {"caret anchors", "^img{index}", "ximg3", false, -1, -1, -1},
        {"dollar anchors", "img{index}.png$", "img3.png.bak", false, -1, -1, -1},
        {"alternation", "cat|dog", "hotdog.png", true, -1, -1, -1},
    };
    for (const auto& c : cases) {
        Data::SourcesRegEx regEx;
        ASSERT_TRUE(regEx.SetFilter(c.pattern)) << c.name;
        int nRow = 5, nColumn = 5, nIndex = 5;
        EXPECT_EQ(regEx.Match(c.file, nRow, nColumn, nIndex), c.matches) << c.name;
        EXPECT_EQ(nRow, c.row) << c.name;
        EXPECT_EQ(nColumn, c.col) << c.name;
        EXPECT_EQ(nIndex, c.index) << c.name;
    }
}

namespace {
// A scratch directory of empty files; names are all that the filter looks at.
class SourceDirectory : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("tessara_sources_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "sub");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void Touch(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            std::ofstream(m_dir / name) << "x";
    }
    std::string Filter(const char* pattern) const { return (m_dir / pattern).string(); }
    std::vector<std::string> Names(const Data::DataSet& dataSet) const
    {
        std::vector<std::string> names;
        for (const auto& entry : dataSet.GetInputFiles().GetEntries())
            names.push_back(fs::path(entry.fileName).filename().string());
        return names;
    }

    fs::path m_dir;
};
} // namespace

TEST_F(SourceDirectory, IndexRangesKeepTheFilesInside)
{
    Touch({"s1.png", "s4.png", "s5.png", "s9.png", "other.png"});
    struct Case { const char* name; int first, last; std::vector<std::string> files; };
    const Case cases[] = {
        {"no bounds", -1, -1, {"s1.png", "s4.png", "s5.png", "s9.png"}},
        {"lower bound only", 5, -1, {"s5.png", "s9.png"}},
        {"upper bound only", -1, 4, {"s1.png", "s4.png"}},
        {"both inclusive", 4, 5, {"s4.png", "s5.png"}},
        {"single index", 9, 9, {"s9.png"}},
    };
    for (const auto& c : cases) {
        Data::DataSet dataSet;
        ASSERT_TRUE(dataSet.SetSources(Filter("s{index}.png"), c.first, c.last)) << c.name;
        auto names = Names(dataSet);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.files) << c.name;
    }
}

TEST_F(SourceDirectory, FailuresCarryTheirMessages)
{
    Touch({"a1.png"});
    const std::string strEmptyDir = (m_dir / "sub").string();
    struct Case { const char* name; std::string filter; int first, last; std::string message; };
    const Case cases[] = {
        {"last below first", Filter("a{index}.png"), 7, 3, "The index restrictions are invalid (7 - 3)"},
        {"bound below -1", Filter("a{index}.png"), -2, -1, "The index restrictions are invalid (-2 - -1)"},
        {"range checked before listing", strEmptyDir + "/x", 7, 3, "The index restrictions are invalid (7 - 3)"},
        {"directory of subdirectories only", strEmptyDir + "/*", -1, -1,
         "The source directory doesn't contain any files (" + strEmptyDir + ")"},
        {"missing directory", (m_dir / "nope" / "*").string(), -1, -1,
         "The source directory doesn't contain any files (" + (m_dir / "nope").string() + ")"},
        {"repeated placeholder", Filter("a{row}{row}"), -1, -1, "The sources filter is invalid (a{row}{row})"},
        {"trailing separator", m_dir.string() + "/", -1, -1, "The sources filter is invalid ()"},
    };
    for (const auto& c : cases) {
        Data::DataSet dataSet;
        EXPECT_FALSE(dataSet.SetSources(c.filter, c.first, c.last)) << c.name;
        EXPECT_EQ(dataSet.GetLastError(), c.message) << c.name;
        EXPECT_EQ(dataSet.GetInputFiles().GetCount(), 0u) << c.name;
    }
}

TEST_F(SourceDirectory, ListsVisibleFilesInByteOrder)
{
    Touch({"b.png", ".hidden.png", "B.png", "a.png", "a10.png", "a2.png"});
    Data::DataSet dataSet;
    ASSERT_TRUE(dataSet.SetSources(Filter("*.png"), -1, -1));
    EXPECT_EQ(Names(dataSet), (std::vector<std::string>{"B.png", "a.png", "a10.png", "a2.png", "b.png"}));
    EXPECT_TRUE(fs::path(dataSet.GetInputFiles().GetEntries()[0].fileName).is_absolute());

    Data::DataSet noMatch;
    EXPECT_TRUE(noMatch.SetSources(Filter("*.jpg"), -1, -1)) << "no match is left to the completeness check";
    EXPECT_FALSE(noMatch.IsSet(Data::DataSet::Flag_InputFiles));
}

TEST_F(SourceDirectory, RelativeFilterUsesWorkingDirectoryNotSourceDirectory)
{
    Touch({"r0.png"});
    const fs::path previous = fs::current_path();
    fs::current_path(m_dir);
    Data::DataSet dataSet;
    dataSet.SetSourceDirectory("/elsewhere");
    const bool bResult = dataSet.SetSources("r{row}.png", -1, -1);
    fs::current_path(previous);
    ASSERT_TRUE(bResult);
    ASSERT_EQ(dataSet.GetInputFiles().GetCount(), 1u);
    EXPECT_EQ(dataSet.GetInputFiles().GetEntries()[0].fileName, (m_dir / "r0.png").string());
    EXPECT_EQ(dataSet.GetInputFiles().GetEntries()[0].row, 0);
}

TEST_F(SourceDirectory, PlaceholdersBecomeCompactPositions)
{
    Touch({"img_r3_c9.png", "img_r5_c1.png", "img_r3_c7.png"});
    Data::DataSet dataSet;
    ASSERT_TRUE(dataSet.SetSources(Filter("img_r{row}_c{col}.png"), -1, -1));
    ASSERT_TRUE(dataSet.ArrangeInputFiles());
    ASSERT_NE(dataSet.FindInputFile(0, 1), nullptr);
    EXPECT_EQ(fs::path(dataSet.FindInputFile(0, 0)->fileName).filename(), "img_r3_c7.png");
    EXPECT_EQ(fs::path(dataSet.FindInputFile(0, 1)->fileName).filename(), "img_r3_c9.png");
    EXPECT_EQ(fs::path(dataSet.FindInputFile(1, 0)->fileName).filename(), "img_r5_c1.png");
}

namespace {
struct Placed { std::string name; int row; int column; };

bool operator==(const Placed& a, const Placed& b)
{
    return a.name == b.name && a.row == b.row && a.column == b.column;
}

std::ostream& operator<<(std::ostream& out, const Placed& p)
{
    return out << p.name << "@" << p.row << "," << p.column;
}

struct Entry { const char* name; int row, column, index; };
} // namespace

TEST(ArrangeInputFiles, PlacesEntriesAndClosesGaps)
{
    struct Case
    {
        const char* name;
        std::vector<Entry> entries;
        int columns, rows;
        bool hasRows, hasColumns, hasIndexes;
        int order;
        std::vector<Placed> expected;
    };
    const Case cases[] = {
        {"explicit numbers with gaps", {{"c", 4, 2, -1}, {"a", 0, 5, -1}, {"b", 0, 1, -1}, {"d", 9, 0, -1}}, 0, 0,
         true, true, false, 0, {{"b", 0, 0}, {"a", 0, 1}, {"c", 1, 0}, {"d", 2, 0}}},
        {"col only: runs become rows", {{"a", -1, 0, -1}, {"b", -1, 0, -1}, {"c", -1, 1, -1}}, 0, 0,
         false, true, false, 0, {{"a", 0, 0}, {"c", 0, 1}, {"b", 1, 0}}},
        {"col only presorted", {{"x", -1, 2, -1}, {"y", -1, 1, -1}, {"z", -1, 2, -1}}, 0, 0,
         false, true, false, 0, {{"y", 0, 0}, {"x", 0, 1}, {"z", 1, 0}}},
        {"row and index", {{"b", 1, -1, 9}, {"a", 1, -1, 2}, {"c", 0, -1, 5}, {"d", 1, -1, 4}}, 0, 0,
         true, false, true, 0, {{"c", 0, 0}, {"a", 1, 0}, {"d", 1, 1}, {"b", 1, 2}}},
        {"index only with rows given", {{"c", -1, -1, 3}, {"a", -1, -1, 1}, {"b", -1, -1, 2}}, 0, 2,
         false, false, true, 0, {{"a", 0, 0}, {"b", 0, 1}, {"c", 1, 0}}},
        {"duplicates stay as neighbours", {{"a", 2, 2, -1}, {"b", 2, 2, -1}}, 0, 0,
         true, true, false, 0, {{"a", 0, 0}, {"b", 0, 1}}},
        {"empty list", {}, 2, 0, false, false, false, 0, {}},
    };
    for (const auto& c : cases) {
        Data::DataSetInputFiles files;
        for (const Entry& e : c.entries)
            files.Add({e.name, e.row, e.column, e.index, false});
        ASSERT_TRUE(files.Arrange(c.columns, c.rows, c.hasRows, c.hasColumns, c.hasIndexes, c.order)) << c.name;
        std::vector<Placed> placed;
        for (const auto& entry : files.GetEntries()) {
            placed.push_back({entry.fileName, entry.row, entry.column});
            EXPECT_EQ(entry.index, -1) << c.name;
        }
        EXPECT_EQ(placed, c.expected) << c.name;
    }
}

TEST(ArrangeInputFiles, FlatListsFollowTheGridOrder)
{
    struct Case { const char* name; int columns, rows, order; int expectedColumns, expectedRows; bool columnFirst; };
    const Case cases[] = {
        {"row-first, 3 columns", 3, 0, 0, 3, 3, false},
        {"row-first, 3 rows computes 3 columns", 0, 3, 0, 3, 3, false},
        {"col-first, 3 rows", 0, 3, 1, 3, 3, true},
        {"col-first, 2 columns computes 4 rows", 2, 0, 1, 2, 4, true},
        {"unknown order is row-first", 4, 0, 7, 4, 2, false},
    };
    const int nCount = 7;
    for (const auto& c : cases) {
        Data::DataSetInputFiles files;
        for (int i = 0; i < nCount; ++i)
            files.Add({std::to_string(i), -1, -1, -1, false});
        ASSERT_TRUE(files.Arrange(c.columns, c.rows, false, false, false, c.order)) << c.name;
        for (const auto& entry : files.GetEntries()) {
            const int i = std::stoi(entry.fileName);
            const int nLineLength = c.columnFirst ? c.expectedRows : c.expectedColumns;
            const int nExpectedRow = c.columnFirst ? i % nLineLength : i / nLineLength;
            const int nExpectedColumn = c.columnFirst ? i / nLineLength : i % nLineLength;
            EXPECT_EQ(entry.row, nExpectedRow) << c.name << " file " << i;
            EXPECT_EQ(entry.column, nExpectedColumn) << c.name << " file " << i;
        }
        EXPECT_EQ(files.GetGridDimensions(), std::make_pair(c.expectedColumns, c.expectedRows)) << c.name;
    }
}

TEST(ArrangeInputFiles, FlatListWithoutAnyDimensionFails)
{
    Data::DataSetInputFiles files;
    files.Add({"a", -1, -1, 4, false});
    files.Add({"b", -1, -1, 1, false});
    EXPECT_FALSE(files.Arrange(0, 0, false, false, true, 0));
    EXPECT_EQ(files.GetLastError(), "The grid size could not be calculated automatically");
    EXPECT_EQ(files.GetEntries()[0].fileName, "b") << "the pre-sort has still happened";
    EXPECT_EQ(files.GetEntries()[0].row, -1);
}
