#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>
#include <vector>

// Runs the built tesscli (TESSCLI_EXE) as a child process, without a shell, in strWorkDir unless it is
// empty; extraEnvironment entries ("NAME=value") are added to, or replace in, the inherited environment.
struct TesscliRun
{
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1; // -1 when the process did not exit normally
};

TesscliRun RunTesscli(const std::vector<std::string>& arguments, const std::string& strWorkDir = "",
                      const std::vector<std::string>& extraEnvironment = {});

// Starts tesscli the same way without waiting for it; its output goes to pOut, its errors to pErr
// unless that is null.
pid_t StartTesscli(const std::vector<std::string>& arguments, const std::string& strWorkDir,
                   const std::vector<std::string>& extraEnvironment, FILE* pOut, FILE* pErr);

// The block a run prints when it initialises ImageMagick, configured from beside the executable.
std::string MagickSetupText();
