// plotdxf-view run as a program: copied with kqhatch.pat and a command file
// into a folder of its own, started from another folder.
#include "support/temp_folder.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string errors;
};

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(program);
        fs::create_directory(caller);
        fs::copy_file(PLOTDXF_VIEW_BIN, program / "plotdxf-view");
        fs::copy_file(fs::path(PLOTDXF_SOURCE_DIR) / "data" / "kqhatch.pat",
                      program / "kqhatch.pat");
    }

    void WriteCommands(const std::string& lines) {
        std::ofstream(program / "tempdxf.txt", std::ios::binary) << lines;
    }

    Outcome Run(const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QString::fromStdString(caller.string()));
        process.start(QString::fromStdString((program / "plotdxf-view").string()), arguments);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardError().toStdString()};
    }

    static bool BlackAt(const QImage& image, int x, int y) {
        return qGray(image.pixel(x, y)) < 128;
    }

    testsupport::TempFolder folder;
    fs::path program = folder.Path() / "program";
    fs::path caller = folder.Path() / "caller";
};

constexpr const char* kBlackSquare = "S\t600\t600\t\r\nRFC\t600\t600\t0 0 0\t\r\n";

TEST_F(ProgramTest, WritesThePageAsAPngBesideTheCaller) {
    WriteCommands(kBlackSquare);
    const Outcome outcome = Run({"--png", "page.png"});
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    const QImage page(QString::fromStdString((caller / "page.png").string()));
    ASSERT_EQ(page.size(), QSize(850, 1100));
    EXPECT_TRUE(BlackAt(page, 150, 950));
    EXPECT_FALSE(BlackAt(page, 250, 950));
}

TEST_F(ProgramTest, ASuccessfulRenderSaysNothingAndLeavesNothingBehind) {
    WriteCommands(kBlackSquare);
    const fs::path temp = folder.Path() / "temp";
    fs::create_directory(temp);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("XDG_RUNTIME_DIR"); // as in a service or a container
    environment.insert("TMPDIR", QString::fromStdString(temp.string()));
    for (const char* format : {"--png", "--pdf"}) {
        const Outcome outcome = Run({format, QString("page") + format}, environment);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.errors, "") << format;
    }
    EXPECT_TRUE(fs::is_empty(temp));
}

TEST_F(ProgramTest, TheSizeLaysThePageOutOverThatManyPixels) {
    WriteCommands(kBlackSquare);
    const Outcome outcome = Run({"--png", "wide.png", "--size", "1700x1100"});
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    const QImage page(QString::fromStdString((caller / "wide.png").string()));
    ASSERT_EQ(page.size(), QSize(1700, 1100));
    EXPECT_TRUE(BlackAt(page, 425 + 150, 950)); // the page centred
    EXPECT_FALSE(BlackAt(page, 150, 950));
}

TEST_F(ProgramTest, ThePictureIsNeverWrittenOverTheProgramsOwnFiles) {
    WriteCommands(kBlackSquare);
    const auto before = fs::file_size(program / "kqhatch.pat");
    // The command file is told by what it is, before the work.
    const std::pair<const char*, const char*> files[] = {
        {"kqhatch.pat", "which the program never writes over"},
        {"tempdxf.txt", "it looks like a command file, and was left as it is"},
        {"plotdxf-view", "which the program never writes over"},
    };
    for (const auto& [name, why] : files) {
        const Outcome outcome = Run({"--png", QString::fromStdString((program / name).string())});
        EXPECT_EQ(outcome.status, 2) << name;
        EXPECT_NE(outcome.errors.find(why), std::string::npos) << outcome.errors;
    }
    EXPECT_EQ(fs::file_size(program / "kqhatch.pat"), before);
    EXPECT_EQ(fs::file_size(program / "tempdxf.txt"), std::string(kBlackSquare).size());
    EXPECT_EQ(fs::file_size(program / "plotdxf-view"), fs::file_size(PLOTDXF_VIEW_BIN));
}

TEST_F(ProgramTest, WritesAOnePagePdf) {
    WriteCommands(kBlackSquare);
    const Outcome outcome = Run({"--pdf", "page.pdf"});
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    std::ifstream file(caller / "page.pdf", std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_NE(pdf.find("/MediaBox [0 0 612.0"), std::string::npos); // letter: 8.5 x 72 points
    EXPECT_NE(pdf.find(" 792.0"), std::string::npos);
    EXPECT_NE(pdf.find("/Type /Page\n"), std::string::npos);
    EXPECT_EQ(pdf.find("/Type /Page\n"), pdf.rfind("/Type /Page\n")); // one page
}

TEST_F(ProgramTest, WritesAnSvgOfThePage) {
    WriteCommands(kBlackSquare);
    const Outcome outcome = Run({"--svg", "page.svg"});
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    std::ifstream file(caller / "page.svg", std::ios::binary);
    const std::string svg((std::istreambuf_iterator<char>(file)), {});
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("viewBox=\"0 0 850 1100\""), std::string::npos);
    EXPECT_NE(svg.find("width=\"215.9mm\""), std::string::npos); // the letter page's true size
    EXPECT_NE(svg.find("fill=\"#000000\""), std::string::npos);  // the black square
    EXPECT_EQ(Run({"--svg", "no/such/folder/page.svg"}).status, 2);
    EXPECT_EQ(Run({"--svg", "a.svg", "--png", "a.png"}).status, 2);
}

TEST_F(ProgramTest, AnInterpreterErrorStillWritesWhatWasBuilt) {
    WriteCommands(std::string(kBlackSquare) + "LR\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\r\n");
    const Outcome outcome = Run({"--png", "page.png"});
    EXPECT_EQ(outcome.status, 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find("Error 9"), std::string::npos);
    EXPECT_NE(outcome.errors.find("plotdxf-view: the interpretation stopped at line 3 of " +
                                  (program / "tempdxf.txt").string() +
                                  " (Subscript out of range: a ninth field)"),
              std::string::npos)
        << outcome.errors;
    const QImage page(QString::fromStdString((caller / "page.png").string()));
    EXPECT_TRUE(BlackAt(page, 150, 950));
}

TEST_F(ProgramTest, AFileThatCannotBeWrittenIsStatusTwo) {
    WriteCommands(kBlackSquare);
    const Outcome outcome = Run({"--png", "no/such/folder/page.png"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.errors.find("could not be written"), std::string::npos);
}

TEST_F(ProgramTest, AMissingPatternFileIsARunTimeError) {
    WriteCommands(kBlackSquare);
    fs::remove(program / "kqhatch.pat");
    const Outcome outcome = Run({"--png", "page.png"});
    EXPECT_EQ(outcome.status, 3);
    EXPECT_NE(outcome.errors.find("Run-time error '53'"), std::string::npos);
    EXPECT_FALSE(fs::exists(caller / "page.png"));
}

TEST_F(ProgramTest, WithoutArgumentsTheDrawingIsShownUntilTheWindowCloses) {
    WriteCommands(std::string(kBlackSquare) + "LR\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\r\n");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("PLOTDXF_UNATTENDED", "1"); // boxes on stderr, answered at once
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString((program / "plotdxf-view").string()), {});
    // The interpreter's report comes first; then the window stays up.
    process.setReadChannel(QProcess::StandardError);
    std::string errors;
    while (errors.find("Error 9") == std::string::npos && process.waitForReadyRead(60000))
        errors += process.readAllStandardError().toStdString();
    EXPECT_NE(errors.find("Error 9"), std::string::npos) << errors;
    EXPECT_FALSE(process.waitForFinished(1000));
    process.kill();
    process.waitForFinished();
}

TEST_F(ProgramTest, TheCommandLineIsChecked) {
    EXPECT_EQ(Run({"--help"}).status, 0);
    EXPECT_EQ(Run({"--png", "a.png", "--size", "9x9"}).status, 2);
    EXPECT_EQ(Run({"--bogus", "x"}).status, 2);
}

} // namespace
