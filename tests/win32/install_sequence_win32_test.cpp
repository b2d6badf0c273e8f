// The Start command's acceptance of the target text, on the real Win32 file services.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "setup/install_sequence_win32.h"
#include "temp_directory.h"

namespace setup {
namespace {

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// An absolute text is the target exactly as typed: every destination path, the shortcut's
// target and its working directory start with it.
TEST(ValidateTargetDirectory, AnAbsoluteTextIsTakenAsTyped) {
    test::TempDirectory directory;
    ASSERT_TRUE(CreateDirectoryA(directory.File("Words").c_str(), nullptr));

    const std::string dotted = directory.Path() + "\\Words\\.";
    EXPECT_EQ(ValidateTargetDirectory(dotted), dotted);

    const std::string upAndDown = directory.Path() + "\\Words\\..\\Words";
    EXPECT_EQ(ValidateTargetDirectory(upAndDown), upAndDown);

    const std::string created = directory.Path() + "\\New\\";
    EXPECT_EQ(ValidateTargetDirectory(created), created);
    EXPECT_TRUE(IsDirectory(directory.File("New")));
}

TEST(ValidateTargetDirectory, ARelativeTextIsMadeAbsoluteAgainstTheWorkingDirectory) {
    test::TempDirectory directory;
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(directory.Path().c_str()));

    const std::string target = ValidateTargetDirectory("Relative");

    SetCurrentDirectoryA(previous);
    EXPECT_EQ(target, directory.File("Relative"));
    EXPECT_TRUE(IsDirectory(directory.File("Relative")));
}

TEST(ValidateTargetDirectory, AMissingParentOrAnEmptyTextIsRefused) {
    test::TempDirectory directory;
    EXPECT_EQ(ValidateTargetDirectory(directory.Path() + "\\missing\\child"), "");
    EXPECT_EQ(ValidateTargetDirectory(""), "");
    EXPECT_FALSE(IsDirectory(directory.File("missing")));
}

}  // namespace
}  // namespace setup
