// The files a run must never write a drawing over: the programs and hatch
// pattern files of the installation, and the files the run is reading. A
// name that reaches one of them through links, another spelling or a hard
// link is caught too, since files are compared by identity, not by name.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct FileInUse {
    std::string name;     // as the run opened it (relative to the current folder)
    std::string whatItIs; // "the command file being read"
};

// Empty when `outputName` may be written; otherwise what the file is, for a
// message ("the converter program /usr/lib/plotdxf/plotdxf").
std::string OwnFileAt(const std::string& outputName, const std::vector<FileInUse>& filesInUse);

} // namespace platform
