#include "TestSupport.h"
#include "misc/NaturalOrder.h"
#include "misc/Object.h"
#include "misc/Path.h"

using TestSupport::RgbOf;

TEST(Color, SetColorChecksRangesAndKeepsOldValueOnFailure)
{
    Misc::Color color;
    EXPECT_FALSE(color.IsValid());
    ASSERT_TRUE(color.SetColor(1, 2, 3, 1.0f));
    EXPECT_FALSE(color.SetColor(256, 0, 0, 1.0f));
    EXPECT_FALSE(color.SetColor(0, 0, 0, 1.5f));
    EXPECT_FALSE(color.SetColor(0, 0, 0, -0.1f));
    EXPECT_EQ(RgbOf(color), "1,2,3");
    EXPECT_TRUE(color.SetColor(255, 255, 255, 0.0f));
}

TEST(Color, ParsesTolerantHexText)
{
    struct Case
    {
        const char* text;
        const char* rgb;
    };
    const Case cases[] = {
        {"#FF8000", "255,128,0"}, {"FF8000", "255,128,0"}, {"ff#80#00", "255,128,0"}, {"", "0,0,0"},
        {"#12", "18,0,0"},        {"#zz10ff", "0,16,255"}, {"#0000ffAB", "0,0,255"},  {"#-1ffff", "0,255,255"},
        {"#ff-f+f", "255,0,15"},
    };
    for (const auto& c : cases) {
        Misc::Color color{std::string(c.text)};
        EXPECT_TRUE(color.IsValid()) << c.text;
        EXPECT_EQ(RgbOf(color), c.rgb) << c.text;
    }
}

TEST(CombinePath, JoinsWithExactlyOneSeparator)
{
    EXPECT_EQ(Misc::CombinePath("dir", "a.png"), "dir/a.png");
    EXPECT_EQ(Misc::CombinePath("dir/", "a.png"), "dir/a.png");
    EXPECT_EQ(Misc::CombinePath("", "a.png"), "a.png");
    EXPECT_EQ(Misc::CombinePath("dir", ""), "dir");
}

TEST(Object, LastErrorIsReplacedAndFormatted)
{
    Object object;
    object.SetLastError("first %d", 1);
    object.SetLastError("%s took %02i:%02i", "run", 1, 5);
    EXPECT_EQ(object.GetLastError(), "run took 01:05");
    object.SetLastError("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(object.GetLastError().size(), 5000u);
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
