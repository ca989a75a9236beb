// Layout of the platform records the plug-in reads, proved once here.
#include "support/host_interface.h"

// The console record: key-down flag, virtual-key code and scan code.
static_assert(offsetof(INPUT_RECORD, EventType) == 0);
static_assert(offsetof(INPUT_RECORD, Event) == 4);
static_assert(offsetof(INPUT_RECORD, Event.KeyEvent.bKeyDown) == 4);
static_assert(offsetof(INPUT_RECORD, Event.KeyEvent.wVirtualKeyCode) == 10);
static_assert(offsetof(INPUT_RECORD, Event.KeyEvent.wVirtualScanCode) == 12);
