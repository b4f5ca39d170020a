#include "view/win32/open_dialog.h"

#include "platform/message_box.h"

#include <commdlg.h>

#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

namespace view::win32 {

namespace {

// Pairs of a description and its patterns, ended by an empty one.
constexpr wchar_t kFilter[] = L"Plot command files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";

// The program reads files by names in the ANSI code page: a name with
// characters outside it is given by its short (8.3) form, which has none.
std::optional<std::string> ProgramName(const std::wstring& chosen) {
    if (std::optional<std::string> name = platform::Narrow(chosen)) return name;
    std::array<wchar_t, MAX_PATH + 1> shortName{};
    const DWORD length =
        GetShortPathNameW(chosen.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (length == 0 || length >= shortName.size()) return std::nullopt;
    return platform::Narrow(std::wstring_view(shortName.data(), length));
}

} // namespace

std::optional<std::string> ChooseCommandFile(HWND owner, const std::string& shown) {
    std::vector<wchar_t> file(32768, L'\0'); // the longest path the system has
    std::wstring folder;
    if (!shown.empty()) {
        std::error_code unknown; // then the dialog's own choice of folder
        folder = std::filesystem::absolute(platform::Widen(shown), unknown).parent_path().wstring();
    }
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = L"Open Command File";
    // The current folder stays the program's: the classic files are found there.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    std::optional<std::string> name = ProgramName(file.data());
    if (!name) {
        platform::ShowMessage("The name of the file chosen has characters this program cannot "
                              "open files by, and the file has no short name: rename it, then "
                              "open it again.",
                              platform::ProgramName());
    }
    return name;
}

} // namespace view::win32
