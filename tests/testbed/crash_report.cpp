// The crash report: faults and std::terminate named against the running test.
#include "tests/testbed/crash_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

// Written before each test starts, read only by the report: a crashed thread
// must not wait for the test framework's lock.
char RunningTest[256] = "no test (start-up or shut-down)";
const char* volatile Detail = nullptr;

// Straight to the standard error handle: the C library's stream lock may be
// held by the thread that faulted.
void Report(const char* text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

void ReportAndEnd(const char* what, UINT exitCode) {
    const char* detail = Detail;
    char text[sizeof RunningTest + MAX_PATH + 400];
    std::snprintf(text, sizeof text, "\n%s in %s%s%s%s\n", what, RunningTest, detail != nullptr ? " (" : "",
                  detail != nullptr ? detail : "", detail != nullptr ? ")" : "");
    std::fflush(stdout);
    Report(text);
    TerminateProcess(GetCurrentProcess(), exitCode);
}

// The module an address lies in and the offset into it, "Lanternix.dll+0x14C5".
void DescribeAddress(const void* address, char* text, size_t size) {
    MEMORY_BASIC_INFORMATION region{};
    char path[MAX_PATH] = "";
    if (VirtualQuery(address, &region, sizeof region) == 0 ||
        GetModuleFileNameA(static_cast<HMODULE>(region.AllocationBase), path, sizeof path) == 0) {
        std::snprintf(text, size, "no module");
        return;
    }
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at)
        if (*at == '\\' || *at == '/') name = at + 1;
    std::snprintf(text, size, "%s+0x%lX", name,
                  static_cast<unsigned long>(static_cast<const char*>(address) -
                                             static_cast<const char*>(region.AllocationBase)));
}

LONG WINAPI ReportFault(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    char where[MAX_PATH + 20];
    DescribeAddress(record.ExceptionAddress, where, sizeof where);
    char what[sizeof where + 60];
    std::snprintf(what, sizeof what, "CRASH: exception 0x%08lX at %p (%s)",
                  static_cast<unsigned long>(record.ExceptionCode), record.ExceptionAddress, where);
    ReportAndEnd(what, CrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

[[noreturn]] void ReportTermination() {
    ReportAndEnd("TERMINATE: an exception left its handler", TerminationExitCode);
    std::abort();
}

class RunningTestNote : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override {
        std::snprintf(RunningTest, sizeof RunningTest, "%s.%s", test.test_suite_name(), test.name());
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::snprintf(RunningTest, sizeof RunningTest, "no test (between tests)");
    }
};

}  // namespace

void InstallCrashReport() {
    SetUnhandledExceptionFilter(ReportFault);
    std::set_terminate(ReportTermination);
    ::testing::UnitTest::GetInstance()->listeners().Append(new RunningTestNote);  // owned by the framework
}

void SetCrashDetail(const char* detail) { Detail = detail; }
