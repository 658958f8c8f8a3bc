#pragma once

#include "core/TessaraSettings.h"

#include <QString>
#include <QStringList>

namespace Core
{

// Runs the command-line compositor that lies beside the editor (or, failing that, on the search path).
class TessaraInterface
{
public:
    virtual ~TessaraInterface() = default;

    static QString GetTessaraExecutable();
    static QStringList GetCompoundArguments(const TessaraSettings* pSettings, const QString& strOutputFile);

    // Composes on a worker thread while the GUI keeps processing events; on failure
    // GetLastError() holds the program's whole output (or why it could not start).
    bool CompoundImage(const TessaraSettings* pSettings, const QString& strOutputFile);
    // Converts one image synchronously; true exactly when the program exits with 0.
    static bool ConvertImage(const QString& strSource, const QString& strTarget);

    const QString& GetLastError() const { return m_strError; }

private:
    QString m_strError;
};

}  // namespace Core
