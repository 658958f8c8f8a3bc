// Inputs and conditions an attacker, a full disk or an impatient user bring: tesscli must end
// with a message and a status, keep the old output and leave nothing behind.
#include "TestSupport.h"

#include <csignal>
#include <cstdint>
#include <fstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {
std::string BigEndian(uint32_t nValue)
{
    return {char(nValue >> 24), char(nValue >> 16), char(nValue >> 8), char(nValue)};
}

std::string PngChunk(const std::string& strType, const std::string& strData)
{
    const std::string strTyped = strType + strData;
    const uLong nCrc = crc32(0, reinterpret_cast<const Bytef*>(strTyped.data()), uInt(strTyped.size()));
    return BigEndian(uint32_t(strData.size())) + strTyped + BigEndian(uint32_t(nCrc));
}

// A PNG of a few dozen bytes that claims nWidth x nHeight RGB pixels and holds none (its image data
// is an empty zlib stream).
std::string PngClaiming(uint32_t nWidth, uint32_t nHeight)
{
    const std::string strHeader = BigEndian(nWidth) + BigEndian(nHeight) + std::string("\x08\x02\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", strHeader)
           + PngChunk("IDAT", std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8)) + PngChunk("IEND", "");
}

// Names of the hidden temporary files the replacing writer creates ("." + name + "-XXXXXX.ext").
std::vector<std::string> HiddenFiles(const fs::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory))
        if (entry.path().filename().string()[0] == '.')
            names.push_back(entry.path().filename().string());
    return names;
}

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

    std::string TailOf(const TesscliRun& run) const
    {
        const size_t nEnd = run.standardOutput.find_last_not_of('\n');
        const size_t nStart = run.standardOutput.rfind('\n', nEnd);
        return run.standardOutput.substr(nStart + 1, nEnd - nStart);
    }
};
} // namespace

TEST_F(HostileTest, ImagesClaimingTooManyPixelsAreRefusedBeforeDecoding)
{
    std::ofstream(dir / "bomb.png", std::ios::binary) << PngClaiming(100000, 100000);
    Save(SolidImage(10, 10, {1, 2, 3}), dir / "tile.png");
    auto refusal = [](const std::string& strFile, const char* pSize, const char* pLimit) {
        return std::string("    The image ") + strFile + " declares " + pSize + " pixels, more than the limit of "
               + pLimit + " pixels per image (set TESSCLI_MAX_IMAGE_PIXELS to raise it)";
    };
    // The limit (empty: the default), the run, and how it must end.
    auto expect = [&](const char* pLimit, const std::vector<std::string>& arguments, const std::string& strTail) {
        const TesscliRun run = RunWith(arguments, {std::string("TESSCLI_MAX_IMAGE_PIXELS=") + pLimit});
        const bool bDone = strTail.rfind("Converting", 0) == 0;
        EXPECT_EQ(run.exitStatus, bDone ? 0 : 5) << run.standardOutput;
        EXPECT_EQ(TailOf(run), strTail);
        EXPECT_EQ(fs::exists(dir / "out.png"), bDone);
    };
    expect("", {"-row", "tile.png", "bomb.png", "-out", "out.png"},
           refusal(dir / "bomb.png", "100000x100000", "1000000000"));
    expect("", {"-convert", "bomb.png", "out.png"}, refusal("bomb.png", "100000x100000", "1000000000"));
    expect("99", {"-row", "tile.png", "-row", "tile.png", "-out", "out.png"}, refusal(dir / "tile.png", "10x10", "99"));
    expect("100", {"-convert", "tile.png", "out.png"}, "Converting 'tile.png' to 'out.png'... done");
}

// A FIFO would block the reader forever; a dangling link used to be reported as a security policy.
TEST_F(HostileTest, InputsThatAreNoRegularFileAreRefusedByName)
{
    Save(SolidImage(10, 10, {1, 2, 3}), dir / "tile.png");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.png");
    fs::create_symlink(dir / "gone.png", dir / "dangling.png");
    struct Kind
    {
        const char* name;
        std::string message;
    };
    const Kind kinds[] = {
        {"fifo", " is not a regular file"},
        {"folder.png", " is not a regular file"},
        {"dangling.png", " is a symbolic link to a file that does not exist"},
    };
    for (const Kind& k : kinds) {
        const std::string strPath = dir / k.name;
        const TesscliRun cell = RunWith({"-row", "tile.png", k.name, "-out", "out.png"});
        EXPECT_EQ(cell.exitStatus, 5) << k.name;
        EXPECT_EQ(TailOf(cell), "    The file " + strPath + k.message) << k.name;

        const TesscliRun convert = RunWith({"-convert", k.name, "out.png"});
        EXPECT_EQ(convert.exitStatus, 5) << k.name;
        EXPECT_EQ(TailOf(convert), std::string("    The file ") + k.name + k.message) << k.name;

        const TesscliRun project = RunWith({"-project", k.name});
        EXPECT_EQ(project.exitStatus, 4) << k.name;
        EXPECT_EQ(TailOf(project), std::string("    The file ") + k.name + k.message) << k.name;
        EXPECT_FALSE(fs::exists(dir / "out.png")) << k.name;
    }
}

// A write that fails half-way (here at a file-size limit, as on a full disk) leaves the old
// output as it was; a replaced output keeps its permissions.
TEST_F(HostileTest, BothWritersReplaceTheOutputOnlyWhenComplete)
{
    Save(ImageOf(300, 300,
                 [](int nX, int nY) {
                     return Rgba{unsigned(nX * nY % 251), unsigned(nX % 256), 9};
                 }),
         dir / "noise.png");
    const std::vector<std::string> writers[] = {{"-convert", "noise.png", "out.bmp"},
                                                {"-row", "noise.png", "noise.png", "-out", "out.bmp"}};
    for (const auto& arguments : writers) {
        SCOPED_TRACE(arguments[0]);
        std::ofstream(dir / "out.bmp", std::ios::binary) << "the old output";
        ASSERT_EQ(chmod((dir / "out.bmp").c_str(), 0640), 0);

        // The limit and the ignored signal pass on to the child; the write then fails with EFBIG.
        rlimit previous;
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = 64 * 1024;
        auto previousHandler = signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limited);
        const TesscliRun full = RunWith(arguments);
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, previousHandler);
        EXPECT_EQ(full.exitStatus, 5) << full.standardOutput;
        EXPECT_EQ(ReadFile(dir / "out.bmp"), "the old output");
        EXPECT_EQ(HiddenFiles(dir.Path()), std::vector<std::string>());

        const TesscliRun run = RunWith(arguments);
        EXPECT_EQ(run.exitStatus, 0) << run.standardOutput;
        struct stat status;
        ASSERT_EQ(stat((dir / "out.bmp").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0640u);
        EXPECT_GT(status.st_size, 64 * 1024);
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
    const TesscliRun run =
        Run({"-row", "tile.png", "tile.png", "-out", "out.bmp"},
            {"TMPDIR=" + strSmall, "MAGICK_AREA_LIMIT=1KB", "MAGICK_MEMORY_LIMIT=1KB", "MAGICK_MAP_LIMIT=1KB"});
    const bool bEmptied = fs::is_empty(strSmall);
    umount(strSmall.c_str());
    EXPECT_EQ(run.exitStatus, 5);
    const std::string strExpected =
        "    The temporary folder is full: the compound image of 200x100 pixels (156.2KiB) does not fit in it";
    EXPECT_EQ(TailOf(run).substr(0, strExpected.size()), strExpected) << run.standardOutput;
    EXPECT_TRUE(bEmptied);
}

namespace {
// tesscli running in the background, its output collected in a file that can be read meanwhile.
class BackgroundRun
{
public:
    BackgroundRun(const std::vector<std::string>& arguments, const fs::path& workDir, const std::string& strTmp)
        : m_output(workDir / "run.out")
    {
        FILE* pOut = fopen(m_output.c_str(), "w");
        m_pid = StartTesscli(arguments, workDir.string(), {"TMPDIR=" + strTmp}, pOut, nullptr);
        fclose(pOut);
    }
    ~BackgroundRun()
    {
        if (!m_waited)
            kill(m_pid, SIGKILL), Wait();
        fs::remove(m_output);
    }

    std::string Output() const { return ReadFile(m_output); }
    // Stops the process as soon as bReady() holds; false when it ended first.
    bool StopWhen(const std::function<bool()>& bReady)
    {
        while (!bReady()) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_waited = true;
                return false;
            }
            usleep(1000);
        }
        kill(m_pid, SIGSTOP);
        return true;
    }
    // Delivers the signal to the stopped process, lets it go on and returns its exit status.
    int Interrupt(int nSignal)
    {
        kill(m_pid, nSignal);
        kill(m_pid, SIGCONT);
        return Wait();
    }

private:
    int Wait()
    {
        int nStatus = 0;
        waitpid(m_pid, &nStatus, 0);
        m_waited = true;
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }

    fs::path m_output;
    pid_t m_pid = -1;
    bool m_waited = false;
};
} // namespace

// The editor cancels a run with SIGTERM: the old output stays byte for byte, the half-written
// file and ImageMagick's caches go, and the status says the run failed.
TEST_F(HostileTest, InterruptedRunsKeepTheOldOutputAndLeaveNothingBehind)
{
    Save(ImageOf(1200, 1200,
                 [](int nX, int nY) {
                     return Rgba{unsigned(nX * nY % 251), unsigned(nX % 256), 9};
                 }),
         dir / "noise.png");
    std::ofstream(dir / "out.png", std::ios::binary) << "the old output";
    const std::vector<std::string> arguments = {"-row", "noise.png", "noise.png", "noise.png",
                                                "-row", "noise.png", "noise.png", "noise.png",
                                                "-out", "out.png",   "-quality",  "95"};
    struct Case
    {
        const char* name;
        int signal;
        std::function<bool(const BackgroundRun&)> ready;
    };
    const Case cases[] = {
        {"while composing", SIGINT,
         [](const BackgroundRun& run) { return run.Output().find("Combining images... [*") != std::string::npos; }},
        // The last band is still being encoded, into the hidden file, when saving begins.
        {"while saving", SIGTERM,
         [this](const BackgroundRun& run) {
             return run.Output().find("    Saving to") != std::string::npos && !HiddenFiles(dir.Path()).empty();
         }},
    };
    for (const Case& c : cases) {
        BackgroundRun run(arguments, dir.Path(), dir / "tmp");
        ASSERT_TRUE(run.StopWhen([&] { return c.ready(run); })) << c.name << ": the run ended too early";
        if (c.signal == SIGTERM) {
            ASSERT_FALSE(HiddenFiles(dir.Path()).empty()) << c.name << ": stopped after the rename";
        }
        EXPECT_EQ(run.Interrupt(c.signal), 5) << c.name;
        const std::string strOutput = run.Output();
        EXPECT_EQ(strOutput.substr(strOutput.rfind('\n', strOutput.size() - 2)),
                  "\nInterrupted: the output file was not written.\n")
            << c.name;
        EXPECT_EQ(ReadFile(dir / "out.png"), "the old output") << c.name;
        EXPECT_EQ(HiddenFiles(dir.Path()), std::vector<std::string>()) << c.name;
        EXPECT_TRUE(fs::is_empty(dir / "tmp")) << c.name;
    }
}
