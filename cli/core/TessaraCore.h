#pragma once

#include "cmdline/TessaraCmdLine.h"
#include "data/DataSet.h"
#include "engine/ImageGrid.h"
#include "engine/OutputFormat.h"
#include "misc/Object.h"
#include "misc/PrivateTempFolder.h"

#include "TessaraContract.h"

#include <string>

namespace Core {

// The driver of tesscli: prints the banner, checks the command line, initialises ImageMagick and
// runs either the usage, one conversion or the composition phases. All output goes to standard
// output; the outcome is the exit status.
class TessaraCore : public Object
{
public:
    // The one core of the process, or null.
    static TessaraCore* s_instance;

    // Replaces any existing instance; true when s_instance is set afterwards.
    static bool CreateCore();
    static void DestroyCore();

    // False (status 1) when the executable's directory cannot be determined.
    bool InitializeCore(int argc, char** argv);
    void RunCore();
    void ShutdownCore();
    int GetExitStatus() const { return m_exitStatus; }

    // printf-style, to standard output, flushed at once so that output interleaves correctly with
    // a reading parent process. Pass texts that are not formats as "%s" arguments.
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void PrintNewLines(int nCount);
    void PrintLine(char cCharacter, int nCount);

private:
    TessaraCore() = default;

    void PrintBanner();
    bool CheckCommandLine();
    void InitializeImageMagick();
    bool ConvertImage();
    bool Convert(const std::string& strSource, const std::string& strDestination, std::string& strReason);
    // The composition phases; each prints its heading and, on failure, its error.
    void RunComposition();
    bool PrepareData();
    bool CheckOutputFile(Engine::OutputFormat& outputFormat);
    // The environment's settings, before any file is read.
    bool CheckEnvironment();
    bool ComposeGrid();
    // Prints the heading, runs the step on the grid and reports its error under pFailureHeading.
    bool RunGridPhase(const char* pHeading, bool (Engine::ImageGrid::*pStep)(), const char* pFailureHeading);
    void PrintDryRun(const Engine::OutputFormat& outputFormat);
    bool ReportFailure(const char* pHeading, const std::string& strError);

    // Declared first so that it goes last, after every image that may keep a cache in it.
    Misc::PrivateTempFolder m_temporaryFolder;
    std::string m_executableDir;
    int m_exitStatus = Contract::ExitSuccess;
    int m_argc = 0;
    char** m_argv = nullptr;
    CmdLine::TessaraCmdLine m_cmdLine;
    Data::DataSet m_dataSet;
    Engine::ImageGrid m_imageGrid;
};

} // namespace Core
