// Numbered run-time errors: the one failure currency of the interpreter, the
// hatch loader and the start-up procedure.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

enum ErrorNumber : int {
    kInvalidArgument = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kDivisionByZero = 11,
    kInternalError = 51,
    kFileNotFound = 53,
    kDeviceIoError = 57,
    kInputPastEnd = 62,
    kPathFileAccessError = 75,
};

// The classic description of an error number ("Overflow", "File not found"...).
const char* ErrorDescription(int number);

class RuntimeError : public std::runtime_error {
  public:
    // `detail` says where the error happened (a file and line, a name); it may be empty.
    RuntimeError(int number, std::string detail = {});

    int Number() const { return number_; }
    const std::string& Detail() const { return detail_; }

  private:
    int number_;
    std::string detail_;
};

[[noreturn]] void Raise(int number, std::string detail = {});

// `reason` without the "name: " that file errors start with, for a message
// that names the file already.
std::string WithoutName(std::string reason, const std::string& name);

} // namespace platform
