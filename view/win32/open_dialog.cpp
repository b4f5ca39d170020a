#include "view/win32/open_dialog.h"

#include "platform/message_box.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

namespace view::win32 {

namespace {

// Pairs of a description and its patterns, ended by an empty one.
constexpr wchar_t kFilter[] = L"Plot command files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
constexpr wchar_t kDxfFilter[] = L"DXF drawings (*.dxf)\0*.dxf\0All files (*.*)\0*.*\0";
constexpr wchar_t kPdfFilter[] = L"PDF documents (*.pdf)\0*.pdf\0All files (*.*)\0*.*\0";

// The longest path the system has.
constexpr size_t kLongestPath = 32768;

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

// The folder of `shown`, empty when there is none (the dialog then chooses).
std::wstring FolderOf(const std::string& shown) {
    if (shown.empty()) return {};
    std::error_code unknown;
    return std::filesystem::absolute(platform::Widen(shown), unknown).parent_path().wstring();
}

// The name the program's file functions take for the file chosen, or nullopt
// after telling the user why there is none.
std::optional<std::string> ChosenName(const wchar_t* chosen) {
    std::optional<std::string> name = ProgramName(chosen);
    if (!name) {
        platform::ShowMessage("The name of the file chosen has characters this program cannot "
                              "open files by, and the file has no short name: rename it, then "
                              "choose it again.",
                              platform::ProgramName());
    }
    return name;
}

} // namespace

std::optional<std::string> ChooseCommandFile(HWND owner, const std::string& shown) {
    std::vector<wchar_t> file(kLongestPath, L'\0');
    const std::wstring folder = FolderOf(shown);
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
    return ChosenName(file.data());
}

std::optional<std::string> ChooseSaveFile(HWND owner, const std::string& shown, SavedForm form) {
    const bool dxf = form == SavedForm::Dxf;
    std::wstring proposed = shown.empty()
                                ? std::wstring(L"drawing")
                                : std::filesystem::path(platform::Widen(shown)).stem().wstring();
    proposed += dxf ? L".dxf" : L".pdf";
    std::vector<wchar_t> file(kLongestPath, L'\0');
    proposed.copy(file.data(), std::min(proposed.size(), file.size() - 1));
    const std::wstring folder = FolderOf(shown);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = dxf ? kDxfFilter : kPdfFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = dxf ? L"Export As" : L"Print to PDF";
    dialog.lpstrDefExt = dxf ? L"dxf" : L"pdf";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return ChosenName(file.data());
}

} // namespace view::win32
