// A test program that faults must fail and say in which test: the report
// names the running test and ends the program with a code of its own.
#pragma once

#include <windows.h>

// Exit codes of their own, so a crash is not mistaken for failed checks (1).
constexpr UINT CrashExitCode = 98;        // a fault in any thread
constexpr UINT TerminationExitCode = 97;  // a C++ exception left its handler

// Reports an unhandled fault or a call of std::terminate with the running test
// on standard error, then ends the program with the codes above.
void InstallCrashReport();

// Text that the report adds after the test's name, such as a seeded case; the
// text must stay valid while set. Null for none.
void SetCrashDetail(const char* detail);
