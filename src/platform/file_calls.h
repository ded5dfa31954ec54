// The C library's file calls that differ between platforms, with UTF-8 paths: opening (with an
// exclusive create), removing, replacing and syncing a file.
#pragma once

#include <cstdio>
#include <string>

namespace barterbox::platform {

// fopen's modes, and "wx", which creates the file and fails if anything is already there (never
// following a link).
std::FILE* OpenFile(const std::string& path, const char* mode);

// 0 on success, as the C library's calls answer.
int RemoveFile(const std::string& path);
// Puts `from` in `to`'s place in one step, replacing whatever file was there.
int RenameOver(const std::string& from, const std::string& to);
// Asks the system to put the file's written bytes on the disk.
int SyncFile(std::FILE* file);

} // namespace barterbox::platform
