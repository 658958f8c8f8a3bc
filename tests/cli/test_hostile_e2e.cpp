// Inputs and conditions an attacker, a full disk or an impatient user bring: tesscli must end
// with a message and a status, keep the old output and leave nothing behind.
#include "TestSupport.h"

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {
// A PNG of a few dozen bytes that claims nWidth x nHeight RGB pixels and holds none (its image data
// is an empty zlib stream).
std::string PngClaiming(uint32_t nWidth, uint32_t nHeight)
{
    return PngFile(BigEndian(nWidth) + BigEndian(nHeight) + std::string("\x08\x02\x00\x00\x00", 5), "", Deflated(""));
}

// An 8x8 grid of one tile, so that every writer has several bands to encode.
std::vector<std::string> GridOf(const std::string& strTile, const std::string& strOutput)
{
    std::vector<std::string> arguments;
    for (int nRow = 0; nRow < 8; ++nRow) {
        arguments.push_back("-row");
        arguments.insert(arguments.end(), 8, strTile);
    }
    arguments.insert(arguments.end(), {"-out", strOutput});
    return arguments;
}

// What the test process ignores (a shell's background job, say) must not pass on to the run.
void DefaultSignals()
{
    for (const int nSignal : {SIGHUP, SIGINT, SIGPIPE, SIGQUIT, SIGTERM, SIGXFSZ})
        signal(nSignal, SIG_DFL);
}

const std::string kOld = "the old output";

// Every run gets a temporary folder of its own, which must be empty again once it ends.
class HostileTest : public TesscliTest
{
protected:
    HostileTest() { fs::create_directory(dir / "tmp"); }
    ~HostileTest() override { EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "ImageMagick's files left behind"; }

    TesscliRun RunWith(const std::vector<std::string>& arguments, std::vector<std::string> environment = {}) const
    {
        environment.push_back("TMPDIR=" + dir / "tmp");
        return Run(arguments, environment);
    }

    pid_t Start(const std::vector<std::string>& arguments, FILE* pOut, std::vector<std::string> environment = {},
                const std::function<void()>& inChild = DefaultSignals) const
    {
        environment.push_back("TMPDIR=" + dir / "tmp");
        return StartTesscli(arguments, dir.Path().string(), environment, pOut, nullptr, inChild);
    }

    // Waits for the run; with atStop, it must first stop itself (TESSCLI_TEST_STOP_AT), atStop runs
    // and the run goes on. Its output is read from pOut unless that is null.
    static TesscliRun Finish(pid_t pid, FILE* pOut, const std::function<void(pid_t)>& atStop = nullptr)
    {
        int nStatus = 0;
        waitpid(pid, &nStatus, atStop ? WUNTRACED : 0);
        if (atStop) {
            EXPECT_TRUE(WIFSTOPPED(nStatus)) << "never reached its stop";
            if (WIFSTOPPED(nStatus)) {
                atStop(pid);
                kill(pid, SIGCONT);
                waitpid(pid, &nStatus, 0);
            }
        }
        return TesscliRun{pOut ? ReadAndClose(pOut) : "", "", WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1};
    }

    // A run under a file-size limit of nBytes, its signal ignored or not.
    TesscliRun RunLimited(const std::vector<std::string>& arguments, rlim_t nBytes, bool bIgnored) const
    {
        FILE* pOut = tmpfile();
        // The limit applies to the captured output too, which stays far below it.
        return Finish(Start(arguments, pOut, {},
                            [&] {
                                DefaultSignals();
                                const rlimit limit{nBytes, nBytes};
                                setrlimit(RLIMIT_FSIZE, &limit);
                                if (bIgnored)
                                    signal(SIGXFSZ, SIG_IGN);
                            }),
                      pOut);
    }

    // The output holds strContent, and neither a hidden file nor ImageMagick's files are left.
    void ExpectOutput(const std::string& strOutput, const std::string& strContent = kOld) const
    {
        EXPECT_EQ(ReadFile(dir / strOutput), strContent);
        EXPECT_EQ(HiddenFiles(dir.Path()), std::vector<std::string>());
        EXPECT_TRUE(fs::is_empty(dir / "tmp"));
    }
};

std::string TailOf(const TesscliRun& run)
{
    const size_t nEnd = run.standardOutput.find_last_not_of('\n');
    const size_t nStart = run.standardOutput.rfind('\n', nEnd);
    return run.standardOutput.substr(nStart + 1, nEnd - nStart);
}
} // namespace

TEST_F(HostileTest, ImagesClaimingTooManyPixelsAreRefusedBeforeDecoding)
{
    std::ofstream(dir / "bomb.png", std::ios::binary) << PngClaiming(100000, 100000);
    Save(SolidImage(10, 10, {1, 2, 3}), dir / "tile.png");
    // ImageMagick's PNG reader refuses these itself, without a word of which limit they break.
    std::ofstream(dir / "tall.png", std::ios::binary) << PngClaiming(1, 2000000000);
    std::ofstream(dir / "wide.png", std::ios::binary) << PngClaiming(2000000, 1);
    auto refusal = [](const std::string& strFile, const char* pSize, const char* pLimit = "1000000000") {
        return "    The image " + strFile + " declares " + pSize + " pixels, more than the limit of " + pLimit
               + " pixels per image (set TESSCLI_MAX_IMAGE_PIXELS to raise it)";
    };
    // The limit (null: not set), the run, how it must end and its status.
    auto expect = [&](const char* pLimit, const std::string& strArguments, const std::string& strTail, int nStatus) {
        SCOPED_TRACE(strArguments);
        std::vector<std::string> environment;
        if (pLimit)
            environment.push_back(std::string("TESSCLI_MAX_IMAGE_PIXELS=") + pLimit);
        const TesscliRun run = RunWith(Words(strArguments), environment);
        EXPECT_EQ(run.exitStatus, nStatus) << run.standardOutput;
        EXPECT_EQ(TailOf(run), strTail);
        EXPECT_EQ(fs::exists(dir / "out.png"), nStatus == 0);
        fs::remove(dir / "out.png");
    };
    expect(nullptr, "-row tile.png bomb.png -out out.png", refusal(dir / "bomb.png", "100000x100000"), 5);
    expect(nullptr, "-convert bomb.png out.png", refusal("bomb.png", "100000x100000"), 5);
    expect("99", "-row tile.png -row tile.png -out out.png", refusal(dir / "tile.png", "10x10", "99"), 5);
    expect("100", "-convert tile.png out.png", "Converting 'tile.png' to 'out.png'... done", 0);
    expect(nullptr, "-row tile.png tall.png -out out.png", refusal(dir / "tall.png", "1x2000000000"), 5);
    expect("3000000000", "-convert tall.png out.png",
           "    The image tall.png declares 1x2000000000 pixels, higher than ImageMagick's height limit (1MP)", 5);
    expect(nullptr, "-convert wide.png out.png",
           "    The image wide.png declares 2000000x1 pixels, wider than ImageMagick's width limit (1MP)", 5);
    // A limit that is no positive whole number is not replaced by the default or by no limit at all.
    for (const char* pLimit : {" -5", "abc", "0", "", "12x"}) {
        const std::string strRefusal = std::string("    TESSCLI_MAX_IMAGE_PIXELS is '") + pLimit
                                       + "', which is not a positive whole number of pixels";
        expect(pLimit, "-row tile.png -out out.png", strRefusal, 4);
        expect(pLimit, "-convert tile.png out.png", strRefusal, 4);
    }
}

// Under "Failed to load image" or a failed conversion, the library's or the system's words say why.
TEST_F(HostileTest, ReadFailuresSayWhy)
{
    Magick::Image zipped = SolidImage(100, 100, {1, 2, 3});
    zipped.compressType(Magick::ZipCompression);
    Save(zipped, dir / "tile.tif");
    // The header still pings; the deflated strip after it no longer inflates.
    std::string strDamaged = ReadFile(dir / "tile.tif");
    strDamaged.replace(8, 52, 52, '\xab');
    std::ofstream(dir / "bad.tif", std::ios::binary) << strDamaged;
    const std::string strZip = "tesscli: Decoding error at scanline 0. `ZIPDecode'";
    // The run, the limits it runs under and how its output must end.
    const std::tuple<std::string, std::vector<std::string>, std::string> runs[] = {
        {"-row tile.tif bad.tif -out out.png",
         {},
         "    Failed to load image " + dir / "bad.tif" + "\n        " + strZip},
        {"-row tile.tif -out out.png",
         {"MAGICK_MEMORY_LIMIT=1KB", "MAGICK_MAP_LIMIT=1KB", "MAGICK_DISK_LIMIT=1KB"},
         "    Failed to load image " + dir / "tile.tif" + "\n        tesscli: cache resources exhausted `"
             + dir / "tile.tif" + "'"},
        {"-convert bad.tif out.png", {}, "failed\n    " + strZip},
    };
    for (const auto& [strArguments, environment, strEnd] : runs) {
        SCOPED_TRACE(strArguments);
        const TesscliRun run = RunWith(Words(strArguments), environment);
        EXPECT_EQ(run.exitStatus, 5);
        EXPECT_THAT(run.standardOutput, EndsWith(strEnd + "\n\n"));
        EXPECT_FALSE(fs::exists(dir / "out.png"));
    }
}

// A name may hold any byte but '/' and NUL; printed as it is, a newline in it could end a line and
// forge the next, such as a successful end.
TEST_F(HostileTest, ControlCharactersInNamesArePrintedEscaped)
{
    const std::string strForging = "a\nOperation finished in 00:00 minutes.png";
    Save(SolidImage(10, 10, {1, 2, 3}), dir / strForging);
    Save(SolidImage(10, 10, {1, 2, 3}), dir / "\x1b[2J.png");
    std::ofstream(dir / "bad\r.png") << "not an image";
    Save(CoordinateImage(300, 300, 1), dir / "whole.jpg");
    const std::string strJpeg = ReadFile(dir / "whole.jpg");
    std::ofstream(dir / "short\n.jpg", std::ios::binary) << strJpeg.substr(0, strJpeg.size() / 2);
    const std::string strShown = "a\\nOperation finished in 00:00 minutes.png";
    // The run and a line it must print.
    const std::pair<std::vector<std::string>, std::string> runs[] = {
        {{"-row", strForging, "-out", "out\t.png"}, "    Saving to " + dir / "out\\t.png... done"},
        {{"-row", strForging, "bad\r.png", "-out", "out.png"},
         "    tesscli: improper image header `" + dir / "bad\\r.png'"},
        {{"-row", strForging, "\x1b[2J.png", "-out", "out.png", "-dryrun"}, "        " + strShown + "  \\x1b[2J.png"},
        {{"-convert", strForging, "out\x7f.bmp"}, "Converting '" + strShown + "' to 'out\\x7f.bmp'... done"},
        {{"-row", "short\n.jpg", "-out", "out.png"}, "    Warning: " + dir / "short\\n.jpg is damaged"},
    };
    for (const auto& [arguments, strLine] : runs) {
        SCOPED_TRACE(arguments.back());
        const std::string strOutput = RunWith(arguments).standardOutput;
        EXPECT_THAT(strOutput, HasSubstr("\n" + strLine));
        EXPECT_THAT(strOutput, Not(HasSubstr("\nOperation finished in 00:00 minutes.png")));
        EXPECT_TRUE(std::none_of(strOutput.begin(), strOutput.end(), [](unsigned char c) {
            return (c < 0x20 && c != '\n') || c == 0x7f;
        })) << strOutput;
    }
}

// A FIFO would block the reader forever; a dangling link used to be reported as a security policy.
TEST_F(HostileTest, InputsThatAreNoRegularFileAreRefusedByName)
{
    Save(SolidImage(10, 10, {1, 2, 3}), dir / "tile.png");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.png");
    fs::create_symlink(dir / "gone.png", dir / "dangling.png");
    const std::pair<std::string, const char*> kinds[] = {
        {"fifo", " is not a regular file"},
        {"folder.png", " is not a regular file"},
        {"dangling.png", " is a symbolic link to a file that does not exist"},
    };
    for (const auto& [strName, szMessage] : kinds) {
        SCOPED_TRACE(strName);
        // A cell's file is named by its full path, the others as given.
        const std::tuple<std::string, int, std::string> runs[] = {
            {"-row tile.png " + strName + " -out out.png", 5, dir / strName},
            {"-convert " + strName + " out.png", 5, strName},
            {"-project " + strName, 4, strName}};
        for (const auto& [strArguments, nStatus, strShown] : runs) {
            const TesscliRun run = RunWith(Words(strArguments));
            EXPECT_EQ(run.exitStatus, nStatus);
            EXPECT_EQ(TailOf(run), "    The file " + strShown + szMessage);
        }
        EXPECT_FALSE(fs::exists(dir / "out.png"));
    }
}

// The library reports a full disk under its pixel cache as a resource limit. BMP has no streaming
// writer, so its canvas lives in that cache. Needs a small tmpfs, so root; skipped elsewhere.
TEST_F(HostileTest, AFullTemporaryFolderIsNamedAsSuch)
{
    const std::string strSmall = dir / "small";
    fs::create_directory(strSmall);
    if (mount("tmpfs", strSmall.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    Save(SolidImage(100, 100, {1, 2, 3}), dir / "tile.png");
    Save(SolidImage(200, 200, {1, 2, 3}), dir / "tile.tif");
    const std::vector<std::string> environment = {"TMPDIR=" + strSmall, "MAGICK_AREA_LIMIT=1KB",
                                                  "MAGICK_MEMORY_LIMIT=1KB", "MAGICK_MAP_LIMIT=1KB"};
    const TesscliRun run = Run(Words("-row tile.png tile.png -out out.bmp"), environment);
    // A tile that ImageMagick reads into its cache, with the system's words under it.
    const TesscliRun tile = Run(Words("-row tile.tif -out out.png"), environment);
    const bool bEmptied = fs::is_empty(strSmall);
    umount(strSmall.c_str());
    EXPECT_EQ(tile.exitStatus, 5);
    EXPECT_THAT(tile.standardOutput,
                HasSubstr("    Failed to load image " + dir / "tile.tif"
                          + "\n        tesscli: unable to write pixel cache `" + strSmall + "/tesscli-"));
    EXPECT_THAT(TailOf(tile), EndsWith("': No space left on device"));
    EXPECT_EQ(run.exitStatus, 5);
    EXPECT_THAT(TailOf(run), StartsWith("    The temporary folder is full: the compound image of 200x100 pixels "
                                        "(156.2KiB) does not fit in it"));
    EXPECT_TRUE(bEmptied);
}

// The editor cancels a run with SIGTERM: the old output stays byte for byte, the half-written
// file and ImageMagick's caches go, and the status says the run failed.
TEST_F(HostileTest, InterruptedRunsKeepTheOldOutputAndLeaveNothingBehind)
{
    Save(Noise(1200, 1200), dir / "noise.png");
    std::ofstream(dir / "out.png", std::ios::binary) << kOld;
    const std::string strLog = dir / "run.out";
    auto logged = [&](const char* szText) { return ReadFile(strLog).find(szText) != std::string::npos; };
    const std::pair<int, std::function<bool()>> cases[] = {
        {SIGINT, [&] { return logged("Combining images... [*"); }},
        // The last band is still being encoded, into the hidden file, when saving begins.
        {SIGTERM, [&] { return logged("    Saving to") && !HiddenFiles(dir.Path()).empty(); }},
    };
    for (const auto& [nSignal, bReady] : cases) {
        SCOPED_TRACE(nSignal);
        FILE* pLog = fopen(strLog.c_str(), "w");
        const pid_t pid = Start(Words("-row noise.png noise.png noise.png -row noise.png noise.png noise.png "
                                      "-out out.png -quality 95"),
                                pLog);
        fclose(pLog);
        int nStatus = 0;
        bool bEnded = false;
        while (!bReady() && !(bEnded = waitpid(pid, &nStatus, WNOHANG) == pid))
            usleep(1000);
        ASSERT_FALSE(bEnded) << "the run ended too early";
        kill(pid, SIGSTOP);
        EXPECT_TRUE(bReady()) << "stopped after the rename";
        kill(pid, nSignal);
        kill(pid, SIGCONT);
        EXPECT_EQ(Finish(pid, nullptr).exitStatus, 5);
        EXPECT_THAT(ReadFile(strLog), EndsWith("\nInterrupted: the output file was not written.\n"));
        ExpectOutput("out.png");
    }
}

// Before the rename every signal leaves the old output; from the rename on the new output is there
// and the run says so and succeeds. SIGPIPE is ignored: only a closed standard output ends a run. A
// pyramid is built in a hidden folder: the old one (descriptor and tiles) stays whole until then.
TEST_F(HostileTest, EverySignalLeavesTheOldOutputOrTheWholeNewOne)
{
    Save(Noise(24, 24), dir / "noise.png");
    for (const auto& [pOutput, bPyramid] :
         {std::pair{"out.png", false}, {"out.jpg", false}, {"out.tif", false}, {"out.dzi", false}, {"out.tif", true}}) {
        const std::string strOutput = pOutput;
        const bool bTiles = strOutput == "out.dzi";
        std::vector<std::string> arguments = GridOf("noise.png", strOutput);
        if (bPyramid)
            arguments.insert(arguments.end(), {"-extradata", "tiff", "pyramid", "true"});
        ASSERT_EQ(RunWith(arguments).exitStatus, 0);
        const std::string strNew = ReadFile(dir / strOutput);
        for (const std::string strPoint : {"composing", "produced", "replaced"}) {
            for (const int nSignal : {SIGHUP, SIGPIPE, SIGXFSZ, SIGQUIT, SIGTERM}) {
                SCOPED_TRACE(strOutput + (bPyramid ? " (pyramid)" : "") + " at " + strPoint + ", signal "
                             + std::to_string(nSignal));
                std::ofstream(dir / strOutput, std::ios::binary) << kOld;
                fs::remove_all(dir / "out_files");
                fs::create_directories(dir / "out_files/9");
                std::ofstream(dir / "out_files/9/old.jpg") << kOld;
                FILE* pOut = tmpfile();
                const TesscliRun run = Finish(Start(arguments, pOut, {"TESSCLI_TEST_STOP_AT=" + strPoint}), pOut,
                                              [&](pid_t pid) { kill(pid, nSignal); });
                const bool bReplaced = strPoint == "replaced" || nSignal == SIGPIPE;
                if (nSignal == SIGPIPE) {
                    EXPECT_EQ(run.exitStatus, 0);
                    EXPECT_THAT(TailOf(run), StartsWith("Operation finished in "));
                } else {
                    EXPECT_EQ(run.exitStatus, bReplaced ? 0 : 5);
                    EXPECT_EQ(TailOf(run), bReplaced ? "Interrupted after the output file was written."
                                                     : "Interrupted: the output file was not written.");
                }
                ExpectOutput(strOutput, bReplaced ? strNew : kOld);
                EXPECT_EQ(fs::exists(dir / "out_files/9/old.jpg"), !(bReplaced && bTiles));
                EXPECT_EQ(fs::exists(dir / "out_files/0/0_0.jpg"), bReplaced && bTiles);
            }
        }
    }
}

// Nobody reads the progress any more, from the start or half-way: the run ends as interrupted and
// its status still says so.
TEST_F(HostileTest, AClosedStandardOutputEndsTheRunAsInterrupted)
{
    Save(Noise(24, 24), dir / "noise.png");
    for (const std::string strPoint : {"", "composing"}) {
        SCOPED_TRACE(strPoint);
        std::ofstream(dir / "out.png", std::ios::binary) << kOld;
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        if (strPoint.empty())
            close(pipeEnds[0]);
        FILE* pWrite = fdopen(pipeEnds[1], "w");
        const pid_t pid = Start(GridOf("noise.png", "out.png"), pWrite, {"TESSCLI_TEST_STOP_AT=" + strPoint}, [&] {
            close(pipeEnds[0]);
            DefaultSignals();
        });
        fclose(pWrite);
        const std::function<void(pid_t)> closeReader = [&](pid_t) { close(pipeEnds[0]); };
        EXPECT_EQ(Finish(pid, nullptr, strPoint.empty() ? nullptr : closeReader).exitStatus, 5);
        ExpectOutput("out.png");
    }
}

// A file-size limit (ulimit -f) stops every writer: by its signal, as an interrupt; with the signal
// ignored, by the failed write (EFBIG, as on a full disk), which the streaming writers report. The
// old output stays as it was; a replaced output keeps its permissions.
TEST_F(HostileTest, AFileSizeLimitKeepsTheOldOutput)
{
    Save(Noise(300, 300), dir / "noise.png");
    for (const char* pArguments : {"-convert noise.png out.bmp", "-row noise.png noise.png -out out.bmp",
                                   "-row noise.png noise.png -out out.png", "-row noise.png noise.png -out out.jpg",
                                   "-row noise.png noise.png -out out.tif"}) {
        const std::string strOutput = Words(pArguments).back();
        for (const bool bIgnored : {false, true}) {
            SCOPED_TRACE(pArguments + std::string(bIgnored ? ", signal ignored" : ""));
            std::ofstream(dir / strOutput, std::ios::binary) << kOld;
            ASSERT_EQ(chmod((dir / strOutput).c_str(), 0640), 0);
            const TesscliRun run = RunLimited(Words(pArguments), 8 * 1024, bIgnored);
            EXPECT_EQ(run.exitStatus, 5) << run.standardOutput;
            if (!bIgnored) {
                EXPECT_EQ(TailOf(run), "Interrupted: the output file was not written.");
            } else if (strOutput != "out.bmp") {
                EXPECT_THAT(TailOf(run), StartsWith("    Cannot write " + dir / strOutput + ": "));
            }
            ExpectOutput(strOutput);
        }
        EXPECT_EQ(RunWith(Words(pArguments)).exitStatus, 0);
        EXPECT_EQ(fs::status(dir / strOutput).permissions(), fs::perms(0640));
        EXPECT_GT(fs::file_size(dir / strOutput), 8 * 1024u);
    }
}

// A link at the output stays a link and the file it leads to is replaced (or made) in its own
// folder; a FIFO at the output is refused by name and left alone, since writing would block and a
// rename would destroy it.
TEST_F(HostileTest, OutputLinksAreFollowedAndFifosRefused)
{
    Save(SolidImage(10, 10, {1, 2, 3}), dir / "tile.png");
    fs::create_directory(dir / "elsewhere");
    for (const char* pFifo : {"fifo.png", "fifo.tif"})
        ASSERT_EQ(mkfifo((dir / pFifo).c_str(), 0600), 0);
    // The run before its output, how it names the refused output, the extension and its signature.
    const std::tuple<const char*, std::string, std::string, std::string> runs[] = {
        {"-row tile.png tile.png -out ", dir / "fifo.png", ".png", "\x89PNG"},
        {"-convert tile.png ", "fifo.png", ".png", "\x89PNG"},
        {"-row tile.png tile.png -extradata tiff pyramid true -out ", dir / "fifo.tif", ".tif",
         std::string("II*\0", 4)}};
    for (const auto& [pArguments, strShownFifo, strExtension, strSignature] : runs) {
        for (const std::string strTarget : {"elsewhere/old", "elsewhere/new"}) {
            SCOPED_TRACE(pArguments + std::string(" to ") + strTarget + strExtension);
            std::ofstream(dir / ("elsewhere/old" + strExtension), std::ios::binary) << kOld;
            fs::create_symlink(strTarget + strExtension, dir / ("link" + strExtension));
            const TesscliRun run = RunWith(Words(pArguments + std::string("link") + strExtension));
            EXPECT_EQ(run.exitStatus, 0) << run.standardOutput;
            EXPECT_EQ(fs::read_symlink(dir / ("link" + strExtension)), strTarget + strExtension);
            EXPECT_EQ(ReadFile(dir / (strTarget + strExtension)).substr(0, 4), strSignature);
            EXPECT_EQ(HiddenFiles(dir / "elsewhere"), std::vector<std::string>());
            fs::remove(dir / ("link" + strExtension));
            fs::remove(dir / ("elsewhere/new" + strExtension));
        }
        const TesscliRun run = RunWith(Words(pArguments + std::string("fifo") + strExtension));
        EXPECT_EQ(run.exitStatus, 5);
        EXPECT_EQ(TailOf(run),
                  "    The output file " + strShownFifo + " is a FIFO, device or socket; it is left as it is");
        EXPECT_THAT(run.standardOutput, Not(HasSubstr("Creating image grid")));
        EXPECT_TRUE(fs::is_fifo(dir / ("fifo" + strExtension)));
        EXPECT_EQ(HiddenFiles(dir.Path()), std::vector<std::string>());
    }
}
