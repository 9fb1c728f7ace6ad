#include "host/HostApi.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Reports kept since the last clear. A process that never clears (a
// pipeline reading file after file of an unknown version) must not grow
// without end; later reports beyond this many are dropped.
constexpr std::size_t kMaxKeptReports = 1000;

std::vector<AssertReport>& Reports() {
    static std::vector<AssertReport> reports;
    return reports;
}

Interface*& CurrentInterface() {
    static Interface* current = nullptr;
    return current;
}

// What GetCOREInterface answers before a host sets its own: a scene root
// without children, no pages, no directories.
class EmptyNode final : public HostNode {
public:
    HostObject* EvaluatedObject(HostTime, int) override { return nullptr; }
    Matrix3 Transform(HostTime) override { return Matrix3::Identity(); }
    HostNode* LookAtTarget() override { return nullptr; }
    int ChildCount() override { return 0; }
    HostNode* Child(int) override { return nullptr; }
};

class EmptyInterface final : public Interface {
public:
    HWND AddPanelPage(HINSTANCE, int, DLGPROC, const char*, LPARAM, DWORD) override { return nullptr; }
    void RemovePanelPage(HWND) override {}
    int PanelMouseMessage(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    const char* DirectoryPath(int) override { return nullptr; }
    HostNode* SceneRoot() override { return &root_; }
    HostTime CurrentTime() override { return 0; }

private:
    EmptyNode root_;
};

Interface* Empty() {
    static EmptyInterface empty;
    return &empty;
}

int& CustomControls() {
    static int count = 0;
    return count;
}

float Length(const Float3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Float3 Scaled(const Float3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }

// A rotation matrix (rows) as a unit quaternion.
HostQuat QuatFromRows(const Float3& r0, const Float3& r1, const Float3& r2) {
    HostQuat q;
    const float trace = r0.x + r1.y + r2.z;
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f) * 2.0f;
        q.w = 0.25f * s;
        q.x = (r1.z - r2.y) / s;
        q.y = (r2.x - r0.z) / s;
        q.z = (r0.y - r1.x) / s;
    } else if (r0.x > r1.y && r0.x > r2.z) {
        const float s = std::sqrt(1.0f + r0.x - r1.y - r2.z) * 2.0f;
        q.w = (r1.z - r2.y) / s;
        q.x = 0.25f * s;
        q.y = (r1.x + r0.y) / s;
        q.z = (r2.x + r0.z) / s;
    } else if (r1.y > r2.z) {
        const float s = std::sqrt(1.0f + r1.y - r0.x - r2.z) * 2.0f;
        q.w = (r2.x - r0.z) / s;
        q.x = (r1.x + r0.y) / s;
        q.y = 0.25f * s;
        q.z = (r2.y + r1.z) / s;
    } else {
        const float s = std::sqrt(1.0f + r2.z - r0.x - r1.y) * 2.0f;
        q.w = (r0.y - r1.x) / s;
        q.x = (r2.x + r0.z) / s;
        q.y = (r2.y + r1.z) / s;
        q.z = 0.25f * s;
    }
    return q;
}

}  // namespace

Interface* GetCOREInterface() {
    Interface* current = CurrentInterface();
    return current ? current : Empty();
}

Interface* SetCOREInterface(Interface* ip) {
    Interface* previous = CurrentInterface();
    CurrentInterface() = ip;
    return previous;
}

// The translation is copied exactly. The rest assumes a transform without
// shear: scale from the row lengths, the sign from the determinant, and the
// rotation from the normalised rows.
void decomp_affine(Matrix3 m, AffineParts* parts) {
    if (!parts) return;
    AffineParts result;
    result.t = m.row[3];
    Float3 r0 = m.row[0], r1 = m.row[1], r2 = m.row[2];
    const float det =
        r0.x * (r1.y * r2.z - r1.z * r2.y) - r0.y * (r1.x * r2.z - r1.z * r2.x) + r0.z * (r1.x * r2.y - r1.y * r2.x);
    result.f = det < 0.0f ? -1.0f : 1.0f;
    result.k = {Length(r0), Length(r1), Length(r2)};
    if (result.k.x > 0.0f && result.k.y > 0.0f && result.k.z > 0.0f) {
        r0 = Scaled(r0, result.f / result.k.x);
        r1 = Scaled(r1, result.f / result.k.y);
        r2 = Scaled(r2, result.f / result.k.z);
        result.q = QuatFromRows(r0, r1, r2);
    }
    *parts = result;
}

void assert1(int line, const char* file) {
    if (Reports().size() < kMaxKeptReports) Reports().push_back({line, file ? file : ""});
}

const std::vector<AssertReport>& AssertReports() { return Reports(); }

void ClearAssertReports() { Reports().clear(); }

void InitCustomControls(HINSTANCE) { ++CustomControls(); }

int CustomControlsInitialisations() { return CustomControls(); }

FilterList::FilterList() { std::memset(buffer_, 0, sizeof buffer_); }

void FilterList::Append(const char* text) {
    if (!text) return;
    // Keep two nulls of room: the text's own and the list's final one.
    if (used_ + 2 > kCapacity) return;
    const std::size_t room = kCapacity - used_ - 2;
    std::size_t n = std::strlen(text);
    if (n > room) n = room;
    std::memcpy(buffer_ + used_, text, n);
    used_ += n;
    buffer_[used_++] = '\0';
    buffer_[used_] = '\0';
}
