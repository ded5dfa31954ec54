// Reading a whole file that the administrator keeps (config.json, rules.json) or the plugin wrote
// (the audit's files), safely: only a regular file is read, and nothing ever waits on a pipe.
#pragma once

#include <string>

#include "catalogue/file_state.h"

namespace barterbox {

enum class ReadOutcome { Read, Missing, NoAccess, NotRegular, ReadFailed };

// Reads only a regular file: a link to a device or a folder in the file's place is unreadable,
// never read until memory runs out. The file is opened first, without waiting, and only then
// looked at, so that a named pipe swapped in between a look and the open never holds the game
// thread. Running out of memory on a huge file is unreadable too.
ReadOutcome ReadWholeFile(const std::string& path, std::string& text, FileStamp& stamp);

} // namespace barterbox
