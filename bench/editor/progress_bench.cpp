// Records the combine progress bar against time: runs tesscli through the editor's own interface on
// an 8x8 grid and prints the bar's value at a quarter, half and three quarters of the elapsed time.
// Usage: progress_bench <output file> <64 tile files...>
#include "core/TessaraCore.h"
#include "core/TessaraInterface.h"
#include "core/TessaraSettings.h"
#include "ui/MainWindowFactory.h"

#include <QElapsedTimer>

#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 66 || !Core::TessaraCore::CreateCore(1, argv, &UI::CreateMainWindow)
        || !Core::TessaraCore::s_instance->InitializeCore())
        return 1;
    Core::TessaraSettings settings;
    for (int r = 0; r < 8; ++r) {
        QStringList row;
        for (int c = 0; c < 8; ++c)
            row << QString::fromLocal8Bit(argv[2 + r * 8 + c]);
        settings.rows << row;
    }
    settings.flags |= Core::TessaraSettings::FlagRows;
    std::vector<std::pair<qint64, int>> samples;
    QElapsedTimer clock;
    clock.start();
    Core::TessaraInterface tesscli;
    const bool bDone =
        tesscli.CompoundImage(&settings, QString::fromLocal8Bit(argv[1]), [&](const Core::CombineProgress& progress) {
            samples.emplace_back(clock.elapsed(), progress.GetValue());
        });
    const qint64 nTotal = clock.elapsed();
    std::printf("8x8 combine %.1f s%s:", nTotal / 1000.0, bDone ? "" : " (failed)");
    for (int nQuarter = 1; nQuarter <= 3; ++nQuarter) {
        int nValue = 0;
        for (const auto& [nMs, nSample] : samples)
            if (nMs <= nTotal * nQuarter / 4)
                nValue = nSample;
        std::printf(" at %d%% of the time %.1f%%", nQuarter * 25, nValue / 10.0);
    }
    std::printf("\n");
    Core::TessaraCore::DestroyCore();
    return bDone ? 0 : 1;
}
