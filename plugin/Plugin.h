// The plug-in frame: the library-initialisation state, the resource-string
// loader and the four exported discovery functions.
#pragma once

#include <cstdint>

#include "host/HostInterfaces.h"
#include "plugin/Platform.h"

// The module instance handle recorded by LibraryInit; null before the first
// loader notification.
HINSTANCE ModuleInstance();

// Loads string id of the module's string table into the one shared
// 256-character buffer and answers that buffer, or null when the module
// handle is unset or there is no such string. Every successful load
// overwrites the buffer, so earlier answers then read the newer text.
const char* LoadResourceText(UINT id);

class ExporterUtility;
// The one static utility object.
ExporterUtility& TheExporterUtility();

// The class identifier of the exporter utility, first word first.
constexpr HostTypeId ExporterClassCode{0x84A95E7Bu, 0x6BBB8DB1u};
// The version stamp of the host plug-in interface this library is built
// for: 2500 in bits 16 to 31, 5 in bits 8 to 15, 0 in bits 0 to 7.
constexpr std::uint32_t PluginInterfaceVersion = 0x09C40500u;

extern "C" {
PLUGIN_EXPORT const char* LibDescription();
PLUGIN_EXPORT int LibNumberClasses();
PLUGIN_EXPORT HostClassDesc* LibClassDesc(int index);
PLUGIN_EXPORT std::uint32_t LibVersion();
}
