#include "platform/runtime_error.h"

namespace platform {

const char* ErrorDescription(int number) {
    switch (number) {
    case kInvalidArgument:
        return "Invalid procedure call or argument";
    case kOverflow:
        return "Overflow";
    case kOutOfMemory:
        return "Out of memory";
    case kSubscriptOutOfRange:
        return "Subscript out of range";
    case kDivisionByZero:
        return "Division by zero";
    case kInternalError:
        return "Internal error";
    case kFileNotFound:
        return "File not found";
    case kDeviceIoError:
        return "Device I/O error";
    case kInputPastEnd:
        return "Input past end of file";
    case kPathFileAccessError:
        return "Path/File access error";
    default:
        return "Application-defined or object-defined error";
    }
}

static std::string ComposeWhat(int number, const std::string& detail) {
    std::string text =
        "Run-time error '" + std::to_string(number) + "': " + ErrorDescription(number);
    if (!detail.empty()) text += " (" + detail + ")";
    return text;
}

RuntimeError::RuntimeError(int number, std::string detail)
    : std::runtime_error(ComposeWhat(number, detail)), number_(number), detail_(std::move(detail)) {
}

void Raise(int number, std::string detail) {
    throw RuntimeError(number, std::move(detail));
}

std::string WithoutName(std::string reason, const std::string& name) {
    if (!name.empty() && reason.starts_with(name + ": ")) reason.erase(0, name.size() + 2);
    return reason;
}

} // namespace platform
