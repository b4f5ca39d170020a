// What tells a file that has been written again from the one that was read:
// its size and its modification time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace view {

struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of `path`; nullopt while there is no regular file to look at
// (for instance between an editor's removal of the old file and the rename
// of the new one into its place).
std::optional<FileStamp> StampOf(const std::string& path);

} // namespace view
