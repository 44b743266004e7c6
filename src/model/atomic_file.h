#pragma once
// The program's files on disk. Every file it writes goes through
// WriteFileAtomically: the bytes go to a fresh temporary file beside the
// target, every write, the sync and the close are checked, and only a
// complete file is renamed over the target. An old file survives any
// failure, a full disk and a killed process included. Failures carry
// "Error al abrir el archivo" and, as detail, the path and the system's reason.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/result.h"

namespace velmorin {

// A target the user may not write to is refused, not replaced. Temporary
// files that killed saves of the same target left behind are removed first.
Result WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);
Result WriteFileAtomically(const std::string& path, const std::string& text);

struct FileToWrite {
    std::string path;
    std::span<const uint8_t> bytes;
};

// Files that only make sense together (a listing and the image it
// describes): every one is written to its temporary file first, and the
// targets are replaced only once all of them are complete. On any failure
// no target changes; should a replacement itself fail, those already made
// are taken back.
Result WriteFilesTogether(std::span<const FileToWrite> files);

// Removes a file; one that is not there counts as removed.
Result RemoveFile(const std::string& path);

// At most `limit` bytes from the start of a file: a reader never looks
// further. Only a regular file is read: a folder, a device or a pipe is
// refused at once (a pipe without a writer would otherwise block).
Result ReadFileBytes(const std::string& path, size_t limit, std::vector<uint8_t>& bytes);

}  // namespace velmorin
