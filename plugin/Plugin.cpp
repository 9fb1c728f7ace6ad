#include "plugin/Plugin.h"

#include "host/HostApi.h"
#include "plugin/ExporterUtility.h"
#include "plugin/Resources.h"

namespace {

constexpr int kSharedTextSize = 256;

HINSTANCE moduleInstance = nullptr;
int controlsInitialised = 0;
char sharedText[kSharedTextSize];

// The class descriptor through which the host learns the utility class and
// obtains the one utility object.
class ExporterDescriptor final : public HostClassDesc {
public:
    constexpr ExporterDescriptor() = default;

    int PublicFlag() override { return 1; }
    void* NewInstance(int) override { return static_cast<HostUtility*>(&TheExporterUtility()); }
    const char* ClassLabel() override { return LoadResourceText(IDS_CLASS_NAME); }
    std::uint32_t SuperClassCode() override { return UtilitySuperClassCode; }
    HostTypeId ClassCode() override { return ExporterClassCode; }
    const char* CategoryLabel() override { return LoadResourceText(IDS_CATEGORY); }
    // The class has no class parameters to reset.
    void ResetClassParams(int) override {}
};

// The two static objects of the library, utility first.
ExporterUtility exporterUtility;
ExporterDescriptor exporterDescriptor;

}  // namespace

HINSTANCE ModuleInstance() { return moduleInstance; }

ExporterUtility& TheExporterUtility() { return exporterUtility; }

int LibraryInit(HINSTANCE instance, DWORD, LPVOID) {
    moduleInstance = instance;
    if (!controlsInitialised) {
        controlsInitialised = 1;
        InitCustomControls(moduleInstance);
        platform::InitPlatformControls();
    }
    return 1;
}

const char* LoadResourceText(UINT id) {
    if (!moduleInstance) return nullptr;
    if (platform::LoadResourceString(moduleInstance, id, sharedText, kSharedTextSize) == 0) return nullptr;
    return sharedText;
}

extern "C" {

const char* LibDescription() { return LoadResourceText(IDS_LIBDESCRIPTION); }

int LibNumberClasses() { return 1; }

HostClassDesc* LibClassDesc(int index) { return index == 0 ? &exporterDescriptor : nullptr; }

std::uint32_t LibVersion() { return PluginInterfaceVersion; }

}  // extern "C"
