#include "support/temp_folder.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <stdexcept>

namespace testsupport {

namespace {
const std::filesystem::path kScratch = PLOTDXF_TEST_SCRATCH;
}

TempFolder::TempFolder() : previous_(std::filesystem::current_path()) {
    std::filesystem::create_directories(kScratch);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Under the build tree: a test that crashes leaves its folder there.
        path_ = kScratch / ("plotdxf-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) {
            std::filesystem::current_path(path_);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& name, std::string_view bytes) const {
    std::ofstream file(path_ / name, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + name);
}

std::string TempFolder::WriteChanged(const std::string& name, std::string_view bytes) {
    Write(name, bytes);
    const std::filesystem::path path = path_ / name;
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) +
                                               std::chrono::seconds(++changes_));
    return path.string();
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace testsupport
