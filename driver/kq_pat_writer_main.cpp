// kq_pat_writer PATTERN_FILE PAT_FILE: writes the patterns of PATTERN_FILE (a
// kqhatch.pat) as the pattern library for CAD users (kq.pat). The build runs
// it; the converter's users get the same file from the installation.
#include "hatch/pattern_library.h"
#include "hatch/patterns.h"
#include "platform/runtime_error.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: kq_pat_writer PATTERN_FILE PAT_FILE\n", stderr);
        return 2;
    }
    try {
        hatch::LoadHatchPatterns(argv[1]);
    } catch (const platform::RuntimeError& error) {
        std::fprintf(stderr, "kq_pat_writer: %s\n", error.what());
        return 3;
    }
    const std::string error = hatch::WritePatternLibrary(argv[2]);
    if (error.empty()) return 0;
    std::fprintf(stderr, "kq_pat_writer: %s\n", error.c_str());
    return 2;
}
