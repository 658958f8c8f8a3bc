// Decodes image files as the engine reads its tiles, one image at a time on each of THREADS
// threads, and prints the wall time: the decoding alone, with nothing composed. ImageMagick reads
// every file; with --direct the direct decoders read those the chooser gives them (the rest, and
// any they leave, still go to ImageMagick).
//   tile_decode_bench [--direct] THREADS FILE...
#include "codecs/TileDecoders.h"

#include <Magick++.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {
bool ReadWithMagick(const std::string& strFile)
{
    try {
        Magick::Image image;
        image.read(strFile);
        return true;
    } catch (const Magick::Exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return false;
    }
}
} // namespace

int main(int argc, char** argv)
{
    const bool bDirect = argc > 1 && std::strcmp(argv[1], "--direct") == 0;
    if (argc < 3 + bDirect) {
        std::fprintf(stderr, "usage: %s [--direct] THREADS FILE...\n", argv[0]);
        return 2;
    }
    Magick::InitializeMagick(argv[0]);
    const int nThreads = std::max(1, std::atoi(argv[1 + bDirect]));
    const std::vector<std::string> files(argv + 2 + bDirect, argv + argc);
    // The sizes the engine's pings would find, taken before the clock starts.
    std::vector<Codecs::TileExpectation> expected(files.size());
    for (size_t n = 0; bDirect && n < files.size(); ++n) {
        Magick::Image image;
        image.ping(files[n]);
        expected[n] = {static_cast<int>(image.columns()), static_cast<int>(image.rows()), 1ull << 40};
    }
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::atomic<size_t> direct{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < nThreads; ++i)
        threads.emplace_back([&] {
            for (size_t n = next++; n < files.size(); n = next++) {
                std::unique_ptr<Codecs::TileDecoder> decoder = bDirect ? Codecs::ChooseTileDecoder(files[n]) : nullptr;
                Codecs::TileRaster raster;
                const auto outcome =
                    decoder ? decoder->Decode(expected[n], raster) : Codecs::TileDecoder::Outcome::LeftToImageMagick;
                if (outcome == Codecs::TileDecoder::Outcome::Decoded)
                    ++direct;
                else if (outcome == Codecs::TileDecoder::Outcome::Refused || !ReadWithMagick(files[n]))
                    failed = true;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    std::printf("%zu images on %d thread(s), %zu by a direct decoder: %.3f s\n", files.size(), nThreads, direct.load(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return failed ? 1 : 0;
}
