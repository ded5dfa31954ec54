// Keeping a file's content aside under a backup name before the file is replaced, without ever
// moving the only copy away and without overwriting an earlier backup.
#pragma once

#include <optional>
#include <string>

namespace barterbox {

// Keeps the regular file under the first free name of base, base.1, base.2, ... and returns that
// name: a second name of the file itself where the file system allows it, else a copy.
// std::nullopt, with `reason` set, when nothing could be kept: the file is no regular file,
// the copy failed, or every name is taken.
std::optional<std::string> KeepBackup(const std::string& file, const std::string& base,
                                      std::string& reason);

// Undoes a KeepBackup whose replacement then failed: the file still holds its content, so the
// copy goes.
void UndoBackup(const std::string& backup);

} // namespace barterbox
