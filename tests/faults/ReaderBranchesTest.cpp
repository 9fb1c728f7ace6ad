// Every place where the reader can stop, one token at a time: for each
// token of a complete file, the file cut off before it, cut off in it
// (the token with no delimiter after it), and, for keywords, indices and
// the side count, the token replaced by a wrong one. Each read answers 0,
// tells that token's place and what the format demands there, and keeps
// exactly the objects and cameras completed before it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FaultSupport.h"
#include "patchio/PatchIO.h"

namespace {

// One token of the file and what the reader expects in its place.
struct Token {
    std::string text;
    std::string expected;  // as ReadFailure::expected tells it
    bool checked;          // a keyword, an index or the side count: its value is checked
    std::size_t end;       // offset just past the token in the file
    int objectsBefore;     // complete patch objects before the token
    int camerasBefore;     // complete cameras before the token
};

// Builds a file in the writer's layout together with its token list.
class FileBuilder {
public:
    void Keyword(const std::string& word) { Add(word, "\"" + word + "\"", true); }
    void Index(int number) { Add(std::to_string(number), "index " + std::to_string(number), true); }
    void Value(const std::string& text, const std::string& what) { Add(text, what, false); }
    void Sides(int sides) { Add(std::to_string(sides), "3 or 4 sides", true); }
    void Separator(const std::string& bytes) { text_ += bytes; }
    void ObjectDone() { ++objects_; }
    void CameraDone() { ++cameras_; }

    const std::string& Text() const { return text_; }
    const std::vector<Token>& Tokens() const { return tokens_; }

private:
    void Add(const std::string& token, const std::string& expected, bool checked) {
        text_ += token;
        tokens_.push_back({token, expected, checked, text_.size(), objects_, cameras_});
    }

    std::string text_;
    std::vector<Token> tokens_;
    int objects_ = 0;
    int cameras_ = 0;
};

void AddPoint(FileBuilder& file, int number) {
    file.Separator("\t\t");
    file.Index(number);
    for (int axis = 0; axis < 3; ++axis) {
        file.Separator("\t");
        file.Value("0.250000", "a coordinate");
    }
    file.Separator("\n");
}

void AddIndexLine(FileBuilder& file, const std::string& keyword, int count) {
    file.Separator("\t\t\t");
    file.Keyword(keyword);
    file.Separator(" ");
    for (int i = 0; i < count; ++i) {
        file.Value(std::to_string(i), "an integer");
        file.Separator(" ");
    }
    file.Separator("\n");
}

// Two objects (a triangle, then a quadrilateral), so that failures in the
// second show the first kept; two cameras, likewise.
FileBuilder CompleteFile() {
    FileBuilder file;
    file.Keyword("VERSION");
    file.Separator("\t");
    file.Value("1.10", "the version number");
    file.Separator("\n");
    file.Keyword("PATCHOBJECTS");
    file.Separator("\t");
    file.Value("2", "the patch object count");
    file.Separator("\n");
    for (int object = 0; object < 2; ++object) {
        const int sides = 3 + object;
        file.Keyword("PATCHOBJECT");
        file.Separator(" ");
        file.Index(object);
        file.Separator("\n");
        for (const char* list : {"NUMVERTS", "NUMVECS"}) {
            file.Separator("\t");
            file.Keyword(list);
            file.Separator(" ");
            file.Value("2", "a count");
            file.Separator("\n");
            AddPoint(file, 0);
            AddPoint(file, 1);
        }
        file.Separator("\t");
        file.Keyword("NUMPATCHES");
        file.Separator(" ");
        file.Value("1", "a count");
        file.Separator("\n\t\t");
        file.Keyword("PATCH");
        file.Separator(" ");
        file.Index(0);
        file.Separator("\n\t\t\t");
        file.Keyword("SIDES");
        file.Separator(" ");
        file.Sides(sides);
        file.Separator("\n");
        AddIndexLine(file, "VERTS", sides);
        AddIndexLine(file, "VECS", 2 * sides);
        AddIndexLine(file, "INTERIOR", sides);
        AddIndexLine(file, "ADJACENT", sides);
        file.ObjectDone();
    }
    file.Keyword("NUMCAMERAS");
    file.Separator(" ");
    file.Value("2", "the camera count");
    file.Separator("\n");
    for (int camera = 0; camera < 2; ++camera) {
        file.Keyword("CAMERA");
        file.Separator(" ");
        file.Index(camera);
        for (int value = 0; value < 6; ++value) {
            file.Separator(value % 3 == 0 ? "\t" : " ");
            file.Value("1.500000", "a coordinate");
        }
        file.Separator("\n");
        file.CameraDone();
    }
    return file;
}

class ReaderBranches : public ::testing::Test {
protected:
    std::int32_t Read(const std::string& bytes) {
        const std::string path = scratch.File("in.txt");
        faults::WriteBytes(path, bytes);
        return set.Read(path.c_str(), &why);
    }

    // What must hold when the read stopped at token k.
    void ExpectStoppedAt(const Token& token, std::size_t k) {
        EXPECT_EQ(why.expected, token.expected) << "token " << k;
        EXPECT_EQ(set.NumPatchObjects(), token.objectsBefore) << "token " << k;
        EXPECT_EQ(set.NumCameras(), token.camerasBefore) << "token " << k;
        EXPECT_FALSE(why.Message().empty());
    }

    const FileBuilder file = CompleteFile();
    faults::Scratch scratch;
    PatchIO set;
    ReadFailure why;
};

TEST_F(ReaderBranches, TheCompleteFileReads) {
    ASSERT_EQ(Read(file.Text()), 1) << why.Message();
    EXPECT_EQ(set.NumPatchObjects(), 2);
    EXPECT_EQ(set.NumCameras(), 2);
    EXPECT_EQ(set.PatchObjectAt(1).PatchAt(0).sides, 4);
}

TEST_F(ReaderBranches, EndOfFileBeforeEveryToken) {
    const auto& tokens = file.Tokens();
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const std::size_t cut = k == 0 ? 0 : tokens[k - 1].end;
        ASSERT_EQ(Read(file.Text().substr(0, cut) + "\n"), 0) << "token " << k;
        EXPECT_TRUE(why.atEnd);
        EXPECT_TRUE(why.found.empty());
        ExpectStoppedAt(tokens[k], k);
    }
}

TEST_F(ReaderBranches, EveryTokenCutByTheEndOfFile) {
    const auto& tokens = file.Tokens();
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        ASSERT_EQ(Read(file.Text().substr(0, tokens[k].end)), 0) << "token " << k;
        EXPECT_TRUE(why.atEnd);
        EXPECT_EQ(why.found, tokens[k].text);
        ExpectStoppedAt(tokens[k], k);
    }
}

TEST_F(ReaderBranches, EveryCheckedTokenReplacedByAWrongOne) {
    const auto& tokens = file.Tokens();
    int replaced = 0;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (!tokens[k].checked) continue;
        const std::size_t start = tokens[k].end - tokens[k].text.size();
        std::string text = file.Text();
        text.replace(start, tokens[k].text.size(), "7");
        ASSERT_EQ(Read(text), 0) << "token " << k;
        EXPECT_FALSE(why.atEnd);
        EXPECT_EQ(why.found, "7");
        ExpectStoppedAt(tokens[k], k);
        ++replaced;
    }
    EXPECT_GT(replaced, 30);
}

}  // namespace
