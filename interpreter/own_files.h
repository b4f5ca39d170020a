// The files a run must never write a drawing or picture over: the programs
// and hatch pattern files of the installation, the files the run is reading
// (FilesRead), and any file that is not empty nor of the kind written (a
// command file, a text, another picture: platform/file_kind.h). A name that
// reaches one of the own files through links, another spelling or a hard
// link is caught too, since files are compared by identity, not by name.
// Also the files that are plainly no command file, refused as one.
#pragma once

#include "platform/file_kind.h"

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

// The one refusal every writer of a drawing or picture asks, before the work
// and again before writing: empty when a file of kind `written` may be
// written as `output`; otherwise OwnFileRefusal's, or "NAME is not a DXF
// drawing: it looks like a command file, and was left as it is; to convert
// it, run: plotdxf -i NAME".
std::string ReplacementRefusal(const std::string& output, const std::string& shownName,
                               platform::FileKind written);

// Empty when a file of `kind` may be read as a command file (an empty one
// is an empty drawing); otherwise "NAME: is a DXF drawing, not a command
// file" for a DXF, a picture, a PDF or a binary file.
std::string CommandFileRefusal(platform::FileKind kind, const std::string& shownName);

} // namespace interpreter
