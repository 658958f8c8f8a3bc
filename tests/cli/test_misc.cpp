#include "TestSupport.h"
#include "misc/NaturalOrder.h"
#include "misc/Object.h"
#include "misc/Path.h"

using TestSupport::RgbOf;

TEST(Color, ParsesTolerantHexText)
{
    // The text and the colour it stands for.
    const std::pair<const char*, const char*> cases[] = {
        {"#FF8000", "255,128,0"}, {"FF8000", "255,128,0"}, {"ff#80#00", "255,128,0"}, {"", "0,0,0"},
        {"#12", "18,0,0"},        {"#zz10ff", "0,16,255"}, {"#0000ffAB", "0,0,255"},  {"#-1ffff", "0,255,255"},
        {"#ff-f+f", "255,0,15"},
    };
    for (const auto& [szText, szRgb] : cases) {
        Misc::Color color{std::string(szText)};
        EXPECT_TRUE(color.IsValid()) << szText;
        EXPECT_EQ(RgbOf(color), szRgb) << szText;
    }
}

TEST(CombinePath, JoinsWithExactlyOneSeparator)
{
    EXPECT_EQ(Misc::CombinePath("dir", "a.png"), "dir/a.png");
    EXPECT_EQ(Misc::CombinePath("dir/", "a.png"), "dir/a.png");
    EXPECT_EQ(Misc::CombinePath("", "a.png"), "a.png");
    EXPECT_EQ(Misc::CombinePath("dir", ""), "dir");
}

TEST(Object, LastErrorIsReplacedWhateverItsLength)
{
    Object object;
    object.SetLastError("first");
    object.SetLastError("%s took %02i", std::string(5000, 'x').c_str(), 5);
    EXPECT_EQ(object.GetLastError(), std::string(5000, 'x') + " took 05");
}

TEST(NaturalLess, OrdersNamesAsPeopleReadThem)
{
    // Each list is in its expected order; any shuffle of it must sort back to it.
    const std::vector<std::vector<std::string>> lists = {
        {"tile1.png", "tile2.png", "tile10.png", "tile12.png", "tile100.png"},
        {"a2b3", "a2b10", "a10b1"},
        {"img007", "img08", "img9", "img010"},
        {"x0", "x00", "x000", "x1"},
        {"Apple", "apple", "banana", "Cherry"},
        {"Tile1", "tile1", "tile2", "TILE10"},
        {"a", "a0", "a1", "ab", "b"},
        {"n99999999999999999999", "n100000000000000000000"},
    };
    for (const auto& expected : lists) {
        std::vector<std::string> names(expected.rbegin(), expected.rend());
        std::sort(names.begin(), names.end(), Misc::NaturalLess);
        EXPECT_EQ(names, expected);
        for (const std::string& strName : expected)
            EXPECT_FALSE(Misc::NaturalLess(strName, strName)) << strName;
    }
}
