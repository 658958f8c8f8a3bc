// Decodes image files through ImageMagick as the engine reads its tiles, one image at a time on
// each of THREADS threads, and prints the wall time: the decoding alone, with nothing composed.
//   tile_decode_bench THREADS FILE...
#include <Magick++.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s THREADS FILE...\n", argv[0]);
        return 2;
    }
    Magick::InitializeMagick(argv[0]);
    const int nThreads = std::max(1, std::atoi(argv[1]));
    const std::vector<std::string> files(argv + 2, argv + argc);
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < nThreads; ++i)
        threads.emplace_back([&] {
            for (size_t n = next++; n < files.size(); n = next++) {
                try {
                    Magick::Image image;
                    image.read(files[n]);
                } catch (const Magick::Exception& e) {
                    std::fprintf(stderr, "%s\n", e.what());
                    failed = true;
                }
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    std::printf("%zu images on %d thread(s): %.3f s\n", files.size(), nThreads,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return failed ? 1 : 0;
}
