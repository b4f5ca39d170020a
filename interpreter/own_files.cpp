#include "interpreter/own_files.h"

#include "interpreter/command_file.h"
#include "platform/process.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace interpreter {

namespace fs = std::filesystem;

namespace {

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// What a file of the program's folder is to the installation; empty for a
// file that is not part of it (a drawing, the command file).
std::string InstallationRole(const fs::path& file) {
    const std::string name = Lowered(platform::SystemNameOf(file.filename()));
    for (const std::string_view program : {"plotdxf", "plotdxf.exe"}) {
        if (name == program) return "the converter program";
    }
    for (const std::string_view viewer : {"plotdxf-view", "plotdxf-view.exe"}) {
        if (name == viewer) return "the viewer program";
    }
    if (Lowered(platform::SystemNameOf(file.extension())) == ".pat")
        return "a hatch pattern file of the installation";
    return {};
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

// Empty when `outputName` may be written; otherwise what the file is
// ("the converter program (/usr/lib/plotdxf/plotdxf)").
std::string OwnFileAt(const std::string& outputName) {
    const fs::path output = platform::PathOfSystemName(outputName);
    std::error_code error;
    // Only an existing file can be damaged; links to it are followed.
    if (!fs::exists(output, error)) return {};

    const fs::path program = platform::PathOfSystemName(platform::ProgramFile());
    if (SameFile(output, program)) {
        return "the running program (" + platform::SystemNameOf(program) + ")";
    }
    for (const FileInUse& file : FilesRead()) {
        const fs::path used = platform::PathOfSystemName(file.name);
        if (SameFile(output, used)) {
            return file.whatItIs + " (" + platform::SystemNameOf(fs::absolute(used, error)) + ")";
        }
    }
    for (fs::directory_iterator entry(program.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string role = InstallationRole(entry->path());
        if (!role.empty() && SameFile(output, entry->path())) {
            return role + " (" + platform::SystemNameOf(entry->path()) + ")";
        }
    }
    return {};
}

// `name` as one word of a command to type: quoted when it holds anything
// but letters, digits and the usual marks of a path.
std::string CommandWord(const std::string& name) {
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) ||
               std::string_view("/\\:._-+,=@%").find(static_cast<char>(c)) !=
                   std::string_view::npos ||
               c >= 0x80;
    });
    if (plain) return name;
#ifdef _WIN32
    return '"' + name + '"';
#else
    std::string quoted = "'";
    for (const char c : name)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
#endif
}

} // namespace

std::string ReplacementRefusal(const std::string& output, const std::string& shownName,
                               platform::FileKind written) {
    std::string refusal = OwnFileRefusal(output, shownName);
    if (!refusal.empty()) return refusal;
    const platform::FileKind there = platform::KindOfFile(output);
    if (platform::MayReplace(there, written)) return {};
    refusal = shownName + " is " + platform::NotReplacedBecause(there, written);
    // The likeliest mistake: a command file named where the drawing goes.
    if (there == platform::FileKind::CommandFile) {
        refusal += "; to convert it, run: plotdxf -i " + CommandWord(shownName);
    }
    return refusal;
}

std::string CommandFileRefusal(platform::FileKind kind, const std::string& shownName) {
    switch (kind) {
    case platform::FileKind::Dxf:
    case platform::FileKind::Png:
    case platform::FileKind::Pdf:
    case platform::FileKind::Svg:
    case platform::FileKind::Binary:
        return shownName + ": is " + std::string(platform::NameOf(kind)) + ", not a command file";
    default:
        return {};
    }
}

std::string OwnFileRefusal(const std::string& output, const std::string& shownName) {
    const std::string ownFile = OwnFileAt(output);
    if (ownFile.empty()) return {};
    return shownName + " is " + ownFile + ", which the program never writes over";
}

} // namespace interpreter
