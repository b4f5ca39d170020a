#include "platform/own_files.h"

#include "platform/process.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace platform {

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
    const std::string name = Lowered(SystemNameOf(file.filename()));
    for (const std::string_view program : {"plotdxf", "plotdxf.exe"}) {
        if (name == program) return "the converter program";
    }
    for (const std::string_view viewer : {"plotdxf-view", "plotdxf-view.exe"}) {
        if (name == viewer) return "the viewer program";
    }
    if (Lowered(SystemNameOf(file.extension())) == ".pat")
        return "a hatch pattern file of the installation";
    return {};
}

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

} // namespace

std::string OwnFileAt(const std::string& outputName, const std::vector<FileInUse>& filesInUse) {
    const fs::path output = PathOfSystemName(outputName);
    std::error_code error;
    // Only an existing file can be damaged; links to it are followed.
    if (!fs::exists(output, error)) return {};

    const fs::path program = PathOfSystemName(ProgramFile());
    if (SameFile(output, program)) return "the running program (" + SystemNameOf(program) + ")";
    for (const FileInUse& file : filesInUse) {
        const fs::path used = PathOfSystemName(file.name);
        if (SameFile(output, used)) {
            return file.whatItIs + " (" + SystemNameOf(fs::absolute(used, error)) + ")";
        }
    }
    for (fs::directory_iterator entry(program.parent_path(), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string role = InstallationRole(entry->path());
        if (!role.empty() && SameFile(output, entry->path())) {
            return role + " (" + SystemNameOf(entry->path()) + ")";
        }
    }
    return {};
}

} // namespace platform
