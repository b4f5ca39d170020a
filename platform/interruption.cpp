#include "platform/interruption.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace platform {

namespace {

// Files written at once: the drawing or picture, and the viewer's print job.
constexpr size_t kSlots = 4;
// Longer than any name the system opens (PATH_MAX on Linux is 4096).
constexpr size_t kLongestName = 4352;

struct Slot {
    std::atomic<bool> armed{false};
    char name[kLongestName + 1];
};
static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads the flag");

std::array<Slot, kSlots> slots;
// Set while SignalsHeldOff lives; the signal that came meanwhile, or 0.
std::atomic<bool> held{false};
std::atomic<int> pendingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler writes the signal");

[[noreturn]] void EndWithSignal(int signalNumber) {
    for (Slot& slot : slots) {
        if (slot.armed.load(std::memory_order_acquire)) ::unlink(slot.name);
    }
    std::_Exit(128 + signalNumber);
}

extern "C" void EndOnSignal(int signalNumber) {
    if (held.load(std::memory_order_acquire)) {
        pendingSignal.store(signalNumber, std::memory_order_release);
        // Windows puts the default action back before calling a handler.
        std::signal(signalNumber, EndOnSignal);
        return;
    }
    EndWithSignal(signalNumber);
}

} // namespace

void EndCleanlyOnInterruption() {
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        std::signal(signalNumber, EndOnSignal);
    }
#ifdef SIGHUP
    std::signal(SIGHUP, EndOnSignal);
#endif
#ifdef SIGBREAK
    std::signal(SIGBREAK, EndOnSignal);
#endif
}

RemovedOnInterruption::RemovedOnInterruption(const std::string& name) : slot_(-1) {
    if (name.size() > kLongestName) return;
    for (size_t i = 0; i < kSlots; ++i) {
        Slot& slot = slots[i];
        if (slot.armed.load(std::memory_order_relaxed)) continue;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.armed.store(true, std::memory_order_release);
        slot_ = static_cast<int>(i);
        return;
    }
}

RemovedOnInterruption::~RemovedOnInterruption() {
    if (slot_ >= 0) slots[static_cast<size_t>(slot_)].armed.store(false, std::memory_order_release);
}

SignalsHeldOff::SignalsHeldOff() {
    held.store(true, std::memory_order_release);
}

SignalsHeldOff::~SignalsHeldOff() {
    held.store(false, std::memory_order_release);
    if (const int signalNumber = pendingSignal.exchange(0)) EndWithSignal(signalNumber);
}

} // namespace platform
