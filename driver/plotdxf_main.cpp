// plotdxf: converts plot command files into DXF drawings.
//
// Classic form (no argument, or a command line that does not start with
// '-'): tempdxf.txt of the program's folder into the drawing named by the
// command line (temp.dxf when it is empty), relative to that folder; never a
// command file, which the drawing would not replace.
// Explicit form: the options below, relative names from the current folder.
#include "driver/batch_run.h"
#include "driver/command_line.h"
#include "interpreter/exit_status.h"
#include "platform/interruption.h"
#include "platform/process.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "usage: plotdxf -i FILE [-o FILE] [options]\n"
    "       plotdxf --output-dir DIR [options] FILE...\n"
    "       plotdxf [DRAWING]          (classic form: DRAWING is the drawing)\n"
    "\n"
    "Converts plot command files into DXF drawings.\n"
    "\n"
    "  -i, --input FILE    the command file to convert ('-': standard input); may\n"
    "                      be given several times, and after a first option\n"
    "                      FILE alone means -i FILE\n"
    "  -o, --output FILE   the drawing ('-': standard output); default: FILE with\n"
    "                      the extension .dxf, beside it (standard output for\n"
    "                      standard input)\n"
    "  --output-dir DIR    the drawings of several command files go into DIR\n"
    "                      (made when missing)\n"
    "  --patterns FILE     the hatch pattern file (default: kqhatch.pat beside\n"
    "                      the program)\n"
    "  --encoding ENC      cp1252 (default) or utf-8; a UTF-8 byte-order mark\n"
    "                      always selects utf-8\n"
    "  --strict            the warnings about lines the reader passes over (an\n"
    "                      unknown command, text after the last TAB, a line\n"
    "                      without a TAB) are errors\n"
    "  --verbose           a line for every command file converted\n"
    "  --hatch-lines       pattern hatches as their lines, for readers that draw\n"
    "                      only the patterns they know by name (also\n"
    "                      PLOTDXF_HATCH=lines, in either form)\n"
    "  --dxf-version V     R12, 2000, 2004 (default), 2007, 2010, 2013 or 2018;\n"
    "                      R12 holds fills as SOLID pieces and hatches as lines\n"
    "                      (also PLOTDXF_DXF_VERSION=V)\n"
    "  --units in|mm       the drawing in inches (default) or millimetres\n"
    "                      (also PLOTDXF_UNITS=mm)\n"
    "  --layers kind|drawing\n"
    "                      each entity on a layer named for what it is (texts\n"
    "                      KQ_TEXT, lines KQ_LINE, fills KQ_FILL...), or on the\n"
    "                      drawing's own (default) (also PLOTDXF_LAYERS=kind)\n"
    "  --write-pat FILE    write the hatch patterns as a .pat library for CAD\n"
    "                      programs (the names the hatches carry), convert nothing\n"
    "  -h, --help          this text\n"
    "  -V, --version       the version\n"
    "Relative names are taken from the current folder. Each command file is\n"
    "converted on its own; a line ends at CR LF, CR or LF.\n"
    "\n"
    "Classic form: a command line that does not start with '-' names the drawing\n"
    "to write in the program's folder (temp.dxf when empty), made of tempdxf.txt\n"
    "in that folder; a line ends at CR LF or CR.\n"
    "\n"
    "A drawing replaces only a missing or empty file or a DXF drawing: any other\n"
    "file (a command file, a text, a picture) is left as it is, with status 2.\n"
    "A DXF drawing, picture or binary file given as the command file is refused.\n"
    "\n"
    "Exit status (the worst of all command files):\n"
    "  0  converted\n"
    "  1  the command file stopped at an error; the drawing holds what the lines\n"
    "     before it built\n"
    "  2  nothing written: the drawing could not be written or its name is a file\n"
    "     that is not a drawing, the command file could not be read or is not\n"
    "     one, or the command line was not understood\n"
    "  3  a run-time error (such as a missing pattern file) ended the run\n";

void Say(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

} // namespace

int main(int argc, char** argv) {
    platform::KeepRunningWhenStderrCloses();
    platform::EndCleanlyOnInterruption();
    const driver::CommandLine line = driver::ReadConverterCommandLine(argc, argv);
    switch (line.request) {
    case driver::Request::Help:
        Say(stdout, kUsage);
        return interpreter::kConverted;
    case driver::Request::Version:
        Say(stdout, driver::VersionText("plotdxf") + "\n");
        return interpreter::kConverted;
    case driver::Request::Refused:
        driver::Complain("plotdxf", line.problem + " (see --help)");
        return interpreter::kNotWritten;
    case driver::Request::Run:
        break;
    }
    driver::RunBatchConversion(line.run);
}
