// The text is a run of sections: the head (forms 1 and 2), then for every
// patch object its vertices (forms 3 to 5), its vectors (6 and 7) and its
// patches (8 to 14), then the cameras (15 and 16). Each section is its
// first lines and a list of items. A piece is the text between two marks
// (a section and an item in it), planned from estimates of the items' text
// so that each holds about a chunk; the estimates only size the pieces, a
// piece that outgrows its buffer spills into a string.
#include "patchio/ParallelWrite.h"

#include <memory>
#include <string>
#include <vector>

#include "patchio/OrderedWork.h"
#include "patchio/WriterForms.h"

namespace parallelwrite {
namespace {

using namespace writerforms;

// Typical text of the parts, generous: a point with large coordinates, a
// quadrilateral patch with large indices, a camera.
constexpr std::size_t kFirstLinesBytes = 48;
constexpr std::size_t kPointBytes = 48;
constexpr std::size_t kPatchBytes = 160;
constexpr std::size_t kCameraBytes = 128;

struct Mark {
    std::int64_t section = 0;
    std::int32_t index = 0;
    bool operator==(const Mark& other) const { return section == other.section && index == other.index; }
};

std::int64_t Sections(const PatchIO& set) { return 2 + 3 * std::int64_t{set.NumPatchObjects()}; }
bool IsCameras(const PatchIO& set, std::int64_t section) { return section == Sections(set) - 1; }
const ExportPatchObject& ObjectOf(const PatchIO& set, std::int64_t section) {
    return set.PatchObjectAt(static_cast<std::int32_t>((section - 1) / 3));
}

struct Section {
    std::int32_t items = 0;
    std::size_t itemBytes = 1;
};

Section SectionAt(const PatchIO& set, std::int64_t section) {
    if (section == 0) return {};
    if (IsCameras(set, section)) return {set.NumCameras(), kCameraBytes};
    const ExportPatchObject& object = ObjectOf(set, section);
    switch ((section - 1) % 3) {
        case 0:
            return {object.NumVerts(), kPointBytes};
        case 1:
            return {object.NumVecs(), kPointBytes};
        default:
            return {object.NumPatches(), kPatchBytes};
    }
}

void Cut(std::vector<Mark>& marks, Mark mark) {
    if (!(marks.back() == mark)) marks.push_back(mark);
}

// The marks that cut the text into pieces of about budget bytes, from the
// start to the end mark (the section after the last).
std::vector<Mark> Plan(const PatchIO& set, std::size_t budget) {
    std::vector<Mark> marks{Mark{}};
    std::size_t used = 0;
    const std::int64_t sections = Sections(set);
    for (std::int64_t s = 0; s < sections; ++s) {
        const Section section = SectionAt(set, s);
        if (used > 0 && used + kFirstLinesBytes > budget) {
            Cut(marks, {s, 0});
            used = 0;
        }
        used += kFirstLinesBytes;
        for (std::int32_t j = 0; j < section.items;) {
            std::size_t room = used < budget ? (budget - used) / section.itemBytes : 0;
            if (room == 0 && used > 0) {
                Cut(marks, {s, j});
                used = 0;
                continue;
            }
            if (room == 0) room = 1;
            const auto left = static_cast<std::size_t>(section.items - j);
            const std::size_t take = room < left ? room : left;
            j += static_cast<std::int32_t>(take);
            used += take * section.itemBytes;
        }
    }
    Cut(marks, {sections, 0});
    return marks;
}

// Items begin to end of a list of points, numbered from begin.
void WritePoints(TextSink& out, const Float3* points, std::int32_t begin, std::int32_t end) {
    numtext::RunningIndex number(static_cast<std::uint32_t>(begin));
    for (std::int32_t j = begin; j < end; ++j, number.Next()) WritePoint(out, number, points[j]);
}

// Section s from item begin to item end, with its first lines when begin
// is 0: the same forms in the same order as the writer on one thread.
void WriteSection(TextSink& out, const PatchIO& set, std::int64_t s, std::int32_t begin, std::int32_t end) {
    const bool first = begin == 0;
    if (s == 0) {
        WriteVersion(out);
        WritePatchObjectCount(out, set.NumPatchObjects());
        return;
    }
    if (IsCameras(set, s)) {
        if (first) WriteCameraCount(out, set.NumCameras());
        for (std::int32_t k = begin; k < end; ++k) WriteCamera(out, k, set.CameraAt(k));
        return;
    }
    const ExportPatchObject& object = ObjectOf(set, s);
    switch ((s - 1) % 3) {
        case 0:
            if (first) {
                WritePatchObjectNumber(out, static_cast<std::int32_t>((s - 1) / 3));
                WriteCount(out, "NUMVERTS", object.NumVerts());
            }
            WritePoints(out, object.VertData(), begin, end);
            break;
        case 1:
            if (first) WriteCount(out, "NUMVECS", object.NumVecs());
            WritePoints(out, object.VecData(), begin, end);
            break;
        default:
            if (first) WriteCount(out, "NUMPATCHES", object.NumPatches());
            for (std::int32_t j = begin; j < end; ++j) WritePatch(out, j, object.PatchAt(j));
            break;
    }
}

void WritePiece(TextSink& out, const PatchIO& set, Mark from, Mark to) {
    for (std::int64_t s = from.section; s <= to.section && s < Sections(set); ++s) {
        const std::int32_t begin = s == from.section ? from.index : 0;
        const std::int32_t end = s == to.section ? to.index : SectionAt(set, s).items;
        if (s == to.section && end == 0) break;
        WriteSection(out, set, s, begin, end);
    }
}

// A piece's text: in the sink's buffer, and what outgrew it before that.
struct PieceText {
    std::string spill;
    std::unique_ptr<TextSink> sink;
};

std::size_t Budget(const PatchIO& set) {
    const std::size_t chunk = set.ChunkBytes();
    return chunk < TextSink::kCapacity ? chunk : TextSink::kCapacity;
}

}  // namespace

bool WorthIt(const PatchIO& set) {
    if (set.Threads() < 2) return false;
    const std::size_t enough = 2 * Budget(set);
    std::size_t bytes = static_cast<std::size_t>(set.NumCameras()) * kCameraBytes;
    for (std::int32_t i = 0; i < set.NumPatchObjects() && bytes <= enough; ++i) {
        const ExportPatchObject& object = set.PatchObjectAt(i);
        bytes += (static_cast<std::size_t>(object.NumVerts()) + static_cast<std::size_t>(object.NumVecs())) * kPointBytes +
                 static_cast<std::size_t>(object.NumPatches()) * kPatchBytes + 3 * kFirstLinesBytes;
    }
    return bytes > enough;
}

Result Write(TextSink& out, const PatchIO& set) {
    const std::vector<Mark> marks = Plan(set, Budget(set));
    const std::int32_t workers = set.Threads();
    // The calling thread formats pieces too, when it has to wait for one.
    // It also hands every piece to the stream, the system's copy of it:
    // two pieces a thread, and two more, let the workers format on
    // meanwhile (with one each and one more, two threads wrote a 40 MB set
    // in about a fifth more time).
    ordered::Work<PieceText> work(marks.size() - 1, workers - 1, 2 * static_cast<std::size_t>(workers) + 2);
    const auto make = [&set, &marks](std::size_t piece, PieceText& text) {
        if (!text.sink) text.sink = std::make_unique<TextSink>(text.spill);
        WritePiece(*text.sink, set, marks[piece], marks[piece + 1]);
    };
    const auto take = [&out](std::size_t, PieceText& text) {
        out.Direct(text.spill.data(), text.spill.size());
        out.Direct(text.sink->Buffered(), text.sink->BufferedBytes());
        text.spill.clear();
        text.sink->Discard();
        return out.Ok();
    };
    if (!work.Start(make)) return Result::kNotStarted;
    return work.Run(take) ? Result::kWritten : Result::kFailed;
}

}  // namespace parallelwrite
