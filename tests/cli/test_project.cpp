#include "../projects/ProjectCases.h"
#include "collectors/TessaraProject.h"
#include "collectors/TessaraSettings.h"

#include <gtest/gtest.h>

#include <cstdio>

using Collectors::TessaraSettings;

namespace {
std::string Hex(const Misc::Color& color)
{
    char szHex[8];
    std::snprintf(szHex, sizeof szHex, "#%02x%02x%02x", color.GetRed(), color.GetGreen(), color.GetBlue());
    return color.IsValid() ? szHex : "invalid";
}

ProjectCases::Record RecordOf(const TessaraSettings& s)
{
    return {s.flags,
            s.rows,
            s.tray,
            s.overlap,
            s.regionWidth,
            s.regionHeight,
            Hex(s.background),
            Hex(s.transparency),
            s.stackImages,
            s.autoOrient};
}

std::string SummaryOf(const TessaraSettings& settings)
{
    return ProjectCases::Summary(RecordOf(settings), RecordOf(TessaraSettings()));
}
} // namespace

// The project files of tests/projects, each loaded as tesscli loads it, against the table's tesscli column.
TEST(ProjectFile, ReadsEverySharedCaseAsTheTableSays)
{
    for (const auto& [strName, entry] : ProjectCases::Read(TESSARA_PROJECT_CASES)) {
        SCOPED_TRACE(strName);
        if (!entry.problem.empty()) {
            ADD_FAILURE() << entry.problem;
            continue;
        }
        Collectors::TessaraProject project;
        const bool bLoaded = project.LoadProject(entry.path);
        EXPECT_EQ(bLoaded ? SummaryOf(project.GetSettings()) : "error: " + project.GetLastError(), entry.commandLine);
    }
}
