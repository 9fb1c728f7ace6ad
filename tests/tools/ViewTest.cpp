// patchtext view: what the page is given (borders, open edges, the control
// net, cameras), how it is encoded, and the command's files and refusals.
// The page itself is checked in a browser by view_browser_test.py.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <random>
#include <set>

#include "DesktopOpener.h"
#include "ToolFiles.h"
#include "gltf/CameraPose.h"
#include "patchio/PatchIO.h"
#include "support/Progress.h"
#include "tools/patchtext/PageModel.h"

namespace {

using patchtool::PageModel;
using patchtool::PageObject;
using surface::Vec3;

// Two flat quadrilaterals side by side, (0..1) and (1..2) x (0..1), that
// share the edge at x = 1; their other six edges are open.
void TwoQuads(PatchIO& set) {
    ExportPatchObject object;
    for (float x : {0.0f, 1.0f, 2.0f})
        for (float y : {0.0f, 1.0f}) object.AddVert({x, y, 0.0f});  // vertex 2x + y
    // Each edge's two handles, a third and two thirds along it.
    auto handles = [&object](Float3 a, Float3 b) {
        const std::int32_t first = object.NumVecs();
        object.AddVec({a.x + (b.x - a.x) / 3, a.y + (b.y - a.y) / 3, 0.0f});
        object.AddVec({a.x + 2 * (b.x - a.x) / 3, a.y + 2 * (b.y - a.y) / 3, 0.0f});
        return first;
    };
    const Float3 v[6] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    const std::int32_t shared = handles(v[2], v[3]);
    for (int q = 0; q < 2; ++q) {
        // Corners counter-clockwise: (x,0), (x+1,0), (x+1,1), (x,1).
        const std::int32_t c[4] = {2 * q, 2 * q + 2, 2 * q + 3, 2 * q + 1};
        ExportPatch patch;
        for (int i = 0; i < 4; ++i) patch.verts[i] = c[i];
        for (int i = 0; i < 4; ++i) {
            const std::int32_t a = c[i], b = c[(i + 1) % 4];
            const bool isShared = (a == 2 && b == 3) || (a == 3 && b == 2);
            const std::int32_t h = isShared ? shared : handles(v[a], v[b]);
            const bool forward = !isShared || a == 2;
            patch.vecs[2 * i] = forward ? h : h + 1;
            patch.vecs[2 * i + 1] = forward ? h + 1 : h;
            patch.adjacent[i] = isShared ? 1 - q : -1;
        }
        for (int i = 0; i < 4; ++i) {
            const Float3 corner = v[c[i]];
            patch.interior[i] = object.NumVecs();
            object.AddVec({corner.x + (i == 0 || i == 3 ? 1.0f : -1.0f) / 3, corner.y + (i < 2 ? 1.0f : -1.0f) / 3, 0});
        }
        object.AddPatch(patch);
    }
    set.AddPatchObject(std::move(object));
}

PageModel Build(const PatchIO& set, int steps, std::string* errors = nullptr) {
    toolfiles::Captured captured;
    support::Percentage progress(stderr, false, "", 0);
    PageModel model =
        patchtool::BuildPageModel(set, "/some/folder/file.txt", "1.10", steps, progress, captured.console);
    if (errors) *errors = captured.err.str();
    return model;
}

// The two quadrilaterals' page model at steps.
PageModel BuildTwoQuads(int steps) {
    PatchIO set;
    TwoQuads(set);
    return Build(set, steps);
}

Vec3 Point(const PageObject& o, std::uint32_t i) { return {o.points[3 * i], o.points[3 * i + 1], o.points[3 * i + 2]}; }

std::string Decode64(const std::string& text) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        if (c == '=') break;
        bits = (bits << 6) | static_cast<std::uint32_t>(alphabet.find(c));
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xff);
        }
    }
    return out;
}

TEST(ViewBase64, MatchesTheStandardsVectors) {
    const std::pair<const char*, const char*> cases[] = {{"", ""},
                                                         {"f", "Zg=="},
                                                         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},
                                                         {"foob", "Zm9vYg=="},
                                                         {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"},
                                                         {"\xff\xfe\x00", "//4A"}};
    for (const auto& [plain, encoded] : cases) {
        const std::string bytes(plain, std::string(plain).size() + (std::string(encoded) == "//4A" ? 1 : 0));
        EXPECT_EQ(patchtool::Base64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), encoded)
            << plain;
    }
}

TEST(ViewBase64, RoundTripsAnyBytes) {
    std::mt19937 random(7);
    for (std::size_t size = 0; size < 70; ++size) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random() & 0xff);
        const std::string text = patchtool::Base64(reinterpret_cast<const unsigned char*>(bytes.data()), size);
        EXPECT_EQ(text.size(), (size + 2) / 3 * 4);
        EXPECT_EQ(Decode64(text), bytes) << size;
    }
}

TEST(ViewModel, DrawsEveryEdgeOnceAndTheOpenOnesInRed) {
    for (int steps : {1, 2, 8}) {
        const PageModel model = BuildTwoQuads(steps);
        ASSERT_EQ(model.objects.size(), 1u);
        const PageObject& o = model.objects[0];
        // Seven edges, the shared one once; six of them open.
        EXPECT_EQ(o.borders.size(), 2u * 7 * static_cast<std::size_t>(steps)) << steps;
        EXPECT_EQ(o.openEdges.size(), 2u * 6 * static_cast<std::size_t>(steps)) << steps;
        std::set<std::pair<std::uint32_t, std::uint32_t>> lines;
        for (std::size_t k = 0; k < o.borders.size(); k += 2) lines.insert(std::minmax(o.borders[k], o.borders[k + 1]));
        EXPECT_EQ(lines.size(), o.borders.size() / 2);
        for (std::size_t k = 0; k < o.openEdges.size(); k += 2) {
            EXPECT_TRUE(lines.count(std::minmax(o.openEdges[k], o.openEdges[k + 1]))) << "an open edge is a border";
            const Vec3 a = Point(o, o.openEdges[k]), b = Point(o, o.openEdges[k + 1]);
            // On the outline, never across the shared edge at x = 1.
            EXPECT_FALSE(a.x == 1.0 && b.x == 1.0) << steps;
            for (const Vec3& p : {a, b}) EXPECT_TRUE(p.x == 0 || p.x == 2 || p.y == 0 || p.y == 1);
        }
    }
}

TEST(ViewModel, HasNoOpenEdgeOnAClosedSurface) {
    PatchIO set;
    ReadFailure why;
    ASSERT_EQ(set.Read(toolfiles::WriteDefaultSceneExport("scene.txt").c_str(), &why), 1) << why.Message();
    const PageModel model = Build(set, 4);
    ASSERT_EQ(model.objects.size(), 2u);
    EXPECT_EQ(model.objects[0].info.openEdges, 0);  // the box
    EXPECT_TRUE(model.objects[0].openEdges.empty());
    EXPECT_EQ(model.objects[0].borders.size(), 2u * 12 * 4);
    EXPECT_GT(model.objects[1].info.openEdges, 0);  // the teapot's rims
    EXPECT_FALSE(model.objects[1].openEdges.empty());
    for (const PageObject& o : model.objects) {
        for (std::uint32_t i : o.borders) EXPECT_LT(3u * i, o.points.size());
        EXPECT_EQ(o.mesh.positions.size(), o.mesh.normals.size());
    }
}

TEST(ViewModel, GivesTheControlNetOfThePatches) {
    const PageObject o = BuildTwoQuads(4).objects[0];
    EXPECT_EQ(o.netPoints.size(), 3u * (6 + 22));
    EXPECT_EQ(o.netVerts.size(), 6u);
    EXPECT_EQ(o.netVecs.size(), 14u);  // two handles on each of seven edges
    EXPECT_EQ(o.netInterior.size(), 8u);
    EXPECT_EQ(o.netLines.size(), 2u * (14 + 8));  // corner to handle, corner to interior vector
    for (std::uint32_t i : o.netLines) EXPECT_LT(i, 28u);
}

TEST(ViewModel, LeavesOutWhatHasNoSurface) {
    PatchIO set;
    TwoQuads(set);
    ExportPatchObject& object = set.PatchObjectAt(0);
    object.VecData()[0] = {NAN, 0.0f, 0.0f};  // a handle of the shared edge
    std::string errors;
    const PageObject o = Build(set, 2, &errors).objects[0];
    EXPECT_EQ(o.skipped, 2);
    EXPECT_TRUE(o.borders.empty());
    EXPECT_TRUE(o.netLines.empty());
    EXPECT_EQ(o.netVerts.size(), 6u);
    EXPECT_NE(errors.find("left out"), std::string::npos);
}

TEST(ViewModel, PosesCamerasAsToGltfDoes) {
    PatchIO set;
    TwoQuads(set);
    set.AddCamera({{10, -20, 5}, {0, 0, 0}});
    set.AddCamera({{0, 0, 5}, {0, 0, 0}});  // straight down
    set.AddCamera({{NAN, 0, 0}, {0, 0, 0}});
    const PageModel model = Build(set, 2);
    ASSERT_EQ(model.cameras.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(model.cameras[static_cast<std::size_t>(i)].posed);
        const gltf::CameraPose pose = gltf::PoseCamera(set.CameraAt(i));
        EXPECT_EQ(model.cameras[static_cast<std::size_t>(i)].pose.rotation, pose.rotation);
        EXPECT_EQ(model.cameras[static_cast<std::size_t>(i)].pose.translation, pose.translation);
    }
    EXPECT_FALSE(model.cameras[2].posed);
    const nlohmann::json json = nlohmann::json::parse(patchtool::PageJson(model));
    EXPECT_EQ(json["cameras"][0]["position"], nlohmann::json::array({10.0, -20.0, 5.0}));
    EXPECT_FALSE(json["cameras"][2].contains("rotation"));
    EXPECT_TRUE(json["cameras"][2]["position"][0].is_null());
    EXPECT_EQ(json["file"], "file.txt");
    EXPECT_EQ(json["fieldOfView"], 45.0);
}

TEST(ViewJson, EncodesArraysLittleEndianAndCannotEndItsScript) {
    PageModel model = BuildTwoQuads(1);
    model.file = "</script><b>.txt";
    const std::string text = patchtool::PageJson(model);
    EXPECT_EQ(text.find('<'), std::string::npos);
    const nlohmann::json json = nlohmann::json::parse(text);
    EXPECT_EQ(json["file"], "</script><b>.txt");
    const std::string borders = Decode64(json["objects"][0]["borders"]);
    const PageObject& o = model.objects[0];
    ASSERT_EQ(borders.size(), 4 * o.borders.size());
    for (std::size_t k = 0; k < o.borders.size(); ++k) {
        std::uint32_t word = 0;
        for (int b = 3; b >= 0; --b)
            word = (word << 8) | static_cast<unsigned char>(borders[4 * k + static_cast<std::size_t>(b)]);
        EXPECT_EQ(word, o.borders[k]);
    }
    const std::string points = Decode64(json["objects"][0]["points"]);
    ASSERT_EQ(points.size(), 4 * o.points.size());
    float first = 0.0f;
    std::memcpy(&first, points.data(), 4);
    EXPECT_EQ(first, o.points[0]);
}

TEST(ViewCommand, NamesThePageAfterTheFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"a/b.txt", "a/b.html"}, {"b", "b.html"}, {"x.html", "x.html.html"}, {"dir.d/file", "dir.d/file.html"}};
    for (const auto& [file, page] : cases) EXPECT_EQ(patchtool::DefaultPagePath(file), page) << file;
}

TEST(ViewCommand, WritesOneSelfContainedPageAndOpensIt) {
    testfiles::DesktopOpener desktop;
    const std::string file = toolfiles::WriteFile("triangle.txt", toolfiles::kTriangleFile);
    const std::string page = toolfiles::TempPath("triangle.html");
    toolfiles::Captured captured;
    patchtool::ViewCommand command;
    command.file = file;
    command.output = page;
    ASSERT_EQ(patchtool::RunView(command, captured.console), patchtool::kExitOk) << captured.err.str();
    const std::string html = toolfiles::ReadFile(page);
    EXPECT_EQ(html.find("@@"), std::string::npos);
    EXPECT_NE(html.find("REVISION"), std::string::npos);  // three.js
    EXPECT_NE(html.find("OrbitControls"), std::string::npos);
    for (const char* fetch : {"<script src", "<link", "<img", "<iframe", "url("})
        EXPECT_EQ(html.find(fetch), std::string::npos) << fetch;
    const std::size_t start = html.find("<script type=\"application/json\" id=\"model\">");
    ASSERT_NE(start, std::string::npos);
    const std::size_t from = html.find('>', start) + 1;
    const nlohmann::json json = nlohmann::json::parse(html.substr(from, html.find("</script>", from) - from));
    EXPECT_EQ(json["objects"].size(), 1u);
    EXPECT_EQ(json["cameras"].size(), 1u);
    EXPECT_NE(captured.out.str().find(std::to_string(html.size()) + " bytes"), std::string::npos) << captured.out.str();
    EXPECT_EQ(desktop.Opened(), std::vector<std::string>{page});
}

// The size of the page of file at steps, as the command reports it.
std::int64_t PageBytes(const std::string& file, int steps) {
    toolfiles::Captured captured;
    patchtool::ViewCommand command;
    command.file = file;
    command.output = toolfiles::TempPath("measured.html");
    command.steps = steps;
    command.noOpen = true;
    if (patchtool::RunView(command, captured.console) != patchtool::kExitOk) return -1;
    return static_cast<std::int64_t>(toolfiles::ReadFile(command.output).size());
}

TEST(ViewCommand, RefusesPagesTooLargeAndKeepsTheOldFile) {
    const std::string file = toolfiles::WriteFile("triangle.txt", toolfiles::kTriangleFile);
    const std::string page = toolfiles::WriteFile("old.html", "old");
    const std::int64_t bytes = PageBytes(file, 8);
    ASSERT_GT(bytes, 0);
    struct Case {
        int steps;
        std::int64_t limit;
        const char* says;
    } cases[] = {{128, 2 << 20, "would be at least 3 MB, more than the 2 MB"},  // known before tessellating
                 {128, 2 << 20, "or fewer, now 128)"},
                 {8, bytes - 1, "try fewer tessellation steps (--steps 7 or fewer, now 8)"},
                 {1, 1 << 20, "(--steps 1, now 1)"}};
    for (const Case& c : cases) {
        toolfiles::Captured captured;
        patchtool::ViewCommand command;
        command.file = file;
        command.output = page;
        command.steps = c.steps;
        command.noOpen = true;
        command.maxPageBytes = c.limit;
        const int exit = patchtool::RunView(command, captured.console);
        if (c.steps == 1) {  // a page under the limit
            EXPECT_EQ(exit, patchtool::kExitOk) << captured.err.str();
            continue;
        }
        EXPECT_EQ(exit, patchtool::kExitUsage);
        EXPECT_NE(captured.err.str().find(c.says), std::string::npos) << captured.err.str();
        EXPECT_TRUE(toolfiles::ReadFile(page) == "old");
    }
}

TEST(ViewCommand, NeverWritesOverTheFileItReads) {
    const std::string file = toolfiles::WriteFile("triangle.txt", toolfiles::kTriangleFile);
    const std::string link = toolfiles::TempPath("link.txt");
    std::filesystem::remove(link);
    std::filesystem::create_symlink(file, link);
    for (const std::string& output : {file, link}) {
        toolfiles::Captured captured;
        patchtool::ViewCommand command;
        command.file = file;
        command.output = output;
        command.noOpen = true;
        EXPECT_EQ(patchtool::RunView(command, captured.console), patchtool::kExitUsage) << output;
        EXPECT_NE(captured.err.str().find("this is the file being read"), std::string::npos) << captured.err.str();
        EXPECT_EQ(toolfiles::ReadFile(file), toolfiles::kTriangleFile);
    }
    toolfiles::Captured captured;
    patchtool::ObjCommand obj;
    obj.file = file;
    obj.output = link;
    EXPECT_EQ(patchtool::RunToObj(obj, captured.console), patchtool::kExitUsage);
    patchtool::GltfCommand gltf;
    gltf.file = link;
    gltf.output = file + ".gltf";
    EXPECT_EQ(patchtool::RunToGltf(gltf, captured.console), patchtool::kExitOk) << captured.err.str();
    EXPECT_EQ(toolfiles::ReadFile(file), toolfiles::kTriangleFile);
}

TEST(ViewCommand, WarnsAboutCamerasItCannotDraw) {
    const std::string file = toolfiles::WriteFile(
        "nan_camera.txt", toolfiles::Replace(toolfiles::kTriangleFile, "CAMERA 0\t0.000000", "CAMERA 0\tnan"));
    toolfiles::Captured captured;
    patchtool::ViewCommand command;
    command.file = file;
    command.output = toolfiles::TempPath("nan_camera.html");
    command.noOpen = true;
    EXPECT_EQ(patchtool::RunView(command, captured.console), patchtool::kExitOk) << captured.err.str();
    EXPECT_NE(captured.err.str().find("camera 0 has a coordinate that is not finite"), std::string::npos)
        << captured.err.str();
}

TEST(ViewCommand, SaysWhyItCannotWriteOrRead) {
    const std::string file = toolfiles::WriteFile("triangle.txt", toolfiles::kTriangleFile);
    struct Case {
        std::string input, output;
        int exit;
        const char* says;
    } cases[] = {{file, "/nonexistent-folder/x.html", patchtool::kExitUsage, "cannot write"},
                 {toolfiles::TempPath("missing.txt"), "", patchtool::kExitUsage, "cannot open"},
                 {toolfiles::WriteFile("bad.txt", "1.10 {"), "", patchtool::kExitBadFile, "error"}};
    for (const Case& c : cases) {
        toolfiles::Captured captured;
        patchtool::ViewCommand command;
        command.file = c.input;
        command.output = c.output;
        command.noOpen = true;
        EXPECT_EQ(patchtool::RunView(command, captured.console), c.exit) << c.input;
        EXPECT_NE(captured.err.str().find(c.says), std::string::npos) << captured.err.str();
    }
}

}  // namespace
