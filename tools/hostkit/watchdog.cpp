// The watchdog thread that ends a call which blocks too long.
#include "tools/hostkit/watchdog.h"

#include <cstdio>

namespace {

void ReportToStandardError(const char* what, DWORD milliseconds) {
    std::fprintf(stderr, "\nWATCHDOG: '%s' did not finish within %lu ms; ending the program\n", what,
                 static_cast<unsigned long>(milliseconds));
}

}  // namespace

const WatchdogExpiry EndProgramOnTimeout{ReportToStandardError, 99};

Watchdog::Watchdog(const char* what, DWORD milliseconds, const WatchdogExpiry& expiry)
    : what_(what), milliseconds_(milliseconds), expiry_(expiry), done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    // Without its event or thread the watchdog cannot watch; the scope then
    // runs unguarded rather than not at all.
    if (done_) thread_.reset(CreateThread(nullptr, 0, Watch, this, 0, nullptr));
}

Watchdog::~Watchdog() {
    if (!thread_) return;
    SetEvent(done_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI Watchdog::Watch(LPVOID self) {
    const auto* dog = static_cast<const Watchdog*>(self);
    if (WaitForSingleObject(dog->done_.get(), dog->milliseconds_) == WAIT_TIMEOUT) {
        dog->expiry_.Tell(dog->what_.c_str(), dog->milliseconds_);
        std::fflush(stdout);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), dog->expiry_.ExitCode);
    }
    return 0;
}
