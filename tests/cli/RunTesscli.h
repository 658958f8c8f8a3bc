#pragma once

#include <string>
#include <vector>

// Runs the built tesscli (TESSCLI_EXE) as a child process for end-to-end tests.
//
//     TesscliRun run = RunTesscli({"-convert", "a.png", "b.bmp"}, strWorkDir);
//     EXPECT_EQ(run.exitStatus, 0);
//     EXPECT_EQ(run.standardError, "");
//
// Arguments are passed exactly as given (no shell). strWorkDir empty keeps the test's own working
// directory. extraEnvironment entries ("NAME=value") are added to, or replace in, the inherited
// environment.
struct TesscliRun
{
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1; // the process's exit status; -1 when it did not exit normally
};

TesscliRun RunTesscli(const std::vector<std::string>& arguments, const std::string& strWorkDir = "",
                      const std::vector<std::string>& extraEnvironment = {});

// Directory of the tesscli executable, canonical, without a trailing separator.
std::string GetTesscliDir();
