// The host application's interfaces as a plug-in sees them. The host calls
// the plug-in through the class-descriptor and utility interfaces; the
// plug-in calls the host through the others. Operations come in the host's
// fixed order; do not reorder them.
#pragma once

#include <cstdint>

#include "host/CStr.h"
#include "host/HostExport.h"
#include "host/HostTypes.h"
#include "host/WinTypes.h"

class HostNode;

// One patch of a host patch mesh.
struct HostPatch {
    std::int32_t type = 4;  // 3 (triangular) or 4 (quadrilateral)
    std::int32_t vertIndex[4] = {-1, -1, -1, -1};
    std::int32_t vecIndex[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t interiorIndex[4] = {-1, -1, -1, -1};
    std::int32_t edgeIndex[4] = {-1, -1, -1, -1};
};

// One edge of a host patch mesh: the patches on either side (-1 for none).
struct HostPatchEdge {
    std::int32_t firstPatch = -1;
    std::int32_t secondPatch = -1;
};

// Read-only view of a patch object's data.
class HostPatchMesh {
public:
    virtual int VertCount() const = 0;
    virtual Float3 VertPoint(int index) const = 0;
    virtual int VecCount() const = 0;
    virtual Float3 VecPoint(int index) const = 0;
    virtual int PatchCount() const = 0;
    virtual const HostPatch& PatchRecord(int index) const = 0;
    virtual int EdgeCount() const = 0;
    virtual const HostPatchEdge& EdgeRecord(int index) const = 0;

protected:
    ~HostPatchMesh() = default;
};

// Base of every host object that can be deleted through the host.
class ReferenceMaker {
public:
    // Deletes an object that the caller owns (a converted object).
    virtual void DeleteMe() = 0;

protected:
    virtual ~ReferenceMaker() = default;
};

// An object that a node yields when evaluated.
class HostObject : public ReferenceMaker {
public:
    // Non-zero if the object can be converted to the given type.
    virtual int CanBecome(HostTypeId type) = 0;
    // Itself if already of that type; otherwise a new object owned by the
    // caller, or null.
    virtual HostObject* Become(HostTime time, HostTypeId type) = 0;
    // The patch data of a patch object; null for any other object.
    virtual const HostPatchMesh* PatchData() = 0;
    // Evaluates a camera; 1 on success.
    virtual int EvaluateCamera(HostTime time, HostInterval& valid, HostCameraState* state) = 0;
};

// A node of the host scene.
class HostNode {
public:
    // The object the node yields at the given time, or null. The host takes
    // one further integer along with the request; callers pass 1.
    virtual HostObject* EvaluatedObject(HostTime time, int flags) = 0;
    // The node's world transform at the given time.
    virtual Matrix3 Transform(HostTime time) = 0;
    // The node a look-at camera aims at, or null.
    virtual HostNode* LookAtTarget() = 0;
    virtual int ChildCount() = 0;
    virtual HostNode* Child(int index) = 0;

protected:
    ~HostNode() = default;
};

// Handed to a utility's OpenPanel; never called by the plug-in.
class HostUtilityPanel {
public:
    virtual void CloseUtility() = 0;

protected:
    ~HostUtilityPanel() = default;
};

// The host's core interface.
class Interface {
public:
    // Adds a rollup page built from a dialog template; answers its window.
    virtual HWND AddPanelPage(HINSTANCE instance, int dialogId, DLGPROC proc, const char* title, LPARAM param,
                              DWORD flags) = 0;
    virtual void RemovePanelPage(HWND page) = 0;
    // Lets the host handle a mouse message of a rollup page.
    virtual int PanelMouseMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // A directory the host knows by index (3: where exports go), or null.
    virtual const char* DirectoryPath(int which) = 0;
    virtual HostNode* SceneRoot() = 0;
    virtual HostTime CurrentTime() = 0;

protected:
    ~Interface() = default;
};

// The host's utility interface, implemented by a utility plug-in.
class HostUtility {
public:
    virtual void OpenPanel(Interface* ip, HostUtilityPanel* panel) = 0;
    virtual void ClosePanel(Interface* ip, HostUtilityPanel* panel) = 0;
    virtual void SelectionChanged(Interface*, HostUtilityPanel*) {}
    virtual void Dispose() = 0;
    virtual void SetStartupParam(CStr) {}

protected:
    ~HostUtility() = default;
};

// The host's class-descriptor interface, implemented by every plug-in class.
class HostClassDesc {
public:
    virtual int PublicFlag() = 0;
    virtual void* NewInstance(int loading) = 0;
    virtual int BeginCreate(void*) { return 0; }
    virtual int EndCreate(void*) { return 0; }
    virtual const char* ClassLabel() = 0;
    virtual std::uint32_t SuperClassCode() = 0;
    virtual HostTypeId ClassCode() = 0;
    virtual const char* CategoryLabel() = 0;
    virtual int OkToCreate(void*) { return 1; }
    virtual int HasClassParams() { return 0; }
    virtual void EditClassParams(void*) {}
    virtual void ResetClassParams(int) {}
    virtual int NumActionTables() { return 0; }
    virtual void* ActionTable(int) { return nullptr; }
    virtual void* InterfaceById(int) { return nullptr; }

protected:
    ~HostClassDesc() = default;
};

// Super-class code of utility plug-ins.
constexpr std::uint32_t UtilitySuperClassCode = 0x1020u;
