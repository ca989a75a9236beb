// Regressions: defects the hostile and stability runs found, each pinned by a
// focused check. The DLL is loaded here as the host loads it, without the
// fenced heap, so the process's own heap and slots are what is measured.
#include <malloc.h>

#include "tests/hostile/hostile.h"
#include "hostkit/resource_meter.h"

namespace hostile {
namespace {

class Regressions : public HostileTest {
protected:
    StartupRecord record = HostileRecord();

    // One load with every entry point run once, as a host session does it.
    void LoadRunAndUnload() {
        PluginDll dll;
        ASSERT_TRUE(dll.Loaded());
        dll.SetStartupInfo(&record);
        PluginInfoRecord info{};
        dll.GetPluginInfo(&info);
        EXPECT_EQ(dll.Configure(0), 0);
        // The in-test host's logs would grow the heap themselves.
        host.Calls.clear();
        host.MessageCalls.clear();
        host.DialogCalls.clear();
    }
};

// The POSIX thread model's runtime took a TLS slot (and two handles) for the
// loading thread at every load and never gave it back: after about a
// thousand load cycles the runtime found no free slot and aborted the host.
TEST_F(Regressions, LoadCyclesLeaveNoThreadLocalSlotsBehind) {
    LoadRunAndUnload();
    const DWORD slot = LowestFreeTlsSlot();
    for (int cycle = 0; cycle < 20; ++cycle) LoadRunAndUnload();
    EXPECT_EQ(LowestFreeTlsSlot(), slot);
}

// Every load left the C++ runtime's emergency exception buffer (18944 bytes)
// in the heap.
TEST_F(Regressions, LoadCyclesGiveBackTheRuntimesExceptionBuffer) {
    LoadRunAndUnload();
    const HeapUse before = HeapUseOf(CrtHeap());
    for (int cycle = 0; cycle < 20; ++cycle) LoadRunAndUnload();
    const HeapUse after = HeapUseOf(CrtHeap());
    EXPECT_EQ(after.Bytes, before.Bytes);
    EXPECT_EQ(after.Blocks, before.Blocks);
}

}  // namespace
}  // namespace hostile
