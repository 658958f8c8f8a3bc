#include "core/TessaraInterface.h"

#include "misc/Guard.h"
#include "misc/AppDirectories.h"
#include "core/TessaraProcess.h"
#include "misc/FileUtils.h"

#include "TessaraContract.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

namespace Core {

namespace {
QString SwitchArgument(const char* pName)
{
    return QLatin1Char('-') + QLatin1String(pName);
}

void AppendColor(QStringList& astrArguments, const QColor& color)
{
    astrArguments << QString::number(color.red()) << QString::number(color.green()) << QString::number(color.blue());
}

// tesscli writes a stack as one band and a grid one row at a time, leaving out rows without images.
QList<int> ImagesPerBand(const TessaraSettings& settings)
{
    QList<int> bands = settings.GetImagesPerRow();
    bands.removeAll(0);
    if (settings.IsSet(TessaraSettings::FlagStackImages) && settings.stackImages && !bands.isEmpty())
        return {settings.GetImageCount()};
    return bands;
}
} // namespace

// Beside the editor first: a build folder and an install keep both programs together, and a build
// must run its own tesscli. Then the search path, which holds the bin folder of an install when the
// editor was started from elsewhere. Without either, the place beside the editor, which the failure
// message then names.
QString TessaraInterface::GetTessaraExecutable()
{
    const QString strName = QStringLiteral("tesscli");
    const QString strBeside = Misc::AppDirectories::ResolveFilename(strName);
    if (QFileInfo(strBeside).isExecutable())
        return strBeside;
    const QString strOnPath = QStandardPaths::findExecutable(strName);
    return strOnPath.isEmpty() ? strBeside : strOnPath;
}

QStringList TessaraInterface::GetCompoundArguments(const TessaraSettings* pSettings, const QString& strOutputFile)
{
    return GUARD_RUN([&] {
        QStringList astrArguments;
        for (const QStringList& astrRow : pSettings->rows)
            if (!astrRow.isEmpty())
                astrArguments << SwitchArgument(Contract::Switch::kRow) << astrRow;

        if (!strOutputFile.isEmpty())
            astrArguments << SwitchArgument(Contract::Switch::kOut) << strOutputFile;

        if (pSettings->IsSet(TessaraSettings::FlagRegion))
            astrArguments << SwitchArgument(Contract::Switch::kRegionSize) << QString::number(pSettings->regionWidth)
                          << QString::number(pSettings->regionHeight);
        else if (pSettings->IsSet(TessaraSettings::FlagOverlap))
            astrArguments << SwitchArgument(Contract::Switch::kOverlap) << QString::number(pSettings->overlap);

        if (pSettings->IsSet(TessaraSettings::FlagBackground)) {
            astrArguments << SwitchArgument(Contract::Switch::kBgColor);
            AppendColor(astrArguments, pSettings->background);
        }
        if (pSettings->IsSet(TessaraSettings::FlagTransparency)) {
            astrArguments << SwitchArgument(Contract::Switch::kTransparent);
            AppendColor(astrArguments, pSettings->transparency);
        }
        if (pSettings->IsSet(TessaraSettings::FlagStackImages) && pSettings->stackImages)
            astrArguments << SwitchArgument(Contract::Switch::kStack);
        if (pSettings->IsSet(TessaraSettings::FlagAutoOrient) && pSettings->autoOrient)
            astrArguments << SwitchArgument(Contract::Switch::kAutoOrient);
        return astrArguments;
    });
}

QString TessaraInterface::GetViewerPage(const QString& strOutputFile)
{
    const QFileInfo output(strOutputFile);
    if (QLatin1Char('.') + output.suffix().toLower() != QLatin1String(Contract::DeepZoom::kDescriptorExtension))
        return QString();
    return output.dir().filePath(output.completeBaseName() + QLatin1String(Contract::DeepZoom::kViewerPageExtension));
}

bool TessaraInterface::CompoundImage(const TessaraSettings* pSettings, const QString& strOutputFile,
                                     const ProgressHandler& onProgress)
{
    return GUARD_RUN([&] {
        TessaraProcess process;
        CombineProgress progress(ImagesPerBand(*pSettings));
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&process, &TessaraProcess::Sig_Output, [&](const QByteArray& output) {
            if (progress.Feed(output, clock.elapsed()) && onProgress)
                onProgress(progress);
        });
        // Between lines the estimate moves on by itself, so that a long band does not look stuck.
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            if (progress.Advance(clock.elapsed()) && onProgress)
                onProgress(progress);
        });
        ticker.start(250);
        m_cancelled = false;
        m_running = &process;
        process.Run(GetTessaraExecutable(), GetCompoundArguments(pSettings, strOutputFile));
        m_running = nullptr;

        // A program that completed before the cancel reached it has still written the image.
        const bool bSuccess = process.GetResultCode() == Contract::ExitSuccess;
        m_cancelled = process.WasCancelled() && !bSuccess;
        if (!bSuccess)
            m_error = process.GetOutputText();
        return bSuccess;
    });
}

QString TessaraInterface::GetErrorBlock(const QString& strOutput)
{
    // Steps are headings ending in "..." with their lines indented below; what went wrong is the
    // heading after the last step, with its lines.
    static const QRegularExpression s_blankLines(QStringLiteral("\\n(?:[ \\t]*\\n)+"));
    const QStringList astrBlocks = strOutput.split(s_blankLines, Qt::SkipEmptyParts);
    for (auto it = astrBlocks.crbegin(); it != astrBlocks.crend(); ++it) {
        const QString strHeading = it->section(QLatin1Char('\n'), 0, 0).trimmed();
        if (strHeading.endsWith(QStringLiteral("...")))
            break;
        if (!strHeading.isEmpty() && !it->front().isSpace() && !strHeading.startsWith(QLatin1Char('>')))
            return it->trimmed();
    }
    return QString();
}

void TessaraInterface::CancelCompound()
{
    if (m_running)
        m_running->Cancel();
}

bool TessaraInterface::ConvertImage(const QString& strSource, const QString& strTarget, bool bAutoOrient)
{
    return GUARD_RUN([&] {
        // tesscli would wait forever on a FIFO, and the editor waits for tesscli.
        if (!Misc::IsRegularFile(strSource))
            return false;
        // execute() forwards the child's output to ours and reports a failed start or a crash as negative.
        QStringList astrArguments{SwitchArgument(Contract::Switch::kConvert), strSource, strTarget};
        if (bAutoOrient)
            astrArguments << SwitchArgument(Contract::Switch::kAutoOrient);
        return QProcess::execute(GetTessaraExecutable(), astrArguments) == Contract::ExitSuccess;
    });
}

} // namespace Core
