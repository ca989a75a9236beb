// Ends the process when a scope is not left in time: a call into the plug-in
// that blocks on an empty console queue must not hang a session or a test run.
#pragma once

#include <windows.h>

#include <string>

#include "tools/hostkit/system_handles.h"

// What happens when time runs out: a report, then the process ends with the
// exit code once standard output and standard error are flushed.
struct WatchdogExpiry {
    using Report = void (*)(const char* what, DWORD milliseconds);
    Report Tell;
    UINT ExitCode;
};

// To standard error: "WATCHDOG: 'what' did not finish within N ms; ending the program"; exit code 99.
extern const WatchdogExpiry EndProgramOnTimeout;

class Watchdog {
public:
    Watchdog(const char* what, DWORD milliseconds, const WatchdogExpiry& expiry = EndProgramOnTimeout);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    static DWORD WINAPI Watch(LPVOID self);

    std::string what_;
    DWORD milliseconds_;
    WatchdogExpiry expiry_;
    UniqueKernelHandle done_;
    UniqueKernelHandle thread_;
};
