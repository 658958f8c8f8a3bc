#include "core/TessaraCore.h"

#include "cmdline/CommandLineValue.h"
#include "codecs/ReplacingFileWriter.h"
#include "collectors/DataCollector_CmdLine.h"
#include "collectors/DataCollector_Project.h"
#include "collectors/TessaraProject.h"
#include "core/ArrangementText.h"
#include "engine/ImageFileProducer.h"
#include "engine/ImagePixelLimit.h"
#include "engine/Orientation.h"
#include "engine/OutputFormat.h"
#include "misc/ExecutableDir.h"
#include "misc/Format.h"
#include "misc/InterruptCleanup.h"
#include "misc/Path.h"
#include "misc/RegularFile.h"

#include <Magick++.h>
#include <malloc.h>

#include <algorithm>
#include <cerrno>
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
// Set by the build from the install layout: where ImConfig lies relative to the bin folder.
const char* const kInstalledConfigDir = TESSARA_INSTALLED_IMCONFIG;
// Blanks inside an argument would make the echo ambiguous; a blank only at its start cannot.
std::string EchoArguments(int argc, char** argv)
{
    std::string strEcho = "> ";
    for (int nArg = 1; nArg < argc; ++nArg) {
        const std::string strArg = Misc::Printable(argv[nArg] ? argv[nArg] : "");
        if (strArg.find(' ', 1) != std::string::npos)
            strEcho += "\"" + strArg + "\" ";
        else
            strEcho += strArg + " ";
    }
    return strEcho;
}

// The version of the ImageMagick library actually loaded ("6.9.11-60" out of "ImageMagick
// 6.9.11-60 Q16 ..."), which is what matters when a problem is reported.
std::string RunningMagickVersion()
{
    size_t nVersion = 0;
    const std::string strText = MagickCore::GetMagickVersion(&nVersion);
    const size_t nStart = strText.find(' ');
    if (nStart == std::string::npos)
        return strText;
    const size_t nEnd = strText.find(' ', nStart + 1);
    return strText.substr(nStart + 1, nEnd == std::string::npos ? std::string::npos : nEnd - nStart - 1);
}

// Our ImConfig comes after whatever the user already configured, so a user's own setup wins.
void ExtendMagickConfigurePath(const std::string& strConfigDir)
{
    const char* pExisting = std::getenv("MAGICK_CONFIGURE_PATH");
    const std::string strPath = pExisting && *pExisting ? std::string(pExisting) + ":" + strConfigDir : strConfigDir;
    setenv("MAGICK_CONFIGURE_PATH", strPath.c_str(), 1);
}

// Standard error belongs to nobody here: library warnings and errors reach us as exceptions, and
// MagickCore's own default handlers would otherwise print them.
void IgnoreMagickMessage(const MagickCore::ExceptionType, const char*, const char*) {}

void ExitOnFatalMagickError(const MagickCore::ExceptionType, const char* pReason, const char* pDescription)
{
    std::printf("\nImageMagick stopped with a fatal error: %s%s%s\n", pReason ? pReason : "", pDescription ? " - " : "",
                pDescription ? pDescription : "");
    std::fflush(stdout);
    std::exit(Contract::ExitProcessing);
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
    // A grid reads tiles of a few MiB each, one after another, on several threads. Left to its
    // defaults the allocator maps and unmaps each one, and every page of it faults in again;
    // kept, the freed memory serves the next tile (measured: a tenth off an 8x8 composition).
    // Canvas-sized blocks, above the threshold, still go back to the system when freed.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    m_argc = argc;
    m_argv = argv;
    m_executableDir = Misc::GetExecutableDir();
    if (m_executableDir.empty()) {
        m_exitStatus = Contract::ExitCoreFailed;
        return false;
    }
    m_cmdLine.Initialize(argc, argv);
    m_imageGrid.SetPrinter([this](const std::string& strText) { Print("%s", strText.c_str()); });
    return m_imageGrid.SetDataSet(&m_dataSet);
}

void TessaraCore::RunCore()
{
    // A reader of standard output may go away from the first line on.
    Misc::InterruptCleanup::Install(Contract::ExitProcessing);
    PrintBanner();
    if (!CheckCommandLine()) {
        m_exitStatus = Contract::ExitCommandLine;
        return;
    }
    if (m_cmdLine.GetHelpSwitch()->IsSet()) {
        Print("%s", m_cmdLine.GetUsage().c_str());
        return;
    }
    if (!CheckEnvironment()) {
        m_exitStatus = Contract::ExitDataPreparation;
        return;
    }
    InitializeImageMagick();
    // After the library's set-up, which may install handlers of its own.
    Misc::InterruptCleanup::Install(Contract::ExitProcessing);
    if (m_cmdLine.GetConvertSwitch()->IsSet()) {
        if (!ConvertImage())
            m_exitStatus = Contract::ExitProcessing;
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
    const size_t nWritten = std::fwrite(strText.data(), 1, strText.size(), stdout);
    // Nobody reads the progress any more (a closed pipe): ended like an interrupt, so the status
    // still tells whoever waits for it.
    if ((std::fflush(stdout) != 0 || nWritten != strText.size()) && errno == EPIPE)
        Misc::InterruptCleanup::EndInterrupted();
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
    Print("    Library version: %s\n", RunningMagickVersion().c_str());
    Print("    Configuration directory: %s\n", strConfigDir.c_str());

    ExtendMagickConfigurePath(strConfigDir);
    m_temporaryFolder.Activate();
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
    Print("Converting '%s' to '%s'... ", Misc::Printable(strSource).c_str(), Misc::Printable(strDestination).c_str());
    std::string strReason;
    const bool bConverted = Convert(strSource, strDestination, strReason);
    Print(bConverted ? "done\n" : "failed\n");
    if (!bConverted && !strReason.empty())
        Print("    %s\n", Misc::Printable(strReason).c_str());
    return bConverted;
}

// strReason says why a conversion failed: a refusal before reading, or the library's or the
// system's words.
bool TessaraCore::Convert(const std::string& strSource, const std::string& strDestination, std::string& strReason)
{
    if (!Misc::CheckOutputTarget(strDestination, strReason) || !Misc::CheckRegularFile(strSource, strReason))
        return false;
    // As for a composition, an output no writer takes ends the run before the input is read.
    Engine::OutputFormat outputFormat;
    if (!outputFormat.Check(strDestination)) {
        strReason = outputFormat.GetLastError();
        return false;
    }
    Engine::ImagePixelLimit limit;
    if (!limit.AdmitsDeclaredSize(strSource)) {
        strReason = limit.GetLastError();
        return false;
    }
    // Ask for true colour with alpha so that transparency survives. The image is empty until
    // read, so no colour space is set on it: this library version refuses to transform an
    // image without pixels, and the read replaces it anyway.
    Magick::Image image;
    try {
        Magick::Image attributes;
        IgnoringWarnings([&] { attributes.ping(strSource); });
        if (!limit.Admits(strSource, attributes.columns(), attributes.rows())) {
            strReason = limit.GetLastError();
            return false;
        }
        image.type(MagickCore::TrueColorMatteType);
        image.matte(true);
        IgnoringWarnings([&] { image.read(strSource); });
        // The editor converts what it cannot read itself and shows it as a composition gets it.
        if (m_cmdLine.GetAutoOrientSwitch()->IsSet())
            Engine::TurnUpright(image);
    } catch (const std::exception& e) {
        strReason = Misc::WithoutSourceLocation(e.what());
        return false;
    }
    Codecs::ReplacingFileWriter writer(strDestination);
    if (writer.Write(Engine::ImageFileProducer(image)))
        return true;
    strReason = writer.GetLastError();
    return false;
}

void TessaraCore::RunComposition()
{
    if (!PrepareData()) {
        m_exitStatus = Contract::ExitDataPreparation;
        return;
    }
    Print("%s", m_dataSet.GetSummary().c_str());
    const auto [nColumns, nRows] = m_dataSet.GetGridExtent();
    Print("%s", DescribeFilesWithoutCell(m_dataSet.GetFilesWithoutCell(), nRows, nColumns).c_str());
    PrintNewLines(1);
    if (!ComposeGrid())
        m_exitStatus = Contract::ExitProcessing;
}

// Each grid phase ends with an empty line, so that the next heading stands apart.
bool TessaraCore::ComposeGrid()
{
    // Timed from here so that only the image work counts, not loading and checking the data.
    const auto start = std::chrono::steady_clock::now();
    Engine::OutputFormat outputFormat;
    if (!CheckOutputFile(outputFormat)
        || !RunGridPhase("Creating image grid", &Engine::ImageGrid::CreateGrid,
                         "An error occurred while creating the image grid"))
        return false;
    Print("%s\n", m_imageGrid.GetDimensionsText().c_str());
    if (!RunGridPhase("Pre-loading grid images", &Engine::ImageGrid::PreloadImages, "Failed to load a grid image"))
        return false;
    PrintNewLines(1);
    if (m_cmdLine.GetDryRunSwitch()->IsSet()) {
        PrintDryRun(outputFormat);
        return true;
    }
    if (!RunGridPhase("Creating compound image", &Engine::ImageGrid::CreateCompoundImage,
                      "An error occurred while creating the compound image"))
        return false;
    const long long nMilliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    PrintNewLines(1);
    Print("Operation finished in %02i:%02i minutes\n", static_cast<int>(nMilliseconds / 60000),
          static_cast<int>(nMilliseconds % 60000 / 1000));
    return true;
}

// The project is collected first so that switches given on the command line override it.
bool TessaraCore::PrepareData()
{
    const CmdLine::CommandLineSwitch* pProject = m_cmdLine.GetProjectSwitch();
    if (pProject->IsSet()) {
        const std::string strProject = pProject->GetFirstOccurrence()->GetString(0);
        Print("Loading project %s...\n", Misc::Printable(strProject).c_str());
        Collectors::TessaraProject project;
        if (!project.LoadProject(strProject))
            return ReportFailure("An error occurred while loading the project", project.GetLastError());
        Collectors::DataCollector_Project projectCollector(project);
        if (!m_dataSet.Collect(&projectCollector))
            return ReportFailure("An error occurred while preparing the data from the project file",
                                 m_dataSet.GetLastError());
    }

    Print("Preparing data...\n");
    Collectors::DataCollector_CmdLine cmdLineCollector(m_cmdLine);
    if (!m_dataSet.Collect(&cmdLineCollector))
        return ReportFailure("An error occurred while preparing the data passed via command-line",
                             m_dataSet.GetLastError());
    if (!m_dataSet.IsComplete() || !m_dataSet.ArrangeInputFiles())
        return ReportFailure("The data set is incomplete or invalid", m_dataSet.GetLastError());
    return true;
}

bool TessaraCore::CheckOutputFile(Engine::OutputFormat& outputFormat)
{
    std::string strRefusal;
    if (!Misc::CheckOutputTarget(m_dataSet.GetOutputFile(), strRefusal))
        return ReportFailure("An error occurred while checking the output file", strRefusal);
    if (!outputFormat.Check(m_dataSet.GetOutputFile()))
        return ReportFailure("An error occurred while checking the output file", outputFormat.GetLastError());
    return true;
}

// One line per item, so that further facts about the planned run can be added as lines.
void TessaraCore::PrintDryRun(const Engine::OutputFormat& outputFormat)
{
    Print("Dry run, nothing is composed or written:\n");
    Print("    Cell map:\n");
    Print("%s", DescribeCellMap(m_imageGrid, 8).c_str());
    const Engine::GridLayout& layout = m_imageGrid.GetLayout();
    Print("    Canvas size: %lldx%lld pixels\n", layout.GetTotalWidth(), layout.GetTotalHeight());
    Print("    Output file: %s\n", Misc::Printable(m_dataSet.GetOutputFile()).c_str());
    Print("    Output format: %s\n", outputFormat.GetDescription().c_str());
    const Engine::ImageGrid::OutputPlan plan = m_imageGrid.PlanOutput();
    Print("    Written by: %s\n", plan.writer.c_str());
    if (!plan.pyramid.empty())
        Print("    Pyramid: %s\n", plan.pyramid.c_str());
    Print("    Estimated peak memory: %llu MiB\n", (plan.peakBytes + (1u << 20) - 1) >> 20);
    const std::vector<const Data::InputFile*> filesWithoutCell = m_dataSet.GetFilesWithoutCell();
    if (!filesWithoutCell.empty())
        Print("    Input files without a cell: %s\n", JoinFileNames(filesWithoutCell, 0).c_str());
}

bool TessaraCore::RunGridPhase(const char* pHeading, bool (Engine::ImageGrid::*pStep)(), const char* pFailureHeading)
{
    Print("%s...\n", pHeading);
    if (!(m_imageGrid.*pStep)())
        return ReportFailure(pFailureHeading, m_imageGrid.GetLastError());
    return true;
}

// An error's further lines (the reason under a failure) keep their indentation relative to its first.
bool TessaraCore::ReportFailure(const char* pHeading, const std::string& strError)
{
    std::string strIndented;
    for (const char cCharacter : strError)
        strIndented += cCharacter == '\n' ? std::string("\n    ") : std::string(1, cCharacter);
    Print("\n%s:\n    %s\n", pHeading, strIndented.c_str());
    return false;
}

bool TessaraCore::CheckEnvironment()
{
    Engine::ImagePixelLimit limit;
    if (!limit.CheckEnvironment())
        return ReportFailure("An error occurred while checking the environment", limit.GetLastError());
    return true;
}

} // namespace Core
