// Times the streaming writer of OUTPUT's format (at its default options) on a generated RGB image,
// written in bands as the engine writes them, in wall and CPU seconds; with "magick" also
// ImageMagick writing the same pixels from one whole image.
//   encode_bench SIZE OUTPUT.png|OUTPUT.jpg [magick]
#include "codecs/StreamingWriters.h"

#include <Magick++.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {
// Smooth gradients with a little noise: compresses like a photographic mosaic, not like noise.
std::vector<uint8_t> MakeBand(int nWidth, int nFirstRow, int nRows)
{
    std::vector<uint8_t> band(static_cast<size_t>(nWidth) * nRows * 3);
    uint32_t nSeed = 12345u + nFirstRow;
    size_t i = 0;
    for (int nY = nFirstRow; nY < nFirstRow + nRows; ++nY) {
        for (int nX = 0; nX < nWidth; ++nX) {
            nSeed = nSeed * 1664525u + 1013904223u;
            const int nNoise = static_cast<int>(nSeed >> 29);
            band[i++] = static_cast<uint8_t>((nX / 8 + nNoise) & 0xff);
            band[i++] = static_cast<uint8_t>((nY / 8 + nNoise) & 0xff);
            band[i++] = static_cast<uint8_t>(((nX + nY) / 16 + (nX * nY >> 12)) & 0xff);
        }
    }
    return band;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// User and system time of every thread of the process so far.
double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long FileSize(const std::string& strPath)
{
    struct stat info
    {};
    return stat(strPath.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::printf("usage: encode_bench SIZE OUTPUT.png|OUTPUT.jpg [magick]\n");
        return 1;
    }
    const int nSize = std::atoi(argv[1]);
    const std::string strOutput = argv[2];
    const int nBandRows = 1000;
    const Codecs::RasterFormat format{nSize, nSize, 3, 8};

    // Bands are made before the clock starts: only encoding is timed.
    std::vector<std::vector<uint8_t>> bands;
    for (int nRow = 0; nRow < nSize; nRow += nBandRows)
        bands.push_back(MakeBand(nSize, nRow, std::min(nBandRows, nSize - nRow)));

    auto pWriter = Codecs::CreateStreamingWriter(strOutput, Codecs::OutputOptions{});
    const auto start = std::chrono::steady_clock::now();
    const double dCpuStart = CpuSeconds();
    bool bOk = pWriter && pWriter->Begin(strOutput, format);
    for (size_t nBand = 0; bOk && nBand < bands.size(); ++nBand)
        bOk =
            pWriter->WriteScanlines(bands[nBand].data(), static_cast<int>(bands[nBand].size() / format.BytesPerRow()));
    bOk = bOk && pWriter->End();
    if (!bOk) {
        std::printf("failed: %s\n", pWriter ? pWriter->GetLastError().c_str() : "no writer");
        return 1;
    }
    std::printf("streaming writer: %.2f s, cpu %.2f s, %.1f MiB\n", Seconds(start), CpuSeconds() - dCpuStart,
                FileSize(strOutput) / 1048576.0);

    if (argc > 3 && std::string(argv[3]) == "magick") {
        Magick::InitializeMagick(argv[0]);
        std::vector<uint8_t> pixels;
        for (const auto& band : bands)
            pixels.insert(pixels.end(), band.begin(), band.end());
        Magick::Image image(nSize, nSize, "RGB", Magick::CharPixel, pixels.data());
        image.depth(8);
        const std::string strMagick = strOutput + ".magick" + strOutput.substr(strOutput.rfind('.'));
        const auto magickStart = std::chrono::steady_clock::now();
        image.write(strMagick);
        std::printf("ImageMagick write: %.2f s, %.1f MiB\n", Seconds(magickStart), FileSize(strMagick) / 1048576.0);
        std::remove(strMagick.c_str());
    }
    return 0;
}
