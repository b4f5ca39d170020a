#include "driver/command_line.h"

#include "driver/batch_run.h"
#include "hatch/patterns.h"
#include "interpreter/own_files.h"
#include "platform/process.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

namespace driver {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kStandardStream = "-";

// A choice the command line does not make.
constexpr int32_t kNotGiven = -1;

// What the converter adds to the common options.
struct ConverterOptions {
    std::string output;
    std::string outputFolder;
    bool strict = false;
    bool verbose = false;
    bool hatchLines = false;
    int32_t dxfVersion = kNotGiven, units = kNotGiven, layers = kNotGiven;
    std::string patternLibrary;
};

// The names one choice of the drawing's form is given by, and what each means.
using Choices = std::map<std::string, int32_t>;

// One choice of how the drawings are written, given by an option of the
// explicit form or, for callers that cannot add an option (the classic form's
// logging programs), by an environment variable.
struct FormChoice {
    const char* variable;
    const char* what; // "a hatch form"
    Choices values;
    std::string_view listed; // the values in the order a message lists them
    int32_t fallback;
    const char* fallbackMeaning; // what the drawing is when the variable is not understood
};

const FormChoice kHatchForm{"PLOTDXF_HATCH",
                            "a hatch form",
                            {{"lines", KQ_DXF_HATCH_LINES}, {"hatch", KQ_DXF_HATCH_ENTITY}},
                            "lines or hatch",
                            KQ_DXF_HATCH_ENTITY,
                            "hatches are written as HATCH entities"};
const FormChoice kDxfVersion{"PLOTDXF_DXF_VERSION",
                             "a DXF version",
                             {{"R12", KQ_DXF_R12},
                              {"2000", KQ_DXF_2000},
                              {"2004", KQ_DXF_2004},
                              {"2007", KQ_DXF_2007},
                              {"2010", KQ_DXF_2010},
                              {"2013", KQ_DXF_2013},
                              {"2018", KQ_DXF_2018}},
                             "R12, 2000, 2004, 2007, 2010, 2013 or 2018",
                             KQ_DXF_2004,
                             "the drawing is written as DXF 2004"};
const FormChoice kUnits{
    "PLOTDXF_UNITS", "a unit of the drawing", {{"in", KQ_DXF_INCHES}, {"mm", KQ_DXF_MILLIMETRES}},
    "in or mm",      KQ_DXF_INCHES,           "the drawing is in inches"};
const FormChoice kLayers{"PLOTDXF_LAYERS",
                         "a way to lay out layers",
                         {{"drawing", KQ_DXF_LAYERS_AS_DRAWN}, {"kind", KQ_DXF_LAYERS_BY_KIND}},
                         "kind or drawing",
                         KQ_DXF_LAYERS_AS_DRAWN,
                         "the entities stay on the drawing's layers"};

// The option's value when it was given, else the environment
// variable's, else the default. A variable that names no value is told.
int32_t Chosen(const FormChoice& choice, int32_t option) {
    if (option != kNotGiven) return option;
    const char* asked = std::getenv(choice.variable);
    if (!asked || !*asked) return choice.fallback;
    for (const auto& [name, value] : choice.values) {
        if (CLI::ignore_case(name) == CLI::ignore_case(asked)) return value; // as the options fold
    }
    Complain("plotdxf", std::string(choice.variable) + "=" + asked + " is not " + choice.what +
                            " (" + std::string(choice.listed) + "); " + choice.fallbackMeaning);
    return choice.fallback;
}

// How the drawings are written, in either form: the classic form gives no options.
DxfForm FormAsked(const ConverterOptions& converter) {
    return {Chosen(kHatchForm, converter.hatchLines ? KQ_DXF_HATCH_LINES : kNotGiven),
            Chosen(kDxfVersion, converter.dxfVersion), Chosen(kUnits, converter.units),
            Chosen(kLayers, converter.layers)};
}

void AddChoice(CLI::App& options, const std::string& name, const FormChoice& choice,
               int32_t& value) {
    options.add_option(name, value)
        ->type_name(std::string(choice.listed))
        ->transform(CLI::CheckedTransformer(choice.values, CLI::ignore_case));
}

void AddConverterOptions(CLI::App& options, ConverterOptions& converter) {
    options.add_option("-o,--output", converter.output)->type_name("FILE");
    options.add_option("--output-dir", converter.outputFolder)->type_name("DIR");
    options.add_flag("--strict", converter.strict);
    options.add_flag("--verbose", converter.verbose);
    options.add_flag("--hatch-lines", converter.hatchLines);
    AddChoice(options, "--dxf-version", kDxfVersion, converter.dxfVersion);
    AddChoice(options, "--units", kUnits, converter.units);
    AddChoice(options, "--layers", kLayers, converter.layers);
    options.add_option("--write-pat", converter.patternLibrary)->type_name("FILE");
}

// What names one file: the absolute path with links resolved as far as the
// path exists, letter case folded where the system ignores it (Windows).
std::string FileKey(const std::string& path) {
    std::error_code error;
    fs::path key = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error) key = fs::path(ShownName(path));
    std::string text = key.lexically_normal().string();
    if (fs::path::preferred_separator == '\\') {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    return text;
}

// The drawing of `source` when the command line names none.
DrawingDestination DefaultDrawing(const CommandSource& source, const std::string& folder) {
    if (source.standardInput) return {{}, true};
    fs::path name = fs::path(source.path).filename().replace_extension(".dxf");
    const fs::path beside = fs::path(source.path).parent_path();
    return {(folder.empty() ? beside / name : fs::path(folder) / name).string(), false};
}

// Why the conversions cannot run side by side, or empty: two conversions never
// share a file.
std::string SharedFile(const std::vector<Conversion>& conversions) {
    std::map<std::string, const CommandSource*> commandFiles;
    for (const Conversion& conversion : conversions) {
        if (!conversion.commands.standardInput) {
            commandFiles.emplace(FileKey(conversion.commands.path), &conversion.commands);
        }
    }
    std::map<std::string, const DrawingDestination*> drawings;
    for (const Conversion& conversion : conversions) {
        if (conversion.drawing.standardOutput) continue;
        const std::string key = FileKey(conversion.drawing.path);
        if (const auto input = commandFiles.find(key); input != commandFiles.end()) {
            // A drawing given as the command file: say that, not where it would go.
            const CommandSource& commands = *input->second;
            const std::string notCommands = interpreter::CommandFileRefusal(
                platform::KindOfFile(commands.path), ShownName(commands));
            if (!notCommands.empty()) return notCommands;
            return "the drawing " + ShownName(conversion.drawing) +
                   " would replace the command file " + ShownName(*input->second);
        }
        if (!drawings.emplace(key, &conversion.drawing).second) {
            return "two command files would both write " + ShownName(conversion.drawing);
        }
    }
    return {};
}

// Why the converter cannot follow `common` and `converter`, or empty.
std::string Conflict(const CommonOptions& common, const ConverterOptions& converter,
                     RunDescription& run) {
    if (!converter.patternLibrary.empty()) {
        return run.conversions.empty() ? std::string()
                                       : "--write-pat writes the pattern library alone: give "
                                         "no command file with it";
    }
    if (run.conversions.empty()) return "no command file given: name one with -i FILE";
    const auto stdinCount =
        std::count(common.inputs.begin(), common.inputs.end(), std::string(kStandardStream));
    if (stdinCount > 1) return "standard input ('-i -') can be read once only";
    if (!converter.output.empty() && !converter.outputFolder.empty()) {
        return "give -o FILE or --output-dir DIR, not both";
    }
    if (!converter.output.empty() && run.conversions.size() > 1) {
        return "-o names one drawing but " + std::to_string(run.conversions.size()) +
               " command files are given: use --output-dir DIR";
    }
    if (!converter.outputFolder.empty() && stdinCount > 0) {
        return "standard input has no name to give its drawing in --output-dir: use -o FILE";
    }
    for (Conversion& conversion : run.conversions) {
        if (converter.output == kStandardStream) {
            conversion.drawing = {{}, true};
        } else if (!converter.output.empty()) {
            conversion.drawing = {converter.output, false};
        } else {
            conversion.drawing = DefaultDrawing(conversion.commands, converter.outputFolder);
        }
    }
    return SharedFile(run.conversions);
}

// Why an option that takes a file or folder was given an empty name, or
// empty: '' would otherwise quietly mean the option's default.
std::string EmptyName(const CLI::App& options) {
    for (const CLI::Option* option : options.get_options()) {
        const std::string& kind = option->get_type_name();
        if (kind != "FILE" && kind != "DIR") continue;
        for (const std::string& result : option->results()) {
            if (result.empty()) return option->get_name() + " is given an empty name";
        }
    }
    return {};
}

} // namespace

bool IsExplicitForm(int argc, char** argv) {
    return argc > 1 && argv[1][0] == '-';
}

RunDescription ClassicRun(const std::string& commandLineText) {
    RunDescription run;
    const std::string drawing = commandLineText.empty() ? "temp.dxf" : commandLineText;
    run.conversions.push_back({{interpreter::kCommandFileName, false}, {drawing, false}});
    run.patternFile = hatch::kPatternFileName;
    return run;
}

void AddCommonOptions(CLI::App& options, CommonOptions& common) {
    // -h and -V are ours: the usage texts are written by hand.
    options.set_help_flag();
    // Options start with '-' on every system: "/logs/a.txt" is a file on Windows too.
    options.allow_windows_style_options(false);
    options.add_option("-i,--input,input", common.inputs)->type_name("FILE");
    options.add_option("--patterns", common.patternFile)->type_name("FILE");
    static const std::map<std::string, platform::TextEncoding> kEncodings = {
        {"cp1252", platform::TextEncoding::Windows1252},
        {"utf-8", platform::TextEncoding::Utf8},
    };
    options.add_option("--encoding", common.encoding)
        ->type_name("cp1252|utf-8")
        ->transform(CLI::CheckedTransformer(kEncodings, CLI::ignore_case));
    options.add_flag("-h,--help", common.help);
    options.add_flag("-V,--version", common.version);
}

Request ParseOptions(CLI::App& options, int argc, char** argv, const CommonOptions& common,
                     std::string& problem) {
    try {
        options.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        problem = error.what();
        return Request::Refused;
    }
    if (common.help) return Request::Help;
    if (common.version) return Request::Version;
    problem = EmptyName(options);
    return problem.empty() ? Request::Run : Request::Refused;
}

RunDescription ExplicitRun(const CommonOptions& common) {
    RunDescription run;
    run.classic = false;
    for (const std::string& input : common.inputs) {
        const bool standardInput = input == kStandardStream;
        run.conversions.push_back(
            {{standardInput ? std::string() : input, standardInput}, {{}, true}});
    }
    run.patternFile = common.patternFile.empty()
                          ? (fs::path(platform::ProgramFolder()) / hatch::kPatternFileName).string()
                          : common.patternFile;
    run.text = {common.encoding, true, true};
    run.checks = interpreter::LineChecks::Warn;
    return run;
}

CommandLine ReadConverterCommandLine(int argc, char** argv) {
    CommandLine line;
    if (!IsExplicitForm(argc, argv)) {
        line.run = ClassicRun(platform::CommandLineText(argc, argv));
        line.run.dxf = FormAsked({});
        return line;
    }
    CLI::App options("plotdxf", "plotdxf");
    CommonOptions common;
    ConverterOptions converter;
    AddCommonOptions(options, common);
    AddConverterOptions(options, converter);
    line.request = ParseOptions(options, argc, argv, common, line.problem);
    if (line.request != Request::Run) return line;
    line.run = ExplicitRun(common);
    line.run.errorBox = false; // one line on stderr per command file that fails
    line.run.verbose = converter.verbose;
    if (converter.strict) line.run.checks = interpreter::LineChecks::Strict;
    line.run.dxf = FormAsked(converter);
    line.run.patternLibrary = converter.patternLibrary;
    line.run.drawingFolder = converter.outputFolder;
    line.problem = Conflict(common, converter, line.run);
    if (!line.problem.empty()) line.request = Request::Refused;
    return line;
}

std::string VersionText(std::string_view program) {
    return std::string(program) + " " + PLOTDXF_VERSION;
}

} // namespace driver
