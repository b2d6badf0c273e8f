// The file replacement behind every rewrite of dict.ini, on the real Win32 file services.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "base/files.h"
#include "temp_directory.h"

namespace setup {
namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return "<missing>";
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
    std::fclose(in);
    return bytes;
}

TEST(ReplaceFileAtomically, ReplacesAWritableOrMissingTargetAndLeavesAReadOnlyOneAndTheSource) {
    test::TempDirectory directory;
    const std::string tmpIni = directory.File("tmp.ini");
    const std::string dictIni = directory.File("dict.ini");

    WriteBytes(tmpIni, "new\r\n");
    EXPECT_TRUE(ReplaceFileAtomically(tmpIni, dictIni));
    EXPECT_EQ(ReadBytes(dictIni), "new\r\n");
    EXPECT_EQ(ReadBytes(tmpIni), "<missing>");

    WriteBytes(tmpIni, "newer\r\n");
    EXPECT_TRUE(ReplaceFileAtomically(tmpIni, dictIni));
    EXPECT_EQ(ReadBytes(dictIni), "newer\r\n");
    EXPECT_EQ(ReadBytes(tmpIni), "<missing>");

    WriteBytes(tmpIni, "refused\r\n");
    ASSERT_TRUE(SetFileAttributesA(dictIni.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(ReplaceFileAtomically(tmpIni, dictIni));
    EXPECT_EQ(ReadBytes(dictIni), "newer\r\n");
    EXPECT_EQ(ReadBytes(tmpIni), "refused\r\n");
    EXPECT_EQ(GetFileAttributesA(dictIni.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
}

}  // namespace
}  // namespace setup
