// The system's own wording of a Windows error code, for messages of the form
// "<name>: <reason>" like those strerror() gives elsewhere.
#pragma once

#include <string>

namespace platform {

// FormatMessageA's text for `code` (a GetLastError() value) without its
// closing full stop and line end.
std::string SystemErrorText(unsigned long code);

} // namespace platform
