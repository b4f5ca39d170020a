// A temporary folder that is the current folder for the life of the object,
// in the build tree's scratch folder (PLOTDXF_TEST_SCRATCH), not the shared
// temp folder: a test that crashes leaves nothing there.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes `bytes` exactly as given (no line-end translation).
    void Write(const std::string& name, std::string_view bytes) const;
    // Writes as Write does, the file's time moved on a second further at
    // each call, so that every write shows as a change whatever the file
    // system's clock resolution; returns the file's path.
    std::string WriteChanged(const std::string& name, std::string_view bytes);
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
    int changes_ = 0;
};

// Command files the viewer's tests open: a black inch square with its lower
// left corner at (1, 1), and the same with a second one at (4, 1).
inline constexpr const char* kOneSquare = "S\t600\t600\t\r\nRFC\t600\t600\t0 0 0\t\r\n";
inline constexpr const char* kTwoSquares =
    "S\t600\t600\t\r\nRFC\t600\t600\t0 0 0\t\r\nS\t2400\t600\t\r\nRFC\t600\t600\t0 0 0\t\r\n";

} // namespace testsupport
