// What the plugin knows of a file on disk without keeping its text: whether it is there, what
// kind of file it is, its size, time, names and permission bits, and a digest of its content.
// The save uses it to tell whether someone changed config.json since the plugin last read or
// wrote it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/file_calls.h"

namespace barterbox {

using FileStamp = platform::FileFacts;

// The stamp of the file at the path, links followed. A file that is there but cannot be looked
// at (no access to its folder) counts as existing and not regular.
FileStamp StampOf(const std::string& path);
// The stamp of an open file, which no rename can swap for another between the look and the read.
FileStamp StampOf(std::FILE* file);

// Whether the stamps tell the same file content apart from a changed one: the same kind, size
// and time.
bool SameStamp(const FileStamp& a, const FileStamp& b);

// Whether an edit made after this moment must show in the file's time. Not so while the file
// system's clock may still be in the tick the file was written in: an edit of the same size in
// that tick keeps size and time. The tick is taken as two seconds where times are whole seconds
// (FAT, older file systems) and a tenth of a second elsewhere (the kernel's and NTFS's clocks
// move in steps of milliseconds).
bool StampIsSettled(const FileStamp& stamp);

// A digest of the bytes that ignores carriage returns, so that a file written in text mode on
// Windows (CR LF) has the digest of the text that was written.
std::uint64_t ContentDigest(std::string_view bytes);

} // namespace barterbox
