// The Start command's acceptance of the target text, on the real Win32 file services.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "setup/install_services_win32.h"
#include "temp_directory.h"

namespace setup {
namespace {

bool IsDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// An absolute text is the target exactly as typed: every destination path, the shortcut's
// target and its working directory start with it.
TEST(AcceptTargetDirectory, AnAbsoluteTextIsTakenAsTyped) {
    test::TempDirectory directory;
    ASSERT_TRUE(CreateDirectoryA(directory.File("Words").c_str(), nullptr));

    const std::string dotted = directory.Path() + "\\Words\\.";
    EXPECT_EQ(AcceptTargetDirectory(dotted), dotted);

    const std::string upAndDown = directory.Path() + "\\Words\\..\\Words";
    EXPECT_EQ(AcceptTargetDirectory(upAndDown), upAndDown);

    const std::string created = directory.Path() + "\\New\\";
    EXPECT_EQ(AcceptTargetDirectory(created), created);
    EXPECT_TRUE(IsDirectory(directory.File("New")));
}

TEST(AcceptTargetDirectory, ARelativeTextIsMadeAbsoluteAgainstTheWorkingDirectory) {
    test::TempDirectory directory;
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(directory.Path().c_str()));

    const std::optional<std::string> target = AcceptTargetDirectory("Relative");

    SetCurrentDirectoryA(previous);
    EXPECT_EQ(target, directory.File("Relative"));
    EXPECT_TRUE(IsDirectory(directory.File("Relative")));
}

TEST(AcceptTargetDirectory, ARefusedTextLeavesNothingBehind) {
    test::TempDirectory directory;
    EXPECT_EQ(AcceptTargetDirectory(directory.Path() + "\\missing\\child"), std::nullopt);
    EXPECT_EQ(AcceptTargetDirectory(""), std::nullopt);
    EXPECT_FALSE(IsDirectory(directory.File("missing")));

    // A relative text whose absolute form exceeds 259 characters is refused before the
    // directory is made.
    std::string deep = directory.Path();
    while (deep.size() < 230) {
        deep += "\\" + std::string(20, 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
    }
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
    const std::string relative(259 - deep.size(), 'r');
    const std::optional<std::string> refused = AcceptTargetDirectory(relative);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(refused, std::nullopt);
    EXPECT_FALSE(IsDirectory(deep + "\\" + relative));
}

}  // namespace
}  // namespace setup
