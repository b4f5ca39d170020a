// A temporary folder that is the current folder for the life of the object.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

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

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

} // namespace testsupport
