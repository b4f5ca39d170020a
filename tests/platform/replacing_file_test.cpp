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

// The tests below that are not about kinds write text over text.
constexpr platform::FileKind kText = platform::FileKind::Text;
constexpr const char* kOldDrawing = "0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nEOF\n";

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
    folder_.Write("picture.png", "\x89PNG\r\n\x1a\nthe old picture");
    folder_.Write("library.pat", "*OLD, the old library");
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
            platform::ReplaceFileWith(PathOf("library.pat"), platform::FileKind::PatternFile,
                                      std::string(10000, 'x'), bytesError);
    }
    EXPECT_FALSE(pngWritten);
    EXPECT_EQ(pngError, PathOf("picture.png") + ": File too large");
    EXPECT_FALSE(bytesWritten);
    EXPECT_EQ(bytesError, PathOf("library.pat") + ": File too large");
    EXPECT_EQ(ReadFile(PathOf("picture.png")), "\x89PNG\r\n\x1a\nthe old picture");
    EXPECT_EQ(ReadFile(PathOf("library.pat")), "*OLD, the old library");
    EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"library.pat", "picture.png"}));
}

TEST_F(ReplacingFileTest, ACompleteWriteReplacesTheFileAndAMissingFolderIsNamed) {
    folder_.Write("out.txt", "old");
    std::string error;
    EXPECT_TRUE(platform::ReplaceFileWith(PathOf("out.txt"), kText, "new", error)) << error;
    EXPECT_EQ(ReadFile(PathOf("out.txt")), "new");
    EXPECT_FALSE(platform::ReplaceFileWith(PathOf("missing/out.txt"), kText, "new", error));
    EXPECT_EQ(error, PathOf("missing/out.txt") + ": No such file or directory");
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"out.txt"});
}

TEST_F(ReplacingFileTest, NamesAsLongAsAFileNameMayBeAreWritten) {
    for (const size_t length : {248, 249, 255}) {
        const std::string name(length, 'n');
        std::string error;
        EXPECT_TRUE(platform::ReplaceFileWith(PathOf(name), kText, "first", error))
            << length << error;
        EXPECT_TRUE(platform::ReplaceFileWith(PathOf(name), kText, "second", error))
            << length << error;
        EXPECT_EQ(ReadFile(PathOf(name)), "second");
        EXPECT_EQ(folder_.Names(), std::vector<std::string>{name});
        fs::remove(PathOf(name));
    }
}

TEST_F(ReplacingFileTest, ACharacterDeviceIsWrittenInPlace) {
    std::string error;
    EXPECT_TRUE(platform::ReplaceFileWith("/dev/null", kText, "nothing kept", error)) << error;
    struct stat device {};
    ASSERT_EQ(::stat("/dev/null", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));
    // A shared folder's file is never a device.
    platform::ReplacingFile ownerOnly("/dev/null", kText, platform::OutputSharing::OwnerOnly);
    EXPECT_FALSE(ownerOnly.Open());
    EXPECT_EQ(ownerOnly.Error(), "/dev/null: not a regular file");
}

TEST_F(ReplacingFileTest, ASignalWhileWritingRemovesTheTemporaryFileAndKeepsTheOld) {
    folder_.Write("drawing.dxf", kOldDrawing);
    EXPECT_EXIT(
        {
            platform::EndCleanlyOnInterruption();
            platform::ReplacingFile output(PathOf("drawing.dxf"), platform::FileKind::Dxf);
            if (output.Open()) {
                std::fputs("half a drawing", output.File());
                std::raise(SIGTERM);
            }
        },
        testing::ExitedWithCode(128 + SIGTERM), "");
    EXPECT_EQ(ReadFile(PathOf("drawing.dxf")), kOldDrawing);
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"drawing.dxf"});
}

// A writer replaces a missing or empty file and a file of its own kind; any
// other is left byte for byte, with nothing beside it, and the error says
// what it is.
TEST_F(ReplacingFileTest, AWriterReplacesOnlyAnEmptyFileOrOneOfItsOwnKind) {
    using platform::FileKind;
    const struct {
        const char* there;
        FileKind writes;
        const char* refusal; // empty: replaced
    } cases[] = {
        {"", FileKind::Dxf, ""},
        {kOldDrawing, FileKind::Dxf, ""},
        {"\x89PNG\r\n\x1a\nold", FileKind::Png, ""},
        {"S\t600\t600\t\r\n", FileKind::Dxf,
         "not a DXF drawing: it looks like a command file, and was left as it is"},
        {"notes\n", FileKind::Dxf, "not a DXF drawing: it is a text file, and was left as it is"},
        {kOldDrawing, FileKind::Png,
         "not a PNG picture: it is a DXF drawing, and was left as it is"},
        {"%PDF-1.4", FileKind::Svg,
         "not an SVG picture: it is a PDF document, and was left as it is"},
    };
    for (const auto& c : cases) {
        folder_.Write("out", c.there);
        std::string error;
        const bool written = platform::ReplaceFileWith(PathOf("out"), c.writes, "new", error);
        EXPECT_EQ(written, *c.refusal == '\0') << c.there;
        EXPECT_EQ(ReadFile(PathOf("out")), written ? "new" : c.there);
        if (!written) {
            EXPECT_EQ(error, PathOf("out") + ": " + c.refusal);
        }
        EXPECT_EQ(folder_.Names(), std::vector<std::string>{"out"});
    }
}

} // namespace
