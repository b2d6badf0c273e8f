// The text-mode reader and writer, the significant lines of the job files, and the field rule.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/fields.h"
#include "base/significant_lines.h"
#include "base/text_reader.h"
#include "base/text_writer.h"
#include "test_files.h"

namespace setup {
namespace {

using namespace std::string_literals;

// The pieces of a file read with the limit, each ended by "|"; significant: the lines of the
// job files, each after the number of the line it began on.
std::string Read(const std::string& bytes, size_t limit, bool significant = false) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("t"), bytes);
    TextReader reader(dir.File("t"));
    std::string pieces, piece;
    if (significant) {
        while (ReadSignificantLine(reader, piece))
            pieces += std::to_string(reader.PieceLineNumber()) + ":" + piece + "|";
    } else {
        while (reader.ReadPiece(piece, limit)) pieces += piece + "|";
    }
    return pieces;
}

TEST(TextReader, ReadsLikeTheWindowsTextModeInPiecesAcrossItsBuffer) {
    const std::string x(65535, 'x');  // the reader's buffer of 64 KiB less one byte
    EXPECT_EQ(Read("one\r\ntwo\nthree\rfour\r\n\x1a"
                   "after",
                   99),
              "one\n|two\n|three\rfour\n|");
    EXPECT_EQ(Read("xxxxx\r\nyyyy\r\nz", 4), "xxxx|x\n|yyyy|\n|z|");
    EXPECT_EQ(Read("a\r\tb\r", 4), "a\r\tb|\r|");
    // A CR LF split by the end of the buffer, and a Ctrl-Z in a later buffer, still count.
    EXPECT_EQ(Read(x + "\r\nz", 70000), x + "\n|z|");
    EXPECT_EQ(Read(x + "\x1a"
                       "after",
                   70000),
              x + "|");
    EXPECT_EQ(Read(x + "yz\x1a"
                       "after",
                   70000),
              x + "yz|");
    EXPECT_EQ(Read("", 10), "");
    EXPECT_FALSE(TextReader("/nonexistent/t").IsOpen());

    EXPECT_EQ(Read("# c\n\na\r\n\r\n #x\n   \n#\nb\rc\nz\0y\n\0z\n"s + std::string(99, 'w') +
                       "yy\n#\x1a"
                       "a\n",
                   0, true),
              "3:a|5: #x|6:   |8:b\rc|9:z|11:" + std::string(99, 'w') + "|11:yy|");
}

TEST(TextWriter, WritesLineFeedsAsCrLfThroughItsBuffer) {
    test::TempDir dir;
    TextWriter writer(dir.File("w"));
    std::string text, expected;
    for (int i = 0; i < 20000; ++i) {
        text += "line " + std::to_string(i) + "\n";
        expected += "line " + std::to_string(i) + "\r\n";
    }
    // The buffer goes to the file once it holds 64 KiB.
    writer.Write(std::string(5000, 'a'));
    EXPECT_EQ(std::filesystem::file_size(dir.File("w")), 0u);
    writer.Write(text);
    EXPECT_GT(std::filesystem::file_size(dir.File("w")), 65536u);
    writer.Write("\n");
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(test::ReadFileBytes(dir.File("w")), std::string(5000, 'a') + expected + "\r\n");
}

TEST(Fields, RunsOfCommasSeparateOnceAndNoFieldIsEmpty) {
    EXPECT_EQ(SplitFields(",,a,,b , c,"), (std::vector<std::string_view>{"a", "b ", " c"}));
    EXPECT_TRUE(SplitFields(",,,").empty());
    EXPECT_EQ(FirstFieldText(",,a,b"), ",,a");
    EXPECT_EQ(FirstFieldText(",,"), "");
    EXPECT_EQ(FirstFieldText("w"), "w");
}

}  // namespace
}  // namespace setup
