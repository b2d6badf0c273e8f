// The file replacement behind every rewrite of dict.ini, on the real Win32 file services.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "base/files.h"
#include "temp_directory.h"

namespace setup {
namespace {

TEST(ReplaceFileAtomically, ReplacesAWritableOrMissingTargetAndLeavesAReadOnlyOneAndTheSource) {
    test::TempDirectory directory;
    const std::string tmpIni = directory.File("tmp.ini");
    const std::string dictIni = directory.File("dict.ini");

    test::WriteFileBytes(tmpIni, "new\r\n");
    EXPECT_TRUE(ReplaceFileAtomically(tmpIni, dictIni));
    EXPECT_EQ(test::ReadFileBytes(dictIni), "new\r\n");
    EXPECT_EQ(test::ReadFileBytes(tmpIni), "<missing>");

    test::WriteFileBytes(tmpIni, "newer\r\n");
    EXPECT_TRUE(ReplaceFileAtomically(tmpIni, dictIni));
    EXPECT_EQ(test::ReadFileBytes(dictIni), "newer\r\n");
    EXPECT_EQ(test::ReadFileBytes(tmpIni), "<missing>");

    test::WriteFileBytes(tmpIni, "refused\r\n");
    ASSERT_TRUE(SetFileAttributesA(dictIni.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(ReplaceFileAtomically(tmpIni, dictIni));
    EXPECT_EQ(test::ReadFileBytes(dictIni), "newer\r\n");
    EXPECT_EQ(test::ReadFileBytes(tmpIni), "refused\r\n");
    EXPECT_EQ(GetFileAttributesA(dictIni.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
}

}  // namespace
}  // namespace setup
