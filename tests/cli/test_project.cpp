#include "TestSupport.h"
#include "collectors/TessaraProject.h"
#include "collectors/TessaraSettings.h"

#include <fstream>
#include <tuple>

using Collectors::TessaraSettings;

namespace {
const char* const kRows = "<Rows><Row><File>a.png</File><File>None</File></Row></Rows>";

std::string Project(const std::string& strBody,
                    const std::string& strAttributes = "type=\"TessaraProject\" version=\"1\"")
{
    return "<Project " + strAttributes + ">" + strBody + "</Project>";
}

class ProjectFile : public ::testing::Test
{
protected:
    bool Load(const std::string& strContent)
    {
        const std::string strPath = m_dir / "p.tsp";
        std::ofstream(strPath, std::ios::trunc) << strContent;
        return m_project.LoadProject(strPath);
    }

    TestSupport::Sandbox m_dir;
    Collectors::TessaraProject m_project;
};
} // namespace

TEST_F(ProjectFile, RefusesEveryKindOfBadFileWithItsMessage)
{
    const std::pair<std::string, const char*> cases[] = {
        {"<Project type=\"TessaraProject\"", "Unable to load the project file"},
        {Project(std::string(kRows) + "<Settings/>") + "<Project/>", "Unable to load the project file"},
        {Project(std::string(kRows) + "<Settings/>") + "junk", "Unable to load the project file"},
        {"<Tessara type=\"TessaraProject\" version=\"1\"/>", "The selected file is not a valid Tessara project"},
        {Project(kRows, "type=\"tessaraproject\" version=\"1\""), "The selected file is not a valid Tessara project"},
        {Project(kRows, "version=\"1\""), "The selected file is not a valid Tessara project"},
        {Project(kRows, "type=\"TessaraProject\" version=\"2\""),
         "The project file version doesn't match the current version"},
        {Project(kRows, "type=\"TessaraProject\""), "The project file version doesn't match the current version"},
        {Project("<Settings/>"), "The project file has no Rows element"},
        {Project("<Group><Rows/></Group><Settings/>"), "The project file has no Rows element"},
        {Project(kRows), "The project file has no Settings element"},
        {Project("<Rows><Row><File/><File><!--x--></File></Row></Rows><Settings/>"), "Unable to read an input row"},
        {Project("<Rows/><Settings/>"), "No input rows have been specified"},
        {Project(std::string(kRows)
                 + "<Settings><Overlap>3</Overlap><Region><Width>9</Width><Height>9</Height></Region></Settings>"),
         "Overlap and region cannot be used at the same time"},
        {Project(std::string(kRows) + "<Settings><Overlap>0</Overlap></Settings>"), "The overlap is too small"},
        {Project(std::string(kRows) + "<Settings><Overlap>many</Overlap></Settings>"), "The overlap is too small"},
        {Project(std::string(kRows) + "<Settings><Region><Width>4</Width><Height>9</Height></Region></Settings>"),
         "The region is too small"},
    };
    for (const auto& [strContent, szMessage] : cases) {
        EXPECT_FALSE(Load(strContent)) << strContent;
        EXPECT_EQ(m_project.GetLastError(), szMessage) << strContent;
    }
}

TEST_F(ProjectFile, ReadsRowsAndSettingsTheWayTheCommandLineProgramDoes)
{
    ASSERT_TRUE(Load(Project("\n<Rows>\n<Row><File>a.png</File><Other>x</Other><File/><File>@TS_DIR/b.png</File></Row>"
                             "<Note><Row><File>ignored.png</File></Row></Note><Row><File>KeepEmpty</File></Row></Rows>"
                             "<Tray><File>tray.png</File></Tray><Settings><Region><Width>10</Width><Height>12px"
                             "</Height></Region><Background>ff#80#00</Background><Transparency>#12</Transparency>"
                             "<StackImages>YES</StackImages></Settings>\n",
                             "type=\"TessaraProject\" version=\"1abc\"")))
        << m_project.GetLastError();
    const TessaraSettings& settings = m_project.GetSettings();
    EXPECT_EQ(settings.rows, (std::vector<std::vector<std::string>>{{"a.png", "@TS_DIR/b.png"}, {"KeepEmpty"}}));
    EXPECT_TRUE(settings.tray.empty());
    EXPECT_EQ(settings.flags, TessaraSettings::FlagRows | TessaraSettings::FlagRegion | TessaraSettings::FlagBackground
                                  | TessaraSettings::FlagTransparency | TessaraSettings::FlagStackImages);
    EXPECT_EQ(settings.regionWidth, 10);
    EXPECT_EQ(settings.regionHeight, 12);
    EXPECT_EQ(TestSupport::RgbOf(settings.background), "255,128,0");
    EXPECT_TRUE(settings.transparency.IsValid());
    EXPECT_EQ(TestSupport::RgbOf(settings.transparency), "18,0,0");
    EXPECT_TRUE(settings.stackImages);
    EXPECT_EQ(settings.overlap, -1);
}

TEST_F(ProjectFile, OnlyTheFirstOfEachSettingCountsAndValuelessOnesAreAbsent)
{
    // What each case shows, the settings, the flags besides the rows', the overlap and the stacking.
    const std::tuple<const char*, const char*, unsigned int, int, bool> cases[] = {
        {"first overlap wins", "<Overlap>4</Overlap><Overlap>0</Overlap>", TessaraSettings::FlagOverlap, 4, false},
        {"empty overlap is absent", "<Overlap/><Overlap>5</Overlap>", 0, -1, false},
        {"region without height is ignored", "<Region><Width>9</Width></Region>", 0, -1, false},
        {"stack false is still read", "<StackImages>nope</StackImages>", TessaraSettings::FlagStackImages, -1, false},
        {"stack 1", "<StackImages>1</StackImages>", TessaraSettings::FlagStackImages, -1, true},
        {"background without hex digits", "<Background>#zz</Background>", TessaraSettings::FlagBackground, -1, false},
    };
    for (const auto& [szName, szSettings, nFlags, nOverlap, bStack] : cases) {
        SCOPED_TRACE(szName);
        ASSERT_TRUE(Load(Project(std::string(kRows) + "<Settings>" + szSettings + "</Settings>")));
        const TessaraSettings& settings = m_project.GetSettings();
        EXPECT_EQ(settings.flags, TessaraSettings::FlagRows | nFlags);
        EXPECT_EQ(settings.overlap, nOverlap);
        EXPECT_EQ(settings.stackImages, bStack);
        EXPECT_TRUE(settings.background.IsValid() || !(nFlags & TessaraSettings::FlagBackground));
    }
}
