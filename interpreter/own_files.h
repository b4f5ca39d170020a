// The files a run must never write a drawing or picture over: the programs
// and hatch pattern files of the installation, and the files the run is
// reading (FilesRead). A name that reaches one of them through links, another
// spelling or a hard link is caught too, since files are compared by
// identity, not by name.
#pragma once

#include <string>

namespace interpreter {

struct FileInUse {
    std::string name;     // as the run opened it (relative to the current folder)
    std::string whatItIs; // "the command file being read"
};

// Empty when a drawing or picture may be written as `output`; otherwise the
// refusal, naming it as `shownName`: "NAME is the converter program
// (/usr/lib/plotdxf/plotdxf), which the program never writes over".
std::string OwnFileRefusal(const std::string& output, const std::string& shownName);

} // namespace interpreter
