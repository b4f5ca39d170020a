// One description of a run, whichever way the command line asked for it:
// where each command file comes from, where its drawing goes, the pattern
// file and how the command files are read. The classic handshake and the
// explicit options both end here, and everything below the driver takes
// this description (or the parts of it it needs), never a fixed file name.
#pragma once

#include "cadlib/kq.h"
#include "interpreter/command_file.h"
#include "platform/text_file.h"

#include <string>
#include <vector>

namespace driver {

// A file name as the run uses it: relative names from the current folder.
struct CommandSource {
    std::string path; // unused for standard input
    bool standardInput = false;
};

struct DrawingDestination {
    std::string path; // unused for standard output
    bool standardOutput = false;
};

// One command file and the drawing made of it.
struct Conversion {
    CommandSource commands;
    DrawingDestination drawing;
};

// How every drawing of the run is written, in the values kq_set_dxf_hatch_form,
// kq_set_dxf_version, kq_set_dxf_units and kq_set_dxf_layers take.
struct DxfForm {
    // Pattern hatches as HATCH entities, or as their lines (an anonymous block
    // each) for readers that draw only the patterns they know by name.
    int32_t hatch = KQ_DXF_HATCH_ENTITY;
    int32_t version = KQ_DXF_2004;
    int32_t units = KQ_DXF_INCHES;
    int32_t layers = KQ_DXF_LAYERS_AS_DRAWN;
};

struct RunDescription {
    std::string program = "plotdxf"; // the name messages start with
    // The classic handshake: the program's folder is the current folder and
    // the interpreter opens the command file itself.
    bool classic = true;
    // An interpreter error is shown in the classic message box; else it is
    // told on one line of stderr.
    bool errorBox = true;
    std::vector<Conversion> conversions;
    // Not empty: the folder the drawings go into (--output-dir), made when missing.
    std::string drawingFolder;
    std::string patternFile;
    platform::TextRules text;
    interpreter::LineChecks checks = interpreter::LineChecks::Warn;
    bool verbose = false; // a line on stderr for every converted input too
    DxfForm dxf;
    // Not empty: the run writes the loaded patterns to this file as a .pat
    // library for CAD programs, and converts nothing.
    std::string patternLibrary;
};

// How a file is named in messages: its absolute path (the file need not exist).
std::string ShownName(const std::string& path);

// The name of the command source and of the drawing in messages.
std::string ShownName(const CommandSource& source);
std::string ShownName(const DrawingDestination& drawing);

} // namespace driver
