// The start-up record a host hands the plug-in, filled in one place for the
// stand-in host, the lean host and the test bed.
#pragma once

#include <cstdint>
#include <cstring>

#include "support/host_interface.h"

// What a host offers the plug-in through its record.
struct HostServices {
    intptr_t ModuleId = 0;
    DialogServiceProc Dialog = nullptr;
    MessageBoxServiceProc MessageBox = nullptr;
    MessageServiceProc Message = nullptr;
    PanelControlServiceProc PanelControl = nullptr;
    NameMatchServiceProc NameMatch = nullptr;
};

// The record with the services and the registry root (which must outlive the
// plug-in's use of it); every other byte holds `opaqueFill`.
inline StartupRecord MakeStartupRecord(const HostServices& services, const char* registryRoot, uint8_t opaqueFill = 0) {
    StartupRecord record;
    std::memset(&record, opaqueFill, sizeof record);
    record.ModuleId = services.ModuleId;
    record.RegistryRoot = registryRoot;
    record.DialogService = services.Dialog;
    record.MessageBoxService = services.MessageBox;
    record.MessageService = services.Message;
    record.PanelControlService = services.PanelControl;
    record.NameMatchService = services.NameMatch;
    return record;
}
