// A host that writes 4,096 bytes into the panel record the plug-in hands it
// (496 bytes, 512 at 64 bits): the plug-in's stack guard must end the
// process at once, with STATUS_STACK_BUFFER_OVERRUN and before any exception
// handler runs. The first test runs the second in a child process and reads
// its exit code; the second then ends this program too, which
// check-overrun-report.cmake expects the runner to report. Not a test program
// of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/testbed/test_host.h"
#include "tests/testbed/win_testbed.h"

namespace {

// Far enough to pass the guard of any frame the compiler lays the record in
// (Clang puts its other locals between the two), not so far as to leave the
// room the probe keeps above the call.
constexpr size_t OverrunBytes = 4096;
constexpr size_t RoomAboveTheCall = 4 * OverrunBytes;
static_assert(OverrunBytes > sizeof(PanelInfoRecord));
constexpr DWORD StackBufferOverrun = 0xC0000409;

// Of the panel argument's type, whatever the width.
template <typename Panel>
int32_t __stdcall OverrunningPanelService(Panel, int32_t command, void* parameter) {
    // Neither zero nor the guard: whatever the guard is, this changes it.
    if (command == PanelGetInfo && parameter != nullptr) std::memset(parameter, 0x5A, OverrunBytes);
    return 1;
}

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// Would tell of any handler that sees the end of the process; the crash
// report's own filter would write its CRASH line as well.
LONG WINAPI NoteHandler(EXCEPTION_POINTERS* exception) {
    std::printf("a handler ran: exception 0x%08lX\n",
                static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    std::fflush(stdout);
    return EXCEPTION_CONTINUE_SEARCH;
}

struct ChildRun {
    DWORD ExitCode = 0;
    std::string Output;
};

// Runs one test of this program in a child process on the same console, its
// output read through a pipe.
ChildRun RunAlone(const std::string& test) {
    ChildRun run;
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command = std::string("\"") + program + "\" --gtest_filter=" + test;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    if (!CreatePipe(&reading, &writing, &inherited, 0)) return run;
    const UniqueKernelHandle reader(reading);
    UniqueKernelHandle writer(writing);
    SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    SetHandleInformation(input, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = writing;
    startup.hStdError = writing;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        run.Output = "cannot start " + command;
        return run;
    }
    const UniqueKernelHandle child(process.hProcess);
    const UniqueKernelHandle thread(process.hThread);
    writer.reset();  // the child's copy is the only writer left
    char chunk[512];
    for (DWORD count = 0; ReadFile(reading, chunk, sizeof chunk, &count, nullptr) && count > 0;)
        run.Output.append(chunk, count);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.ExitCode);
    return run;
}

// Calls OpenPlugin below a frame of RoomAboveTheCall bytes, so the overrun
// stays within this thread's stack whatever lies above the plug-in's frame.
__attribute__((noinline)) void CallWithRoomAbove(PluginDll& dll) {
    volatile char room[RoomAboveTheCall];
    room[0] = 0;
    Say("OpenPlugin called");
    dll.OpenPlugin(0, 0);
    room[RoomAboveTheCall - 1] = room[0];
}

TEST(OverrunProbe, EndsTheProcessWithStackBufferOverrun) {
    ChildRun run;
    {
        Watchdog watchdog("the overrunning child", 60000);
        run = RunAlone("OverrunProbe.HostWritesPastThePanelRecord");
    }
    EXPECT_EQ(run.ExitCode, StackBufferOverrun);
    EXPECT_NE(run.Output.find("[ RUN      ] OverrunProbe.HostWritesPastThePanelRecord"), std::string::npos);
    EXPECT_NE(run.Output.find("OpenPlugin called"), std::string::npos);
    EXPECT_EQ(run.Output.find("OpenPlugin returned"), std::string::npos);
    EXPECT_EQ(run.Output.find("a handler ran"), std::string::npos);
    EXPECT_EQ(run.Output.find("CRASH:"), std::string::npos);
    if (HasFailure()) std::printf("The child's output:\n%s\n", run.Output.c_str());
}

TEST(OverrunProbe, HostWritesPastThePanelRecord) {
    ASSERT_TRUE(ConsoleInputAvailable());
    AddVectoredExceptionHandler(1, NoteHandler);
    TestHost& host = TestHost::Instance();
    host.Reset();
    host.RegistryRoot = TestKeyPath();
    PluginDll dll;
    ASSERT_TRUE(dll.Loaded());
    StartupRecord record = host.Record();
    record.PanelControlService = &OverrunningPanelService;
    dll.SetStartupInfo(&record);
    KeyCapture::Instance().TakeKeys();
    FlushConsoleInput();
    // A Ctrl release asks for the panel to open the item under the cursor.
    QueueKeyEvent(VK_CONTROL, CtrlScanCode, false);
    CallWithRoomAbove(dll);
    Say("OpenPlugin returned");
    ADD_FAILURE() << "the overrun went unnoticed";
}

}  // namespace
