#include "core/TessaraCore.h"

#include "cmdline/CommandLineValue.h"
#include "core/TessaraProject.h"
#include "data/DataCollector_CmdLine.h"
#include "data/DataCollector_Project.h"
#include "misc/ExecutableDir.h"
#include "misc/Format.h"
#include "misc/Path.h"

#include <Magick++.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace Core {

TessaraCore* TessaraCore::s_instance = nullptr;

namespace {
const char* const kProductName = "Tessara";
const char* const kNotice = "Copyright (C) 2010 Tessara Imaging";
const char* const kBuildDate = "28.07.2010";
const char* const kMagickVersion = "6.6.2";
const char* const kMagickRevision = "-9";
// Set by the build from the install layout: where ImConfig lies relative to the bin folder.
const char* const kInstalledConfigDir = TESSARA_INSTALLED_IMCONFIG;
// Blanks inside an argument would make the echo ambiguous; a blank only at its start cannot.
std::string EchoArguments(int argc, char** argv)
{
    std::string strEcho = "> ";
    for (int nArg = 1; nArg < argc; ++nArg) {
        const std::string strArg = argv[nArg] ? argv[nArg] : "";
        if (strArg.find(' ', 1) != std::string::npos)
            strEcho += "\"" + strArg + "\" ";
        else
            strEcho += strArg + " ";
    }
    return strEcho;
}

// Our ImConfig comes after whatever the user already configured, so a user's own setup wins.
void ExtendMagickConfigurePath(const std::string& strConfigDir)
{
    const char* pExisting = std::getenv("MAGICK_CONFIGURE_PATH");
    const std::string strPath =
        pExisting && *pExisting ? std::string(pExisting) + ":" + strConfigDir : strConfigDir;
    setenv("MAGICK_CONFIGURE_PATH", strPath.c_str(), 1);
}

// Standard error belongs to nobody here: library warnings and errors reach us as exceptions, and
// MagickCore's own default handlers would otherwise print them.
void IgnoreMagickMessage(const MagickCore::ExceptionType, const char*, const char*)
{
}

void ExitOnFatalMagickError(const MagickCore::ExceptionType, const char* pReason, const char* pDescription)
{
    std::printf("\nImageMagick stopped with a fatal error: %s%s%s\n", pReason ? pReason : "",
                pDescription ? " - " : "", pDescription ? pDescription : "");
    std::fflush(stdout);
    std::exit(TessaraCore::Status_Processing);
}

// A warning (an unknown TIFF tag, say) leaves a usable image behind; only errors count.
template <typename Operation>
void IgnoringWarnings(Operation operation)
{
    try {
        operation();
    } catch (const Magick::Warning&) {
    }
}
} // namespace

bool TessaraCore::CreateCore()
{
    DestroyCore();
    s_instance = new TessaraCore();
    return s_instance != nullptr;
}

void TessaraCore::DestroyCore()
{
    delete s_instance;
    s_instance = nullptr;
}

bool TessaraCore::InitializeCore(int argc, char** argv)
{
    m_argc = argc;
    m_argv = argv;
    m_executableDir = Misc::GetExecutableDir();
    if (m_executableDir.empty()) {
        m_exitStatus = Status_CoreFailed;
        return false;
    }
    m_cmdLine.Initialize(argc, argv);
    m_imageGrid.SetPrinter([this](const std::string& strText) { Print("%s", strText.c_str()); });
    return m_imageGrid.SetDataSet(&m_dataSet);
}

void TessaraCore::RunCore()
{
    PrintBanner();
    if (!CheckCommandLine()) {
        m_exitStatus = Status_CommandLine;
        return;
    }
    if (m_cmdLine.GetHelpSwitch()->IsSet()) {
        Print("%s", m_cmdLine.GetUsage().c_str());
        return;
    }
    InitializeImageMagick();
    if (m_cmdLine.GetConvertSwitch()->IsSet()) {
        if (!ConvertImage())
            m_exitStatus = Status_Processing;
        return;
    }
    RunComposition();
}

void TessaraCore::ShutdownCore()
{
    m_imageGrid.Clear();
}

void TessaraCore::Print(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string strText = Misc::FormatV(format, args);
    va_end(args);
    std::fwrite(strText.data(), 1, strText.size(), stdout);
    std::fflush(stdout);
}

void TessaraCore::PrintNewLines(int nCount)
{
    Print("%s", std::string(static_cast<size_t>(std::max(nCount, 0)), '\n').c_str());
}

void TessaraCore::PrintLine(char cCharacter, int nCount)
{
    Print("%s\n", std::string(static_cast<size_t>(std::max(nCount, 0)), cCharacter).c_str());
}

void TessaraCore::PrintBanner()
{
    Print("%s - %s\n", kProductName, kNotice);
    Print("Version: %i.%i.%i.%i (Build: %s)\n", 2, 0, 0, 100, kBuildDate);
    PrintLine('=', 78);
    PrintNewLines(1);
    Print("%s", EchoArguments(m_argc, m_argv).c_str());
    PrintNewLines(2);
}

// Parse errors are reported only once a switch was recognised; otherwise the user more likely
// needs the usage than a complaint about the first word.
bool TessaraCore::CheckCommandLine()
{
    if (m_cmdLine.Parse() && m_cmdLine.Validate())
        return true;
    if (m_cmdLine.GetOccurrenceCount() > 0) {
        Print("An error occurred while parsing the command-line:\n    %s\n\n", m_cmdLine.GetLastError().c_str());
        Print("Use 'tesscli -help' to get a description of its supported command-line switches\n");
    } else {
        Print("%s", m_cmdLine.GetUsage().c_str());
    }
    return false;
}

void TessaraCore::InitializeImageMagick()
{
    const std::string strConfigDir = Misc::FindImConfigDir(m_executableDir, kInstalledConfigDir);
    const std::string strDummyFile = Misc::CombinePath(strConfigDir, "tesscli.dummy");
    Print("Initializing ImageMagick...\n");
    Print("    Library version: %s%s\n", kMagickVersion, kMagickRevision);
    Print("    Configuration directory: %s\n", strConfigDir.c_str());

    ExtendMagickConfigurePath(strConfigDir);
    MagickCore::SetWarningHandler(IgnoreMagickMessage);
    MagickCore::SetErrorHandler(IgnoreMagickMessage);
    MagickCore::SetFatalErrorHandler(ExitOnFatalMagickError);
    Magick::InitializeMagick(strDummyFile.c_str());
    PrintNewLines(1);
}

bool TessaraCore::ConvertImage()
{
    const CmdLine::CommandLineValue* pOccurrence = m_cmdLine.GetConvertSwitch()->GetFirstOccurrence();
    const std::string strSource = pOccurrence->GetString(0);
    const std::string strDestination = pOccurrence->GetString(1);
    Print("Converting '%s' to '%s'... ", strSource.c_str(), strDestination.c_str());
    try {
        // Ask for true colour with alpha so that transparency survives. The image is empty until
        // read, so no colour space is set on it: this library version refuses to transform an
        // image without pixels, and the read replaces it anyway.
        Magick::Image image;
        image.type(MagickCore::TrueColorMatteType);
        image.matte(true);
        IgnoringWarnings([&] { image.read(strSource); });
        // Write exactly the named file, even when its name holds a "%d" the library would fill in.
        image.defineValue("filename", "literal", "true");
        IgnoringWarnings([&] { image.write(strDestination); });
    } catch (const std::exception&) {
        Print("failed\n");
        return false;
    }
    Print("done\n");
    return true;
}

void TessaraCore::RunComposition()
{
    if (!PrepareData()) {
        m_exitStatus = Status_DataPreparation;
        return;
    }
    Print("%s", m_dataSet.GetSummary().c_str());
    PrintNewLines(1);
    // Timed from here so that only the image work counts, not loading and checking the data.
    const auto start = std::chrono::steady_clock::now();
    if (!CreateImageGrid() || !PreloadGridImages() || !CreateCompoundImage()) {
        m_exitStatus = Status_Processing;
        return;
    }
    const long long nMilliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    PrintNewLines(1);
    Print("Operation finished in %02i:%02i minutes\n", static_cast<int>(nMilliseconds / 60000),
          static_cast<int>(nMilliseconds % 60000 / 1000));
}

// The project is collected first so that switches given on the command line override it.
bool TessaraCore::PrepareData()
{
    const CmdLine::CommandLineSwitch* pProject = m_cmdLine.GetProjectSwitch();
    if (pProject->IsSet()) {
        const std::string strProject = pProject->GetFirstOccurrence()->GetString(0);
        Print("Loading project %s...\n", strProject.c_str());
        Core::TessaraProject project;
        if (!project.LoadProject(strProject))
            return ReportFailure("An error occurred while loading the project", project.GetLastError());
        Data::DataCollector_Project projectCollector(project);
        if (!m_dataSet.Collect(&projectCollector))
            return ReportFailure("An error occurred while preparing the data from the project file",
                                 m_dataSet.GetLastError());
    }

    Print("Preparing data...\n");
    Data::DataCollector_CmdLine cmdLineCollector(m_cmdLine);
    if (!m_dataSet.Collect(&cmdLineCollector))
        return ReportFailure("An error occurred while preparing the data passed via command-line",
                             m_dataSet.GetLastError());
    if (!m_dataSet.IsComplete() || !m_dataSet.ArrangeInputFiles())
        return ReportFailure("The data set is incomplete or invalid", m_dataSet.GetLastError());
    return true;
}

bool TessaraCore::CreateImageGrid()
{
    Print("Creating image grid...\n");
    if (!m_imageGrid.CreateGrid())
        return ReportFailure("An error occurred while creating the image grid", m_imageGrid.GetLastError());
    Print("%s", m_imageGrid.GetDimensionsText().c_str());
    return true;
}

bool TessaraCore::PreloadGridImages()
{
    PrintNewLines(1);
    Print("Pre-loading grid images...\n");
    if (!m_imageGrid.PreloadImages())
        return ReportFailure("Failed to load a grid image", m_imageGrid.GetLastError());
    return true;
}

bool TessaraCore::CreateCompoundImage()
{
    PrintNewLines(1);
    Print("Creating compound image...\n");
    if (!m_imageGrid.CreateCompoundImage())
        return ReportFailure("An error occurred while creating the compound image", m_imageGrid.GetLastError());
    return true;
}

bool TessaraCore::ReportFailure(const char* pHeading, const std::string& strError)
{
    Print("\n%s:\n    %s\n", pHeading, strError.c_str());
    return false;
}

} // namespace Core
