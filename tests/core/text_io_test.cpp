#include <gtest/gtest.h>

#include <vector>

#include "base/fields.h"
#include "base/text_reader.h"
#include "base/text_writer.h"
#include "test_support.h"

namespace setup {
namespace {

std::vector<std::string> ReadAllPieces(const std::string& path, size_t limit) {
    TextReader reader(path);
    std::vector<std::string> pieces;
    std::string piece;
    while (reader.ReadPiece(piece, limit)) pieces.push_back(piece);
    return pieces;
}

TEST(TextReader, TranslatesLineEndsLikeTheWindowsTextMode) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.txt"),
                         "one\r\ntwo\nthree\rfour\r\n\x1a"
                         "after");
    EXPECT_EQ(ReadAllPieces(dir.File("a.txt"), 99), (std::vector<std::string>{"one\n", "two\n", "three\rfour\n"}));
}

TEST(TextReader, SplitsLongLinesIntoPiecesAndCountsCrLfAsOne) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.txt"), std::string(5, 'x') + "\r\n" + std::string(4, 'y') + "\r\n" + "z");
    EXPECT_EQ(ReadAllPieces(dir.File("a.txt"), 4), (std::vector<std::string>{"xxxx", "x\n", "yyyy", "\n", "z"}));
}

TEST(TextReader, MissingFileDoesNotOpen) {
    test::TempDir dir;
    TextReader reader(dir.File("missing"));
    std::string piece;
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.ReadPiece(piece, 10));
}

TEST(TextWriter, WritesLineFeedsAsCrLf) {
    test::TempDir dir;
    TextWriter writer(dir.File("w.txt"));
    writer.Write("a\nb\n\n");
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(test::ReadFileBytes(dir.File("w.txt")), "a\r\nb\r\n\r\n");
}

TEST(Fields, RunsOfCommasSeparateOnceAndNoFieldIsEmpty) {
    EXPECT_EQ(SplitFields(",,a,,b , c,"), (std::vector<std::string_view>{"a", "b ", " c"}));
    EXPECT_TRUE(SplitFields(",,,").empty());
    EXPECT_EQ(FirstFieldText(",,a,b"), ",,a");
    EXPECT_EQ(FirstFieldText(",,"), "");
    EXPECT_EQ(FirstFieldText("word"), "word");
}

}  // namespace
}  // namespace setup
