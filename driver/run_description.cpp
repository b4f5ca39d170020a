#include "driver/run_description.h"

#include <filesystem>
#include <system_error>

namespace driver {

std::string ShownName(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string ShownName(const CommandSource& source) {
    return source.standardInput ? std::string("standard input") : ShownName(source.path);
}

std::string ShownName(const DrawingDestination& drawing) {
    return drawing.standardOutput ? std::string("standard output") : ShownName(drawing.path);
}

} // namespace driver
