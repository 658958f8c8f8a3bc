#pragma once

#include <string>

namespace Misc {

// Refuses an input that exists but is no regular file (a FIFO would block its reader forever, a
// device or folder cannot be an image or project) and a symbolic link to nothing. A path that does
// not exist at all passes: the reader reports it in its own words. False with a message.
bool CheckRegularFile(const std::string& strPath, std::string& strError);

// Refuses an output path that is a FIFO, device or socket (itself or through symbolic links):
// writing it would block or reach hardware, and replacing it would destroy it. A missing path,
// a regular file and a folder pass (the folder is refused by the format check). False with a message.
bool CheckOutputTarget(const std::string& strPath, std::string& strError);

// Where the symbolic links at a path lead: the output that is really replaced. Renaming over a link
// would turn it into a plain file, and the user linked it to keep the file elsewhere.
std::string FollowLinks(const std::string& strPath);

// The folder holding strPath, "." for a bare name: where a replaced output's entry is synced.
std::string FolderOf(const std::string& strPath);

} // namespace Misc
