// Free operations of the host application that plug-ins call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/CStr.h"
#include "host/HostExport.h"
#include "host/HostInterfaces.h"
#include "host/HostTypes.h"

// The host's core interface; never null.
HOST_API Interface* GetCOREInterface();

// Decomposes a transform into translation, rotations, scale and sign.
HOST_API void decomp_affine(Matrix3 m, AffineParts* parts);

// Initialises the host's custom controls for a module.
HOST_API void InitCustomControls(HINSTANCE instance);

// The host's assertion report: a broken precondition at line of file.
// Execution continues after it.
HOST_API void assert1(int line, const char* file);

// A Windows filter list in a zeroed 2048-byte buffer: each text appended
// with its terminating null, the list ended by one more null.
class HOST_API FilterList {
public:
    static constexpr std::size_t kCapacity = 2048;

    FilterList();
    // Appends text and its null. A text that would not leave room for the
    // list's final null is cut so that the buffer is never overrun.
    void Append(const char* text);
    char* Buffer() { return buffer_; }
    const char* Buffer() const { return buffer_; }
    operator char*() { return buffer_; }
    std::size_t Used() const { return used_; }

private:
    char buffer_[kCapacity];
    std::size_t used_ = 0;
};

// ---- For the host side: what a host program sets up and reads back ----

// Makes ip the interface that GetCOREInterface answers (null: a built-in
// empty scene with no pages and no directories). Answers the previous one.
HOST_API Interface* SetCOREInterface(Interface* ip);

// Assertion reports, in the order they were raised: the first 1000 since
// the last clear.
struct AssertReport {
    int line;
    std::string file;
};
HOST_API const std::vector<AssertReport>& AssertReports();
HOST_API void ClearAssertReports();

// How often InitCustomControls was called.
HOST_API int CustomControlsInitialisations();
