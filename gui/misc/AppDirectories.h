#pragma once

#include <QString>

namespace Misc {

// Where the editor keeps its options, working files and error log. A copy that runs from a writable
// folder of its own (the build folder, an unpacked archive) keeps them beside its executable; an
// installed editor, whose bin folder is shared and often read-only, uses the user's XDG folders, so
// the options of an installed editor and of a build never mix.
class AppDirectories
{
public:
    // True for a writable strAppDir that is not the bin folder of an install (no data folder beside).
    static bool KeepsFilesBeside(const QString& strAppDir);

    // strFileName relative to the editor's directory (an absolute name comes back unchanged).
    static QString ResolveFilename(const QString& strFileName);
    // strFileName inside strSubDirectory of the editor's directory.
    static QString ResolveFilename(const QString& strFileName, const QString& strSubDirectory);
    // A file shipped with the programs: beside the executable in a build, in the data folder when installed.
    static QString ResolveDataFile(const QString& strFileName);

    // Holds "Tessara.cfg".
    static QString GetConfigDir();
    // The cell model's temporary conversions.
    static QString GetTempDir();
    // Beside the executable, or in the config folder of an installed editor.
    static QString GetErrorLogFile();
};

} // namespace Misc
