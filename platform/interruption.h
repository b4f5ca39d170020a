// Ending the program on SIGTERM, SIGINT or SIGHUP (SIGBREAK on Windows)
// without leaving a half-written file behind: the temporary files being
// written are removed, the files they were to replace stay as they were, and
// the program ends with the status a shell gives a signal (128 + its number).
#pragma once

#include <string>

namespace platform {

// Installs the handlers; once per program, before any output is written.
void EndCleanlyOnInterruption();

// While it lives, the file `name` is removed if a signal ends the program.
// The name is kept ready in static storage so that the handler only unlinks
// (async-signal-safe); a name too long for that storage, or more files at
// once than it holds, is not covered.
class RemovedOnInterruption {
  public:
    explicit RemovedOnInterruption(const std::string& name);
    ~RemovedOnInterruption();
    RemovedOnInterruption(const RemovedOnInterruption&) = delete;
    RemovedOnInterruption& operator=(const RemovedOnInterruption&) = delete;

  private:
    int slot_; // -1: not covered
};

// While it lives, a signal that would end the program waits, and ends it
// when this ends: a file created and then covered by RemovedOnInterruption
// under it is never left behind by a signal that came in between. Holds
// nothing that could wait long (a file's creation).
class SignalsHeldOff {
  public:
    SignalsHeldOff();
    ~SignalsHeldOff();
    SignalsHeldOff(const SignalsHeldOff&) = delete;
    SignalsHeldOff& operator=(const SignalsHeldOff&) = delete;
};

} // namespace platform
