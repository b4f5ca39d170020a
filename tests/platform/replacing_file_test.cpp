#include "platform/interruption.h"
#include "platform/replacing_file.h"
#include "render/png_file.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Writes beyond `bytes` fail for the life of the object, as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit small = previous_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    void (*handler_)(int);
    rlimit previous_{};
};

class ReplacingFileTest : public testing::Test {
  protected:
    std::string PathOf(const std::string& name) const { return (folder_.Path() / name).string(); }
    testsupport::TempFolder folder_;
};

TEST_F(ReplacingFileTest, AFailedWriteKeepsTheOldFileAndLeavesNothingElse) {
    folder_.Write("picture.png", "the old picture");
    folder_.Write("library.pat", "the old library");
    const std::vector<uint32_t> noise = [] {
        std::vector<uint32_t> pixels(300 * 300);
        uint32_t state = 1;
        for (uint32_t& pixel : pixels)
            pixel = state = state * 1664525u + 1013904223u; // hardly compressible
        return pixels;
    }();
    std::string pngError, bytesError;
    bool pngWritten = true, bytesWritten = true;
    {
        const FileSizeLimit limit(4096);
        pngWritten = render::WritePngFile(PathOf("picture.png"), noise, 300, 300, 100, pngError);
        bytesWritten =
            platform::ReplaceFileWith(PathOf("library.pat"), std::string(10000, 'x'), bytesError);
    }
    EXPECT_FALSE(pngWritten);
    EXPECT_EQ(pngError, PathOf("picture.png") + ": File too large");
    EXPECT_FALSE(bytesWritten);
    EXPECT_EQ(bytesError, PathOf("library.pat") + ": File too large");
    EXPECT_EQ(ReadFile(PathOf("picture.png")), "the old picture");
    EXPECT_EQ(ReadFile(PathOf("library.pat")), "the old library");
    EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"library.pat", "picture.png"}));
}

TEST_F(ReplacingFileTest, ACompleteWriteReplacesTheFileAndAMissingFolderIsNamed) {
    folder_.Write("out.txt", "old");
    std::string error;
    EXPECT_TRUE(platform::ReplaceFileWith(PathOf("out.txt"), "new", error)) << error;
    EXPECT_EQ(ReadFile(PathOf("out.txt")), "new");
    EXPECT_FALSE(platform::ReplaceFileWith(PathOf("missing/out.txt"), "new", error));
    EXPECT_EQ(error, PathOf("missing/out.txt") + ": No such file or directory");
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"out.txt"});
}

TEST_F(ReplacingFileTest, NamesAsLongAsAFileNameMayBeAreWritten) {
    for (const size_t length : {248, 249, 255}) {
        const std::string name(length, 'n');
        std::string error;
        EXPECT_TRUE(platform::ReplaceFileWith(PathOf(name), "first", error)) << length << error;
        EXPECT_TRUE(platform::ReplaceFileWith(PathOf(name), "second", error)) << length << error;
        EXPECT_EQ(ReadFile(PathOf(name)), "second");
        EXPECT_EQ(folder_.Names(), std::vector<std::string>{name});
        fs::remove(PathOf(name));
    }
}

TEST_F(ReplacingFileTest, ACharacterDeviceIsWrittenInPlace) {
    std::string error;
    EXPECT_TRUE(platform::ReplaceFileWith("/dev/null", "nothing kept", error)) << error;
    struct stat device {};
    ASSERT_EQ(::stat("/dev/null", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));
    // A shared folder's file is never a device.
    platform::ReplacingFile ownerOnly("/dev/null", platform::OutputSharing::OwnerOnly);
    EXPECT_FALSE(ownerOnly.Open());
    EXPECT_EQ(ownerOnly.Error(), "/dev/null: not a regular file");
}

TEST_F(ReplacingFileTest, ASignalWhileWritingRemovesTheTemporaryFileAndKeepsTheOld) {
    folder_.Write("drawing.dxf", "the old drawing");
    EXPECT_EXIT(
        {
            platform::EndCleanlyOnInterruption();
            platform::ReplacingFile output(PathOf("drawing.dxf"));
            if (output.Open()) {
                std::fputs("half a drawing", output.File());
                std::raise(SIGTERM);
            }
        },
        testing::ExitedWithCode(128 + SIGTERM), "");
    EXPECT_EQ(ReadFile(PathOf("drawing.dxf")), "the old drawing");
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"drawing.dxf"});
}

} // namespace
