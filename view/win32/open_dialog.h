// The system's Open dialog for a command file, and its Save dialog for
// Export As... and Print to PDF....
#pragma once

// With <windows.h>, after the platform's names that its macros would take.
#include "platform/gdi_surface_windows.h"
#include "view/draw_area.h"

#include <optional>
#include <string>

namespace view::win32 {

// The command file the user chose, in the folder of `shown` (the file shown,
// may be empty) to begin with, as a name the program's file functions take;
// nullopt when the user chose none.
std::optional<std::string> ChooseCommandFile(HWND owner, const std::string& shown);

// Where to save the drawing or its page as `form`: at first NAME.dxf or
// NAME.pdf beside `shown`, the command file NAME.txt shown; nullopt when the
// user chose nowhere.
std::optional<std::string> ChooseSaveFile(HWND owner, const std::string& shown, SavedForm form);

} // namespace view::win32
