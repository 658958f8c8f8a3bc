#pragma once

#include "misc/Object.h"

#include <functional>
#include <string>

namespace Codecs {

// Writes an image so that an existing target survives a failed write: the image goes to a
// temporary file beside the target (same extension, so the same format) which replaces the
// target only once it is complete and on the disk; a replaced target's permissions are kept. A
// missing target directory is created, one level deep. An interrupted run removes the temporary.
// A symbolic link at the target stays a link: the file it leads to is replaced, in its own folder.
// A FIFO, device or socket at the target is refused and left alone.
class ReplacingFileWriter : public Object
{
public:
    explicit ReplacingFileWriter(const std::string& strTarget);

    // Makes the complete file at the temporary path it is given; false with a description.
    using Producer = std::function<bool(const std::string& strTemporary, std::string& strError)>;

    bool Write(const Producer& produce);

private:
    bool CreateTemporaryFile(std::string& strTemporary);
    bool ProduceAndReplace(const Producer& produce, const std::string& strTemporary);

    std::string m_target;
    // The file actually replaced: the target, or where its symbolic links lead.
    std::string m_replaced;
};

} // namespace Codecs
