// The system's Open dialog for a command file.
#pragma once

// With <windows.h>, after the platform's names that its macros would take.
#include "platform/gdi_surface_windows.h"

#include <optional>
#include <string>

namespace view::win32 {

// The command file the user chose, in the folder of `shown` (the file shown,
// may be empty) to begin with, as a name the program's file functions take;
// nullopt when the user chose none.
std::optional<std::string> ChooseCommandFile(HWND owner, const std::string& shown);

} // namespace view::win32
