// The system's change notification on the folder of the command file shown:
// its handle is signalled when a file there is written, created, renamed or
// removed, which is how a rewritten or replaced command file is noticed.
#pragma once

// With <windows.h>, after the platform's names that its macros would take.
#include "platform/gdi_surface_windows.h"

#include <string>

namespace view::win32 {

class FolderWatch {
  public:
    FolderWatch() = default;
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches the folder of `file` (a name in the ANSI code page), unless it
    // is the one watched already.
    void WatchFolderOf(const std::string& file);
    // What to wait for; nullptr while nothing is watched.
    HANDLE Signal() const { return handle_; }
    // After the signal: waits for the next change.
    void Rearm();

  private:
    void Stop();

    HANDLE handle_ = nullptr;
    std::wstring folder_;
};

} // namespace view::win32
