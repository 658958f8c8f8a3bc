#pragma once

#include "core/CombineProgress.h"
#include "core/TessaraSettings.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace Core {
class TessaraProcess;

// Runs the command-line compositor that lies beside the editor (or, failing that, on the search path).
class TessaraInterface
{
public:
    virtual ~TessaraInterface() = default;

    static QString GetTessaraExecutable();
    static QStringList GetCompoundArguments(const TessaraSettings* pSettings, const QString& strOutputFile);
    // The web page tesscli writes beside a DeepZoom output to view it; empty for any other output.
    static QString GetViewerPage(const QString& strOutputFile);

    using ProgressHandler = std::function<void(const CombineProgress&)>;

    // Composes while the GUI keeps processing events, calling onProgress whenever tesscli reports a
    // step; on failure GetLastError() holds the program's whole output (or why it could not start).
    bool CompoundImage(const TessaraSettings* pSettings, const QString& strOutputFile,
                       const ProgressHandler& onProgress = {});
    // Stops the running composition; CompoundImage then returns false with WasCancelled() set.
    void CancelCompound();
    bool WasCancelled() const { return m_cancelled; }
    // Converts one image synchronously; true exactly when the program exits with 0.
    // bAutoOrient turns the image upright from its EXIF orientation on the way (-autoorient).
    static bool ConvertImage(const QString& strSource, const QString& strTarget, bool bAutoOrient = false);

    const QString& GetLastError() const { return m_error; }
    // The paragraph of tesscli's output that says why it failed: the last one starting at the left
    // margin ("An error occurred while checking the output file:" and its indented lines); empty if none.
    static QString GetErrorBlock(const QString& strOutput);

private:
    QString m_error;
    TessaraProcess* m_running = nullptr;
    bool m_cancelled = false;
};

} // namespace Core
