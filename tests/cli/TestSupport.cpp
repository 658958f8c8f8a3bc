#include "TestSupport.h"

#include <magick/MagickCore.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

namespace TestSupport {

using Codecs::TileRaster;
using Outcome = Codecs::TileDecoder::Outcome;

Outcome DecodeDirectly(const std::string& strFile, const Codecs::TileExpectation& expected, TileRaster& raster)
{
    std::unique_ptr<Codecs::TileDecoder> decoder = Codecs::ChooseTileDecoder(strFile);
    if (decoder)
        return decoder->Decode(expected, raster);
    ADD_FAILURE() << "no decoder chosen for " << strFile;
    return Outcome::LeftToImageMagick;
}

void ExpectAsMagickReads(const std::string& strFile, const TileRaster& raster, int nOrientation)
{
    Magick::Image image;
    image.read(strFile);
    if (nOrientation) {
        EXPECT_EQ(image.orientation(), Magick::OrientationType(nOrientation));
    }
    ASSERT_EQ(static_cast<size_t>(raster.width), image.columns());
    ASSERT_EQ(static_cast<size_t>(raster.height), image.rows());
    const bool bGrey = raster.channels <= 2, bAlpha = raster.channels % 2 == 0;
    EXPECT_EQ(bGrey,
              image.colorSpace() == Magick::GRAYColorspace || image.colorSpace() == MagickCore::LinearGRAYColorspace)
        << "grey";
    EXPECT_EQ(bAlpha, image.matte()) << "alpha";
    const unsigned nRange = (1u << MAGICKCORE_QUANTUM_DEPTH) - 1;
    const Magick::PixelPacket* pPixels = image.getConstPixels(0, 0, image.columns(), image.rows());
    int nMismatches = 0;
    for (int nY = 0; nY < raster.height; ++nY)
        for (int nX = 0; nX < raster.width; ++nX, ++pPixels) {
            const unsigned actual[] = {raster.Quantum(nX, nY, 0), raster.Quantum(nX, nY, bGrey ? 0 : 1),
                                       raster.Quantum(nX, nY, bGrey ? 0 : 2),
                                       bAlpha ? raster.Quantum(nX, nY, raster.channels - 1) : nRange};
            const unsigned expected[] = {pPixels->red, pPixels->green, pPixels->blue,
                                         image.matte() ? nRange - pPixels->opacity : nRange};
            for (int c = 0; c < 4; ++c)
                if (actual[c] != expected[c] && nMismatches++ < 3)
                    ADD_FAILURE() << strFile << " (" << nX << "," << nY << ") channel " << c << ": " << actual[c]
                                  << " instead of " << expected[c];
        }
    EXPECT_EQ(nMismatches, 0) << strFile;
}

void ExpectRefused(const std::string& strFile, const Codecs::TileExpectation& expected, const std::string& strReason)
{
    std::unique_ptr<Codecs::TileDecoder> decoder = Codecs::ChooseTileDecoder(strFile);
    ASSERT_NE(decoder, nullptr) << strFile;
    TileRaster raster;
    EXPECT_EQ(decoder->Decode(expected, raster), Outcome::Refused) << strReason;
    EXPECT_NE(decoder->GetLastError().find(strFile), std::string::npos) << decoder->GetLastError();
    EXPECT_NE(decoder->GetLastError().find(strReason), std::string::npos) << decoder->GetLastError();
    EXPECT_EQ(raster.data, nullptr) << strReason;
}

void ExpectSameSamplesOnThreads(const std::vector<std::pair<std::string, Codecs::TileExpectation>>& files, int nRounds)
{
    std::vector<TileRaster> alone(files.size());
    for (size_t i = 0; i < files.size(); ++i)
        ASSERT_EQ(DecodeDirectly(files[i].first, files[i].second, alone[i]), Outcome::Decoded) << files[i].first;
    std::vector<int> different(4);
    std::vector<std::thread> threads;
    for (size_t nThread = 0; nThread < different.size(); ++nThread)
        threads.emplace_back([&, nThread] {
            for (int nRound = 0; nRound < nRounds; ++nRound)
                for (size_t i = 0; i < files.size(); ++i) {
                    const size_t n = (i + nThread * 7) % files.size(); // each thread in its own order
                    TileRaster raster;
                    different[nThread] +=
                        Codecs::ChooseTileDecoder(files[n].first)->Decode(files[n].second, raster) != Outcome::Decoded
                        || raster.ByteSize() != alone[n].ByteSize()
                        || std::memcmp(raster.data.get(), alone[n].data.get(), raster.ByteSize());
                }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(different, std::vector<int>(different.size(), 0));
}

Magick::Image ImageOf(int nWidth, int nHeight, const std::function<Rgba(int, int)>& pixelAt)
{
    std::vector<unsigned char> bytes;
    bool bAlpha = false;
    for (int nY = 0; nY < nHeight; ++nY) {
        for (int nX = 0; nX < nWidth; ++nX) {
            const Rgba pixel = pixelAt(nX, nY);
            for (unsigned nComponent : {pixel.red, pixel.green, pixel.blue, pixel.alpha})
                bytes.push_back(static_cast<unsigned char>(nComponent));
            bAlpha |= pixel.alpha != 255;
        }
    }
    Magick::Image image(nWidth, nHeight, "RGBA", Magick::CharPixel, bytes.data());
    image.matte(bAlpha);
    image.depth(8);
    return image;
}

Rgba PixelAt(Magick::Image image, int nX, int nY)
{
    unsigned char rgba[4];
    image.write(nX, nY, 1, 1, "RGBA", Magick::CharPixel, rgba);
    // Without an alpha channel, the library leaves whatever it likes in the alpha slot.
    return Rgba{rgba[0], rgba[1], rgba[2], image.matte() ? rgba[3] : 255u};
}

void ExpectSamePixels(const Magick::Image& expected, const Magick::Image& actual)
{
    ASSERT_EQ(actual.size(), expected.size());
    // All 16 bits, so that a 16-bit result rounded to 8 bits shows; fully transparent pixels are equal
    // whatever colour they keep.
    auto samples = [](Magick::Image image) {
        std::vector<uint16_t> rgba(image.columns() * image.rows() * 4);
        image.write(0, 0, image.columns(), image.rows(), "RGBA", Magick::ShortPixel, rgba.data());
        for (size_t n = 0; n < rgba.size(); n += 4) {
            if (!image.matte())
                rgba[n + 3] = 65535;
            else if (rgba[n + 3] == 0)
                std::fill_n(&rgba[n], 3, 0);
        }
        return rgba;
    };
    const std::vector<uint16_t> want = samples(expected), got = samples(actual);
    const size_t n = std::mismatch(want.begin(), want.end(), got.begin()).first - want.begin();
    const size_t nPixel = n / 4, nWidth = expected.columns();
    ASSERT_EQ(n, want.size()) << "first difference at (" << nPixel % nWidth << ", " << nPixel / nWidth << ") in sample "
                              << n % 4 << ": expected " << want[n] << ", got " << got[n];
}

bool WriteInBands(Codecs::ScanlineWriter& writer, const std::string& strPath, const Codecs::RasterFormat& format,
                  const std::vector<uint8_t>& raster)
{
    if (!writer.Begin(strPath, format))
        return false;
    for (int nRow = 0, nBand = 5; nRow < format.height; nRow += nBand, nBand = nBand * 2 + 1)
        if (!writer.WriteScanlines(&raster[format.BytesPerRow() * nRow], std::min(nBand, format.height - nRow)))
            return false;
    return writer.End();
}

::testing::AssertionResult Streamed(const std::string& strPath, const Codecs::OutputOptions& options,
                                    const Codecs::RasterFormat& format, const std::vector<uint8_t>& raster)
{
    auto pWriter = Codecs::CreateStreamingWriter(strPath, options);
    if (!pWriter)
        return ::testing::AssertionFailure() << "no writer";
    if (!WriteInBands(*pWriter, strPath, format, raster))
        return ::testing::AssertionFailure() << pWriter->GetLastError();
    return ::testing::AssertionSuccess();
}

std::string BigEndian(uint32_t nValue)
{
    return {char(nValue >> 24), char(nValue >> 16), char(nValue >> 8), char(nValue)};
}

std::string Deflated(const std::string& strRaw)
{
    uLongf nSize = compressBound(uLong(strRaw.size()));
    std::string strDeflated(nSize, '\0');
    compress(reinterpret_cast<Bytef*>(&strDeflated[0]), &nSize, reinterpret_cast<const Bytef*>(strRaw.data()),
             uLong(strRaw.size()));
    return strDeflated.substr(0, nSize);
}

std::string PngChunk(const std::string& strType, const std::string& strData)
{
    const std::string strTyped = strType + strData;
    const uLong nCrc = crc32(0, reinterpret_cast<const Bytef*>(strTyped.data()), uInt(strTyped.size()));
    return BigEndian(uint32_t(strData.size())) + strTyped + BigEndian(uint32_t(nCrc));
}

std::string PngFile(const std::string& strHeader, const std::string& strBeforeData, const std::string& strData,
                    bool bEnded)
{
    return "\x89PNG\r\n\x1a\n" + PngChunk("IHDR", strHeader) + strBeforeData + PngChunk("IDAT", strData)
           + (bEnded ? PngChunk("IEND", "") : "");
}

std::string Layout(const Data::DataSetInputFiles& files, const std::string& strDir)
{
    std::string strLayout;
    for (const Data::InputFile& entry : files.GetEntries()) {
        std::string strName = entry.empty ? "<empty>" : entry.fileName;
        if (!strDir.empty() && strName.rfind(strDir + "/", 0) == 0)
            strName.replace(0, strDir.size(), ".");
        strLayout += (strLayout.empty() ? "" : " ") + strName;
        if (entry.row >= 0 || entry.column >= 0)
            strLayout += "@" + std::to_string(entry.row) + "," + std::to_string(entry.column);
        if (entry.index >= 0)
            strLayout += "#" + std::to_string(entry.index);
    }
    return strLayout;
}

std::vector<std::string> HiddenFiles(const std::filesystem::path& directory)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        if (entry.path().filename().string()[0] == '.')
            names.push_back(entry.path().filename().string());
    return names;
}

Sandbox::Sandbox()
{
    std::string strTemplate = (std::filesystem::temp_directory_path() / "tesscli-test-XXXXXX").string();
    m_path = std::filesystem::canonical(mkdtemp(strTemplate.data()));
}

Sandbox::~Sandbox()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

ArgumentTable::ArgumentTable(const std::vector<std::string>& arguments)
{
    std::vector<const char*> argv{"tesscli"};
    for (const std::string& strArg : arguments)
        argv.push_back(strArg.c_str());
    Initialize(static_cast<int>(argv.size()), argv.data());
}

std::string ReadAndClose(FILE* pFile)
{
    std::string strText;
    rewind(pFile);
    char buffer[4096];
    for (size_t nRead; (nRead = fread(buffer, 1, sizeof(buffer), pFile)) > 0;)
        strText.append(buffer, nRead);
    fclose(pFile);
    return strText;
}

pid_t StartTesscli(const std::vector<std::string>& arguments, const std::string& strWorkDir,
                   const std::vector<std::string>& extraEnvironment, FILE* pOut, FILE* pErr,
                   const std::function<void()>& inChild)
{
    std::vector<char*> argv{const_cast<char*>(TESSCLI_EXE)};
    for (const std::string& strArg : arguments)
        argv.push_back(const_cast<char*>(strArg.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("cannot fork");
    if (pid == 0) {
        dup2(fileno(pOut), STDOUT_FILENO);
        if (pErr)
            dup2(fileno(pErr), STDERR_FILENO);
        if (!strWorkDir.empty() && chdir(strWorkDir.c_str()) != 0)
            _exit(127);
        for (const std::string& strEntry : extraEnvironment)
            putenv(const_cast<char*>(strEntry.c_str()));
        // A run that hangs (blocked on a FIFO, say) is killed and fails its own case, not the suite.
        alarm(60);
        if (inChild)
            inChild();
        execv(TESSCLI_EXE, argv.data());
        _exit(127);
    }
    return pid;
}

TesscliRun TesscliTest::Run(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment) const
{
    // Files rather than pipes: the child can never block on a pipe that nobody is reading yet.
    FILE* pOut = tmpfile();
    FILE* pErr = tmpfile();
    if (!pOut || !pErr)
        throw std::runtime_error("cannot create capture files");
    int nStatus = 0;
    waitpid(StartTesscli(arguments, dir.Path().string(), environment, pOut, pErr), &nStatus, 0);
    return TesscliRun{ReadAndClose(pOut), ReadAndClose(pErr), WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1};
}

std::string MagickSetupText()
{
    // The version of the library the tests are linked with, which tesscli runs with too.
    return "Initializing ImageMagick...\n    Library version: " MagickLibVersionText MagickLibAddendum
           "\n    Configuration directory: "
           + std::filesystem::canonical(TESSCLI_EXE).parent_path().string() + "/ImConfig\n\n";
}

} // namespace TestSupport
