// Print Setup, Print and Export to DXF of the window's File menu.
#include "interpreter/command_file.h"
#include "view/draw_area_fixture.h"

#include "cadlib/database.h"
#include "cadlib/kq.h"
#include "platform/message_box.h"
#include "support/dxf_probe.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using platform::MessageAnswer;
using platform::MessageRequest;

// A printer that notes, at each document call and at the first thing drawn,
// the state of its own context and of the library.
class PrinterSpy : public testsupport::RecordingSurface {
  public:
    PrinterSpy() : RecordingSurface(850, 1100) {}

    platform::DeviceContextHandle dc = 0;
    std::vector<std::string> events;

    std::string State() const {
        const cadlib::Screen* screen = cadlib::FindScreen(builder::Session().ScreenHandle);
        const cadlib::DataArea* area = cadlib::FindDataArea(builder::Session().DataAreaHandle);
        return " (printer " + std::to_string(platform::FindDeviceContext(dc)->MapMode()) +
               ", library " + std::to_string(screen->mapMode) +
               (screen->deviceContext == dc ? ", bound" : ", unbound") + ", quick text " +
               std::to_string(area->system.quickTextMode) + ")";
    }
    void Note(const std::string& event) { events.push_back(event + State()); }

    bool StartDocument(std::string_view name) override {
        Note("StartDocument " + std::string(name));
        return RecordingSurface::StartDocument(name);
    }
    bool StartPage() override {
        Note("StartPage");
        return RecordingSurface::StartPage();
    }
    void Polygon(const platform::DrawState& state,
                 std::span<const platform::DevicePoint> points) override {
        Note("Polygon");
        RecordingSurface::Polygon(state, points);
    }
    bool EndPage() override {
        Note("EndPage");
        return RecordingSurface::EndPage();
    }
    bool EndDocument() override {
        Note("EndDocument");
        return RecordingSurface::EndDocument();
    }
};

class SpyJob : public view::PrintJob {
  public:
    SpyJob(PrinterSpy& spy, std::string pdf)
        : spy_(spy), dc_(platform::CreateDeviceContext(spy)), pdf_(std::move(pdf)) {
        spy_.dc = dc_;
    }
    ~SpyJob() override { platform::DeleteDC(dc_); }
    platform::DeviceContextHandle DeviceContext() const override { return dc_; }
    std::string PdfFile() const override { return pdf_; }
    bool Finish() override {
        // Saving now gets the first level again only if the print restored its save.
        platform::DeviceContext* context = platform::FindDeviceContext(dc_);
        const int32_t level = context->Save();
        context->Restore(level);
        spy_.Note("Finish, saved level " + std::to_string(level));
        return true;
    }

  private:
    PrinterSpy& spy_;
    platform::DeviceContextHandle dc_;
    std::string pdf_;
};

// A printer that takes the page but cannot complete the job.
class RefusingJob : public SpyJob {
  public:
    using SpyJob::SpyJob;
    bool Finish() override {
        SpyJob::Finish();
        return false;
    }
    std::string Failure() const override { return "the printer Office is out of paper"; }
};

class FileMenuTest : public testsupport::DrawAreaTest {
  protected:
    void SetUp() override {
        DrawAreaTest::SetUp();
        Command("S\t600\t600\t");
        Command("RFC\t600\t600\t0 0 0\t");                          // a black inch square
        kq_set_sys_qtextmode(builder::Session().DataAreaHandle, 1); // texts shown as boxes
        openPrinter = [this] {
            ++printersOpened;
            return std::make_unique<SpyJob>(printer, pdfFile);
        };
    }

    PrinterSpy printer;
    std::string pdfFile;
    int printersOpened = 0;
};

TEST_F(FileMenuTest, PrintAsksFirstAndCancelDoesNothing) {
    std::vector<MessageRequest> asked;
    platform::SetMessageSink([&asked](const MessageRequest& request) {
        asked.push_back(request);
        return MessageAnswer::Cancel;
    });
    area->mnuPrintClick();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Printing, Click OK to Continue...");
    EXPECT_EQ(asked[0].title, "");
    EXPECT_EQ(asked[0].buttons, platform::MessageButtons::OkCancel);
    EXPECT_EQ(printersOpened, 0);
    EXPECT_EQ(Area().system.quickTextMode, 1);
}

TEST_F(FileMenuTest, PrintDrawsOnePageAtTrueScaleAndPutsEverythingBack) {
    area->mnuPrintClick();
    const std::string printing = " (printer 4, library 4, bound, quick text 0)";
    EXPECT_EQ(printer.events, (std::vector<std::string>{
                                  "StartDocument DO-DEZ Print" + printing,
                                  "StartPage" + printing,
                                  "Polygon" + printing,
                                  "EndPage" + printing,
                                  "EndDocument" + printing,
                                  "Finish, saved level 1 (printer 1, library 1, unbound, "
                                  "quick text 0)",
                              }));
    // The square's corners in hundredths of an inch from the page's top left corner.
    const auto square = std::find_if(
        printer.primitives.begin(), printer.primitives.end(), [](const auto& primitive) {
            return primitive.kind == testsupport::RecordedPrimitive::Kind::Polygon;
        });
    ASSERT_NE(square, printer.primitives.end());
    const auto [left, right] =
        std::minmax_element(square->points.begin(), square->points.end(),
                            [](const auto& a, const auto& b) { return a.x < b.x; });
    EXPECT_NEAR(left->x, 100, 1);
    EXPECT_NEAR(right->x, 200, 1);
    EXPECT_EQ(messages.size(), 1u); // only the question
    EXPECT_EQ(Refreshes(), 0);      // the window is not repainted
}

TEST_F(FileMenuTest, WithoutAPrinterThePageGoesToAPdfAndTheUserIsTold) {
    pdfFile = "/tmp/x/DO-DEZ Print.pdf";
    area->mnuPrintClick();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "No printer is available: the page was saved as " + pdfFile);
}

TEST_F(FileMenuTest, APrintThatFailsSaysSoWithTheReason) {
    openPrinter = [this] { return std::make_unique<RefusingJob>(printer, ""); };
    area->mnuPrintClick();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text,
              "The drawing could not be printed: the printer Office is out of paper");
    EXPECT_EQ(messages[1].title, platform::ProgramName());

    messages.clear();
    pdfFile = "/no/such/folder/DO-DEZ Print.pdf";
    openPrinter = [this] { return std::make_unique<RefusingJob>(printer, pdfFile); };
    area->mnuPrintClick();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "No printer is available, and the page could not be saved as " +
                                    pdfFile + ": the printer Office is out of paper");
}

// Export writes into the classic temp folder: here a folder of the test's
// own, named by the tests' hook while the test runs.
class ExportTest : public FileMenuTest {
  protected:
    void SetUp() override {
        FileMenuTest::SetUp();
        ::setenv(kHook, folder.Path().c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv(kHook);
        FileMenuTest::TearDown();
    }

    static constexpr const char* kHook = "PLOTDXF_TEST_CLASSIC_TEMP";
    std::string ExportFile() const { return (folder.Path() / "ztest.dxf").string(); }
    // Exports and expects the one message that says the file was not created and why.
    void ExpectNotCreated(const std::string& why) {
        area->mnuDXF12Click();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "FILE NOT CREATED:  " + ExportFile() + "\n" + why);
    }
    std::string Contents(const std::filesystem::path& file) const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    testsupport::TempFolder folder;
};

TEST_F(ExportTest, ExportAsAndPrintToPdfSaveWhereTheUserChoosesOrNowhere) {
    struct Case {
        view::SavedForm form;
        void (view::DrawArea::*command)();
        const char* name;
        std::string told; // before the file's name; empty: nothing chosen, nothing told
    };
    std::vector<std::string> printedTo;
    openPdfFile = [&](const std::string& file) -> std::unique_ptr<view::PrintJob> {
        printedTo.push_back(file);
        return std::make_unique<SpyJob>(printer, file);
    };
    for (const Case& c :
         {Case{view::SavedForm::Dxf, &view::DrawArea::mnuExportAsClick, "mine.dxf",
               "FILE CREATED:  "},
          Case{view::SavedForm::Pdf, &view::DrawArea::mnuPrintToPdfClick, "mine.pdf",
               "The page was saved as "},
          Case{view::SavedForm::Dxf, &view::DrawArea::mnuExportAsClick, "", ""},
          Case{view::SavedForm::Pdf, &view::DrawArea::mnuPrintToPdfClick, "", ""}}) {
        const std::string file = (folder.Path() / c.name).string();
        std::optional<view::SavedForm> asked;
        chooseSaveFile = [&](view::SavedForm form) -> std::optional<std::string> {
            asked = form;
            return *c.name ? std::optional(file) : std::nullopt;
        };
        messages.clear();
        ((*area).*c.command)();
        EXPECT_EQ(asked, c.form) << c.name;
        if (c.told.empty()) {
            EXPECT_TRUE(messages.empty());
            continue;
        }
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_EQ(messages[0].text, c.told + file);
    }
    EXPECT_EQ(printedTo, std::vector<std::string>{(folder.Path() / "mine.pdf").string()});
    EXPECT_EQ(Contents(folder.Path() / "mine.dxf").rfind("  0\nSECTION", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(ExportFile())); // the classic file is not touched
}

TEST_F(ExportTest, ExportGoesToTheClassicFileWhateverTheEnvironmentSays) {
    ::unsetenv(kHook);
    const char* previous = std::getenv("TMPDIR");
    const std::optional<std::string> tmpdir =
        previous ? std::optional<std::string>(previous) : std::nullopt;
    ::setenv("TMPDIR", folder.Path().c_str(), 1);
    EXPECT_EQ(view::ExportFile(), "/tmp/ztest.dxf");
    if (tmpdir) {
        ::setenv("TMPDIR", tmpdir->c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

TEST_F(ExportTest, ExportWritesTheFixedFileForItsOwnerAlone) {
    EXPECT_EQ(view::ExportFile(), ExportFile());
    area->mnuDXF12Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "FILE CREATED:  " + ExportFile());
    EXPECT_EQ(messages[0].title, platform::ProgramName());
    const testsupport::DxfProbe probe = testsupport::ProbeDxf(ExportFile());
    ASSERT_TRUE(probe.read) << probe.diagnostics;
    EXPECT_EQ(probe.auditErrors, 0);
    EXPECT_TRUE(std::any_of(probe.entities.begin(), probe.entities.end(),
                            [](const auto& entity) { return entity.Str("type") == "HATCH"; }));
    struct stat status {};
    ASSERT_EQ(::stat(ExportFile().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    // Again over its own earlier export, which it may replace.
    area->mnuDXF12Click();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "FILE CREATED:  " + ExportFile());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"ztest.dxf"});
}

TEST_F(ExportTest, ALinkPlantedUnderTheNameIsNotWrittenThrough) {
    folder.Write("victim.txt", "someone's data");
    std::filesystem::create_symlink(folder.Path() / "victim.txt", ExportFile());
    ExpectNotCreated(ExportFile() + ": a link has been put under that name in a shared folder");
    EXPECT_EQ(Contents(folder.Path() / "victim.txt"), "someone's data");
    EXPECT_TRUE(std::filesystem::is_symlink(ExportFile()));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"victim.txt", "ztest.dxf"}));
}

TEST_F(ExportTest, AnotherUsersFileUnderTheNameIsLeftAlone) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    folder.Write("ztest.dxf", "another user's drawing");
    ASSERT_EQ(::chown(ExportFile().c_str(), 65534, 65534), 0);
    ExpectNotCreated(ExportFile() + ": the name is taken by another user's file");
    EXPECT_EQ(Contents(ExportFile()), "another user's drawing");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"ztest.dxf"});
}

TEST_F(ExportTest, AFileOfAnotherKindUnderTheNameIsLeftAsItIs) {
    folder.Write("ztest.dxf", "notes of mine");
    ExpectNotCreated(ExportFile() +
                     ": not a DXF drawing: it is a text file, and was left as it is");
    EXPECT_EQ(Contents(ExportFile()), "notes of mine");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"ztest.dxf"});
}

TEST_F(ExportTest, TheCommandFileBeingReadIsNeverWrittenOver) {
    // The test folder is the current folder, where the run reads tempdxf.txt.
    folder.Write("tempdxf.txt", "S\t600\t600\t\r\n");
    interpreter::Interpreter().CommandFile = "tempdxf.txt";
    std::filesystem::create_hard_link(folder.Path() / "tempdxf.txt", ExportFile());
    area->mnuDXF12Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].text.find("FILE NOT CREATED:  " + ExportFile() + "\n" + ExportFile() +
                                    " is the command file being read"),
              std::string::npos)
        << messages[0].text;
    EXPECT_EQ(Contents(folder.Path() / "tempdxf.txt"), "S\t600\t600\t\r\n");
}

TEST_F(ExportTest, AnExportThatFailsSaysWhy) {
    builder::Session().ScreenHandle = 0;
    ExpectNotCreated("no drawing session");
}

} // namespace
