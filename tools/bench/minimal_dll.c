/* The least a DLL can be: one export, an entry point that does nothing, no
   runtime and no imports. The benchmark loads and unloads it beside the
   plug-in, so the plug-in's own share of a load shows as a ratio. */
#include <windows.h>

BOOL WINAPI MinimalEntry(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) int __stdcall MinimalExport(void) { return 0; }
