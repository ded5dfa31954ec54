// Keeping a file's content aside under a backup name before the file is replaced, without ever
// moving the only copy away and without overwriting an earlier backup.
#pragma once

#include <optional>
#include <string>

namespace barterbox {

// Copies the file to the first free name of base, base.1, base.2, ... and returns that name.
// Something that is not a regular file (a folder in the file's place) cannot be copied and is
// moved there instead. std::nullopt when nothing could be kept.
std::optional<std::string> KeepBackup(const std::string& file, const std::string& base);

// Undoes a KeepBackup whose replacement then failed: a copy is removed (the file still holds its
// content), a moved folder goes back to its place.
void UndoBackup(const std::string& file, const std::string& backup);

} // namespace barterbox
