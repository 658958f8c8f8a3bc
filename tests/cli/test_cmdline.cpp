#include "TestSupport.h"
#include "misc/ExecutableDir.h"

namespace fs = std::filesystem;
using namespace CmdLine;
using TestSupport::ArgumentTable;

namespace {

std::string Describe(const Value& value)
{
    if (const auto* pText = std::get_if<std::string>(&value))
        return "'" + *pText + "'";
    if (const auto* pNumber = std::get_if<long>(&value))
        return std::to_string(*pNumber) + "L";
    if (const auto* pFloat = std::get_if<double>(&value))
        return std::to_string(*pFloat);
    return std::get<bool>(value) ? "true" : "false";
}

// "name[v1,v2] name[]" for every recorded occurrence, in command-line order.
std::string DescribeOccurrences(const CommandLineParser& cmdLine)
{
    std::string strResult;
    for (const std::string& strName :
         TestSupport::Words("project out sourcedir row col sources index grid startpos order regionsize overlap stack "
                            "transparent bgcolor compression quality attribute extradata convert help")) {
        const CommandLineSwitch* pSwitch = cmdLine.FindSwitch(strName);
        for (const CommandLineValue* pOccurrence : pSwitch->GetAllOccurrences()) {
            strResult += pSwitch->GetName() + "[";
            for (int n = 0; n < pOccurrence->Count(); ++n)
                strResult += (n ? "," : "") + Describe(pOccurrence->Get(n));
            strResult += "] ";
        }
    }
    return strResult;
}

} // namespace

TEST(CommandLineValue, ChecksAndTypesEachValueKind)
{
    // What each case shows, the type, the text, whether it is accepted and the value stored.
    const std::tuple<const char*, ValueType, std::string, bool, Value> cases[] = {
        {"none takes only empty text", ValueType::None, "", true, true},
        {"none refuses text", ValueType::None, "x", false, {}},
        {"string takes anything", ValueType::String, "50% off", true, std::string("50% off")},
        {"int negative", ValueType::Int, "-5", true, -5L},
        {"int leading blank", ValueType::Int, " 7", true, 7L},
        {"int upper 32-bit limit", ValueType::Int, "2147483647", true, 2147483647L},
        {"int lower 32-bit limit", ValueType::Int, "-2147483648", true, -2147483648L},
        {"int beyond 32 bits", ValueType::Int, "2147483648", false, {}},
        {"int below 32 bits", ValueType::Int, "-2147483649", false, {}},
        {"int overflowing long", ValueType::Int, "99999999999999999999", false, {}},
        {"int hex", ValueType::Int, "0x10", false, {}},
        {"int trailing letters", ValueType::Int, "12abc", false, {}},
        {"int empty", ValueType::Int, "", false, {}},
        {"float", ValueType::Float, "-2.5e1", true, -25.0},
        {"float trailing letters", ValueType::Float, "1.5x", false, {}},
        {"float out of range", ValueType::Float, "1e999", false, {}},
        {"bool YES", ValueType::Bool, "YES", true, true},
        {"bool False", ValueType::Bool, "False", true, false},
        {"bool 1", ValueType::Bool, "1", true, true},
        {"bool on", ValueType::Bool, "on", false, {}},
    };
    for (const auto& [szName, type, strText, bAccepted, stored] : cases) {
        SCOPED_TRACE(szName);
        CommandLineParser parser;
        CommandLineValue occurrence(parser.AddSwitch("x", type, Optional, 0, -1, nullptr, ""));
        EXPECT_EQ(occurrence.IsValid(strText), bAccepted);
        EXPECT_EQ(occurrence.Add(strText), bAccepted);
        const std::string strStored = occurrence.Count() == 1 ? Describe(occurrence.Get(0)) : "nothing";
        EXPECT_EQ(strStored, bAccepted ? Describe(stored) : "nothing");
    }
}

TEST(CommandLineParser, ParsesArgumentsIntoOccurrences)
{
    // The arguments, the occurrences recorded and the error.
    const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
        {{}, "", ""},
        {{"-quality", "-5"}, "quality[-5L] ", ""},
        {{"-row", "a", "b", "-out", "c"}, "out['c'] row['a','b'] ", ""},
        {{"-row", "a", "b", "-row", "c"}, "row['a','b'] row['c'] ", ""},
        {{"-startpos", "BOTTOM-RIGHT"}, "startpos['BOTTOM-RIGHT'] ", ""},
        {{"-out", "   "}, "out[''] ", ""},
        {{"-stack"}, "stack[] ", ""},
        {{"foo"}, "", "Unexpected command-line token 'foo'"},
        {{"-Foo"}, "", "Unknown command-line switch -Foo"},
        {{"--out", "x"}, "", "Unknown command-line switch --out"},
        {{"-out", "x.png", "-OUT", "y.png"}, "out['x.png'] ", "Command-line switch -OUT can only be specified once"},
        {{"-OUT"}, "out[] ", "Not enough parameters for command-line switch -OUT"},
        {{"-grid", "5"}, "grid[5L] ", "Not enough parameters for command-line switch -grid"},
        {{"-convert", "a.png"}, "convert['a.png'] ", "Not enough parameters for command-line switch -convert"},
        {{"-Quality", "abc"}, "quality[] ", "Invalid value 'abc' for command-line switch -Quality"},
        {{"-startpos", "centre"}, "startpos[] ", "Invalid value 'centre' for command-line switch -startpos"},
        {{"-overlap", "5", "6"}, "overlap[5L] ", "Unexpected command-line token '6'"},
        {{"-stack", "foo"}, "stack[] ", "Unexpected command-line token 'foo'"},
        {{"-out", "-out"}, "out[] ", "Not enough parameters for command-line switch -out"},
    };
    for (const auto& [arguments, strOccurrences, strError] : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        ArgumentTable table(arguments);
        EXPECT_EQ(table.Parse(), strError.empty());
        EXPECT_EQ(table.GetLastError(), strError);
        EXPECT_EQ(DescribeOccurrences(table), strOccurrences);
    }
}

TEST(CommandLineParser, TrimsArgumentsAndTreatsNullAsEmpty)
{
    CommandLineParser parser;
    const char* argv[] = {"prog", "  -out\t", nullptr, "\n x y \r"};
    parser.SetArguments(4, argv);
    EXPECT_EQ(parser.GetArguments(), (std::vector<std::string>{"-out", "", "x y"}));
}

TEST(CommandLineParser, UsageAndMandatoryCheckFollowTheSwitchDefinitions)
{
    CommandLineParser parser;
    parser.AddSwitch("in", ValueType::String, 0, 1, 1, nullptr, "Reads it.$Really.");
    parser.AddSwitch("secret", ValueType::String, Optional | Hidden, 1, 1, nullptr, "never shown");
    parser.AddSwitch("tag", ValueType::String, Optional | Multiple, 2, 2, nullptr, "Tags$it");
    parser.AddSwitch("scale", ValueType::Float, Optional, 0, 2, nullptr, "Scales");
    parser.AddSwitch("fast", ValueType::Bool, Optional, 1, 1, nullptr, "Hurries");
    parser.AddSwitch("v", "Verbose");
    EXPECT_EQ(parser.GetUsage(), "Usage: tesscli -in [-tag] [-scale] [-fast] [-v] \n\n"
                                 "-in <string>:\n    Reads it.\n    Really.\n\n"
                                 "-tag* <string> <string>:\n    Tags\n    it\n\n"
                                 "-scale [float] [float]:\n    Scales\n\n"
                                 "-fast <bool>:\n    Hurries\n\n"
                                 "-v:\n    Verbose\n\n"
                                 "* denotes switches that can be passed multiple times\n");

    const char* argv[] = {"prog", "-v"};
    parser.SetArguments(2, argv);
    ASSERT_TRUE(parser.Parse());
    EXPECT_FALSE(parser.Validate());
    EXPECT_EQ(parser.GetLastError(), "The mandatory switch in hasn't been specified");
}

TEST(TessaraCmdLine, ValidatesRulesInOrder)
{
    // The arguments and the rule they break, empty for none.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-project", "p.tsp", "-row", "a.png"}, "-project cannot be used in conjunction with -row"},
        {{"-project", "p.tsp", "-col", "a.png", "-sources", "s"}, "-project cannot be used in conjunction with -col"},
        {{"-sources", "s", "-project", "p.tsp"}, "-project cannot be used in conjunction with -sources"},
        {{"-col", "a", "-row", "b"}, "-row cannot be used in conjunction with -col"},
        {{"-row", "a", "-sources", "s"}, "-row cannot be used in conjunction with -sources"},
        {{"-col", "a", "-sources", "s"}, "-col cannot be used in conjunction with -sources"},
        {{"-index", "3"}, "-index must be used in conjunction with -sources"},
        {{"-index", "3", "-row", "a", "-col", "b"}, "-row cannot be used in conjunction with -col"},
        {{"-regionsize", "100", "100", "-overlap", "5"}, "-regionsize cannot be used in conjunction with -overlap"},
        {{"-sources", "img_{index}.png", "-index", "3", "7"}, ""},
        {{"-project", "p.tsp", "-out", "x.png", "-overlap", "5"}, ""},
        {{"-help", "-out", "x.png", "-stack"}, ""},
    };
    for (const auto& [arguments, strError] : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        ArgumentTable table(arguments);
        ASSERT_TRUE(table.Parse()) << table.GetLastError();
        EXPECT_EQ(table.Validate(), strError.empty());
        EXPECT_EQ(table.GetLastError(), strError);
    }
}

// Neither "~" nor variables in a real path are expanded.
TEST(ExecutableDir, ResolvesTheLinkToACanonicalDirectory)
{
    TestSupport::Sandbox root;
    fs::create_directories(root.Path() / "~" / "$HOME");
    std::ofstream(root.Path() / "~" / "$HOME" / "prog").put('x');
    fs::create_symlink(root.Path() / "~" / "$HOME" / ".." / "$HOME" / "prog", root.Path() / "exe");
    fs::create_symlink(root.Path() / "missing" / "prog", root.Path() / "dangling");
    EXPECT_EQ(Misc::GetExecutableDir(root / "exe"), root / "~/$HOME");
    EXPECT_EQ(Misc::GetExecutableDir(root / "dangling"), "");
}

// A build or unpacked copy keeps ImConfig beside tesscli; an install keeps it in its data folder.
TEST(ExecutableDir, FindsImConfigBesideOrInTheInstalledDataFolder)
{
    TestSupport::Sandbox root;
    const fs::path copyBin = root.Path() / "copy", installBin = root.Path() / "usr/bin",
                   bareBin = root.Path() / "bare/bin";
    for (const fs::path& folder : {copyBin / "ImConfig", root.Path() / "share/tessara/ImConfig", installBin,
                                   root.Path() / "usr/share/tessara/ImConfig", bareBin})
        fs::create_directories(folder);
    const std::string strInstalled = "../share/tessara/ImConfig";

    EXPECT_EQ(Misc::FindImConfigDir(copyBin.string(), strInstalled), (copyBin / "ImConfig").string());
    EXPECT_EQ(Misc::FindImConfigDir(installBin.string(), strInstalled),
              (root.Path() / "usr" / "share" / "tessara" / "ImConfig").string());
    // Neither: the first place looked at, which the start-up output then names.
    EXPECT_EQ(Misc::FindImConfigDir(bareBin.string(), strInstalled), (bareBin / "ImConfig").string());
}
