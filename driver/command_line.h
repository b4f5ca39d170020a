// The command line of plotdxf and plotdxf-view. A command line that is empty
// or does not start with '-' is the classic handshake; any other is read as
// options, by one table per program over the options both share.
#pragma once

#include "driver/run_description.h"

#include <CLI/CLI.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace driver {

enum class Request { Run, Help, Version, Refused };

// True for the explicit form: the first argument starts with '-'.
bool IsExplicitForm(int argc, char** argv);

// The classic handshake: tempdxf.txt and kqhatch.pat of the program's folder
// (the current folder by then), the drawing named by the command-line text.
RunDescription ClassicRun(const std::string& commandLineText);

// The options both programs read: the command files (-i FILE and FILE),
// --patterns, --encoding, -h and -V.
struct CommonOptions {
    std::vector<std::string> inputs;
    std::string patternFile; // empty: kqhatch.pat beside the program
    platform::TextEncoding encoding = platform::TextEncoding::Windows1252;
    bool help = false;
    bool version = false;
};

void AddCommonOptions(CLI::App& options, CommonOptions& common);

// Reads the arguments after the program name into the options of `options`.
// Refused, with a one-line `problem`, for an unknown option, a missing or
// wrong value, or an empty name for a file or folder.
Request ParseOptions(CLI::App& options, int argc, char** argv, const CommonOptions& common,
                     std::string& problem);

// The explicit form's run of `common`, each drawing to standard output until
// the program says otherwise.
RunDescription ExplicitRun(const CommonOptions& common);

struct CommandLine {
    Request request = Request::Run;
    RunDescription run;
    std::string problem; // what is wrong with a refused command line, on one line
};

// The converter's command line, in either form.
CommandLine ReadConverterCommandLine(int argc, char** argv);

// "NAME VERSION", the version being the project's.
std::string VersionText(std::string_view program);

} // namespace driver
