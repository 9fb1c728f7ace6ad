// patchio::Validate: a sound set has no finding, and each kind of unsound
// contents is found once, at the object, patch, field and slot it is in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "patchio/ReadPlaces.h"
#include "patchio/Validate.h"

namespace {

// Two triangles sharing the edge of vertices 1 and 2: patch 0 names patch
// 1 on edge 1 and patch 1 names patch 0 on edge 0; the other edges are
// open. Every vertex and vector is used.
void SoundSet(PatchIO& set) {
    ExportPatchObject object;
    for (int j = 0; j < 4; ++j) object.AddVert({float(j), float(j * j), 0.0f});
    for (int j = 0; j < 12; ++j) object.AddVec({0.0f, float(j), 1.0f});
    ExportPatch first;
    first.sides = 3;
    const std::int32_t firstVerts[3] = {0, 1, 2}, secondVerts[3] = {2, 1, 3};
    for (int i = 0; i < 3; ++i) {
        first.verts[i] = firstVerts[i];
        first.interior[i] = i;
    }
    for (int i = 0; i < 6; ++i) first.vecs[i] = i;
    ExportPatch second = first;
    for (int i = 0; i < 3; ++i) {
        second.verts[i] = secondVerts[i];
        second.interior[i] = 6 + i;
    }
    for (int i = 0; i < 6; ++i) second.vecs[i] = 6 + i;
    first.adjacent[1] = 1;
    second.adjacent[0] = 0;
    object.AddPatch(first);
    object.AddPatch(second);
    set.AddPatchObject(object);
    set.AddCamera({{1.0f, 2.0f, 3.0f}, {0.0f, 0.0f, 0.0f}});
}

// The sound set with one thing changed: in its first patch, its object or
// its camera.
using Change = std::function<void(ExportPatch& first, ExportPatchObject& object, ExportCamera& camera)>;

void Rebuild(PatchIO& set, const Change& change) {
    PatchIO sound;
    SoundSet(sound);
    const ExportPatchObject& was = sound.PatchObjectAt(0);
    ExportPatchObject object;
    for (std::int32_t j = 0; j < was.NumVerts(); ++j) object.AddVert(was.VertAt(j));
    for (std::int32_t j = 0; j < was.NumVecs(); ++j) object.AddVec(was.VecAt(j));
    ExportPatch first = was.PatchAt(0);
    ExportCamera camera = sound.CameraAt(0);
    change(first, object, camera);
    object.AddPatch(first);
    object.AddPatch(was.PatchAt(1));
    set.AddPatchObject(object);
    set.AddCamera(camera);
}

TEST(Validate, ASoundSetHasNoFindingAndNeitherDoesItsWrittenAndReadCopy) {
    PatchIO set;
    SoundSet(set);
    EXPECT_TRUE(patchio::Validate(set).empty());
    std::string text;
    set.WriteText(text);
    PatchIO read;
    ASSERT_EQ(read.ReadText(text.data(), text.size()), 1);
    EXPECT_TRUE(patchio::Validate(read).empty());
    PatchIO empty;
    EXPECT_TRUE(patchio::Validate(empty).empty());
}

struct Broken {
    const char* name;
    Change change;
    patchio::Finding expected;  // its message is a part of the real one
    std::size_t findings;       // in all
};

TEST(Validate, EachUnsoundValueIsFoundWhereItIs) {
    const Broken cases[] = {
        {"vertex index outside",
         [](ExportPatch& p, ExportPatchObject&, ExportCamera&) { p.verts[2] = 7; },
         {0, 0, -1, "verts", 2, -1, "patch object 0, patch 0: VERTS slot 2 is 7, outside the 4 vertices"},
         1},
        {"vector index negative",
         [](ExportPatch& p, ExportPatchObject&, ExportCamera&) { p.vecs[5] = -9; },
         {0, 0, -1, "vecs", 5, -1, "VECS slot 5 is -9, outside the 12 vectors"},
         2},  // and vector 5 unused
        {"interior -1",
         [](ExportPatch& p, ExportPatchObject&, ExportCamera&) { p.interior[0] = -1; },
         {0, 0, -1, "interior", 0, -1, "INTERIOR slot 0 is -1: the patch has no vector there"},
         1},
        {"neighbour outside",
         [](ExportPatch& p, ExportPatchObject&, ExportCamera&) { p.adjacent[0] = 2; },
         {0, 0, -1, "adjacent", 0, -1, "ADJACENT slot 0 is 2, outside the 2 patches"},
         1},
        {"neighbour below -1",
         [](ExportPatch& p, ExportPatchObject&, ExportCamera&) { p.adjacent[2] = -2; },
         {0, 0, -1, "adjacent", 2, -1, "ADJACENT slot 2 is -2, outside the 2 patches"},
         1},
        {"itself",
         [](ExportPatch& p, ExportPatchObject&, ExportCamera&) { p.adjacent[2] = 0; },
         {0, 0, -1, "adjacent", 2, -1, "ADJACENT slot 2 names the patch itself as its neighbour"},
         1},
        {"not mutual",
         [](ExportPatch& p, ExportPatchObject&, ExportCamera&) { p.adjacent[1] = -1; },
         {0, 1, -1, "adjacent", 0, -1, "patch 1: ADJACENT slot 0 names patch 0, which does not name patch 1 back"},
         1},
        {"five sides",
         [](ExportPatch& p, ExportPatchObject&, ExportCamera&) { p.sides = 5; },
         {0, 0, -1, "sides", -1, -1, "patch object 0, patch 0: SIDES is 5, not 3 or 4"},
         5},  // + 4 slots of -1
        {"infinite vertex",
         [](ExportPatch&, ExportPatchObject& o, ExportCamera&) { o.VertData()[3].y = -INFINITY; },
         {0, -1, -1, "vertex", 3, 1, "patch object 0, vertex 3: y is -infinite"},
         1},
        {"nan vector",
         [](ExportPatch&, ExportPatchObject& o, ExportCamera&) { o.VecData()[4].z = NAN; },
         {0, -1, -1, "vector", 4, 2, "patch object 0, vector 4: z is not a number"},
         1},
        {"camera target",
         [](ExportPatch&, ExportPatchObject&, ExportCamera& c) { c.target.x = INFINITY; },
         {-1, -1, 0, "target", -1, 0, "camera 0: target x is infinite"},
         1},
        {"camera position",
         [](ExportPatch&, ExportPatchObject&, ExportCamera& c) { c.position.z = NAN; },
         {-1, -1, 0, "position", -1, 2, "camera 0: position z is not a number"},
         1},
        {"unused vertices",
         [](ExportPatch&, ExportPatchObject& o, ExportCamera&) {
             o.AddVert({9.0f, 9.0f, 9.0f});
             o.AddVert({8.0f, 9.0f, 9.0f});
         },
         {0, -1, -1, "vertex", 4, -1, "patch object 0: 2 vertices used by no patch (the first is vertex 4)"},
         1},
    };
    for (const Broken& c : cases) {
        SCOPED_TRACE(c.name);
        PatchIO set;
        Rebuild(set, c.change);
        const std::vector<patchio::Finding> findings = patchio::Validate(set);
        EXPECT_EQ(findings.size(), c.findings);
        ASSERT_FALSE(findings.empty());
        const patchio::Finding& f = findings.front();
        const patchio::Finding& e = c.expected;
        EXPECT_EQ(f.object, e.object);
        EXPECT_EQ(f.patch, e.patch);
        EXPECT_EQ(f.camera, e.camera);
        EXPECT_EQ(f.field, e.field);
        EXPECT_EQ(f.slot, e.slot);
        EXPECT_EQ(f.axis, e.axis);
        EXPECT_NE(f.message.find(e.message), std::string::npos) << f.message;
    }
}

// Both forms hand over the same findings in the same order.
TEST(Validate, OneAtATimeGivesWhatTheListGives) {
    PatchIO set;
    Rebuild(set, [](ExportPatch& p, ExportPatchObject& o, ExportCamera& c) {
        p.verts[0] = 99;
        p.adjacent[1] = 5;
        o.AddVec({NAN, 0.0f, 0.0f});
        c.position.x = INFINITY;
    });
    const std::vector<patchio::Finding> all = patchio::Validate(set);
    std::vector<std::string> taken;
    patchio::Validate(set, [&taken](patchio::Finding&& f) {
        taken.push_back(f.message);
        return true;
    });
    ASSERT_EQ(taken.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(taken[i], all[i].message);
    EXPECT_GE(all.size(), 5u);
    // Stopped by the caller, or at most, it gives the first ones.
    for (const std::size_t most : {std::size_t{0}, std::size_t{1}, std::size_t{3}, all.size(), all.size() + 1}) {
        const std::vector<patchio::Finding> first = patchio::Validate(set, most);
        ASSERT_EQ(first.size(), std::min(most, all.size()));
        for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].message, all[i].message);
    }
    std::size_t calls = 0;
    patchio::Validate(set, [&calls](patchio::Finding&&) { return ++calls < 2; });
    EXPECT_EQ(calls, 2u);
}

}  // namespace

namespace {

// Every finding of a random unsound set names a value that the reader's
// places find in the written file: the names of Validate's fields and of
// the reader's values are one vocabulary.
class Places : public patchio::ReadPlaces {
public:
    void Token(patchio::TokenKind kind, const patchio::ValueRef& v, const TextPosition&, const char* text,
               std::size_t length) override {
        if (kind == patchio::TokenKind::Keyword) return;
        told.push_back({v.object, v.patch, v.camera, v.field, v.slot, v.axis, std::string(text, length)});
    }
    std::vector<patchio::Finding> told;  // message holds the token
};

TEST(Validate, EveryFindingOfARandomSetIsAValueTheReaderPlaces) {
    std::mt19937 rng(11);
    const auto pick = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
    const float odd[] = {NAN, INFINITY, -INFINITY, 1.5f};
    std::size_t findings = 0;
    for (int round = 0; round < 50; ++round) {
        PatchIO set;
        for (int i = pick(1, 3); i > 0; --i) {
            ExportPatchObject object;
            for (int j = pick(0, 8); j > 0; --j) object.AddVert({odd[pick(0, 3)], 1.0f, odd[pick(0, 3)]});
            for (int j = pick(0, 12); j > 0; --j) object.AddVec({2.0f, odd[pick(0, 3)], 0.0f});
            for (int k = pick(0, 5); k > 0; --k) {
                ExportPatch patch;
                patch.sides = pick(3, 4);
                for (int s = 0; s < patch.sides; ++s) {
                    patch.verts[s] = pick(-2, 9);
                    patch.interior[s] = pick(-2, 13);
                    patch.adjacent[s] = pick(-2, 5);
                }
                for (int s = 0; s < 2 * patch.sides; ++s) patch.vecs[s] = pick(-2, 13);
                object.AddPatch(patch);
            }
            set.AddPatchObject(object);
        }
        for (int m = pick(0, 2); m > 0; --m)
            set.AddCamera({{odd[pick(0, 3)], 0.0f, 0.0f}, {0.0f, odd[pick(0, 3)], 0.0f}});
        std::string text;
        set.WriteText(text);
        PatchIO read;
        Places places;
        ASSERT_EQ(patchio::ReadTextWithPlaces(text.data(), text.size(), read, places), 1);
        for (const patchio::Finding& f : patchio::Validate(read)) {
            SCOPED_TRACE(f.message);
            ++findings;
            int matches = 0;
            for (const patchio::Finding& t : places.told)
                matches += t.object == f.object && t.patch == f.patch && t.camera == f.camera && t.field == f.field &&
                           t.slot == f.slot && t.axis == f.axis;
            EXPECT_EQ(matches, 1);
        }
    }
    EXPECT_GT(findings, 500u);
}

}  // namespace
