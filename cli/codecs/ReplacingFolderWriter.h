#pragma once

#include "codecs/ReplacingFileWriter.h"

#include <string>

namespace Codecs {

// Writes an output made of several entries (a DeepZoom descriptor and its tiles folder, a
// pyramidal TIFF and the levels spooled beside it) so that an old one survives a failed write:
// everything is built in a hidden folder beside the target, ".<name>-XXXXXX", and only once it is
// complete are its entries moved beside the target, the target's name last. Entries whose names
// start with a dot stay behind (spools). A folder replaces an old one of its name in one atomic
// exchange, so the old pyramid stays whole until the new one is; the hidden folder, then holding
// what was replaced, is removed at the end, and by the interrupt clean-up if the run is stopped.
// A symbolic link at the target is followed, as ReplacingFileWriter does.
class ReplacingFolderWriter : public Object
{
public:
    explicit ReplacingFolderWriter(const std::string& strTarget);

    // The producer gets the target's path inside the hidden folder.
    bool Write(const ReplacingFileWriter::Producer& produce);

private:
    bool CreateHiddenFolder(std::string& strFolder);
    bool ProduceAndMove(const ReplacingFileWriter::Producer& produce, const std::string& strFolder);
    bool MoveEntries(const std::string& strFolder);

    std::string m_target;
};

} // namespace Codecs
