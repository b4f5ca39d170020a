#include "view/win32/folder_watch.h"

#include <vector>

namespace view::win32 {

namespace {

std::wstring FolderOf(const std::string& file) {
    const std::wstring name = platform::Widen(file);
    const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::vector<wchar_t> full(size);
    wchar_t* fileName = nullptr;
    if (GetFullPathNameW(name.c_str(), size, full.data(), &fileName) == 0 || !fileName) return {};
    return std::wstring(full.data(), fileName);
}

} // namespace

FolderWatch::~FolderWatch() {
    Stop();
}

void FolderWatch::WatchFolderOf(const std::string& file) {
    const std::wstring folder = FolderOf(file);
    if (folder.empty() || (handle_ && folder == folder_)) return;
    Stop();
    // A write changes the time and size; an editor's save may create,
    // rename or remove; all of them are looked at.
    const HANDLE handle = FindFirstChangeNotificationW(
        folder.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (handle == INVALID_HANDLE_VALUE) return; // no watch there: Reload still works
    handle_ = handle;
    folder_ = folder;
}

void FolderWatch::Rearm() {
    if (handle_ && !FindNextChangeNotification(handle_)) Stop();
}

void FolderWatch::Stop() {
    if (handle_) FindCloseChangeNotification(handle_);
    handle_ = nullptr;
    folder_.clear();
}

} // namespace view::win32
