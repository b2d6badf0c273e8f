#include "setup/install_services_win32.h"

#include <windows.h>

#include <vector>

#include "script/install_settings.h"
#include "script/script_services_win32.h"
#include "script/shortcut_win32.h"
#include "setup/install_sequence.h"
#include "setup/report_fatal_win32.h"
#include "ui/message_box_win32.h"
#include "ui/progress_display.h"
#include "uninstall/uninstall_services_win32.h"
#include "wordlist/collation_win32.h"

namespace setup {

namespace {

// A path that names the same entry whatever the working directory and current drive are:
// a drive letter with a colon and a separator, or a UNC name.
bool IsFullyQualified(const std::string& path) {
    auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    auto isDriveLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const bool hasDrive = path.size() >= 3 && isDriveLetter(path[0]) && path[1] == ':' && isSeparator(path[2]);
    const bool isUnc = path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
    return hasDrive || isUnc;
}

std::string WindowText(HWND window) {
    std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1);
    int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<size_t>(length));
}

// The installation on the main window: its controls, its progress surface and its boxes.
class WindowInstallServices final : public InstallServices {
public:
    explicit WindowInstallServices(RunState& run)
        : run_(run),
          script_(run.ui.directoryEdit, run.ui.window),
          messages_(run.ui.window),
          progress_(*run.progressSurface, run.settings.detailFlag) {}

    std::optional<std::string> AcceptTargetDirectory(const std::string& text) override {
        return setup::AcceptTargetDirectory(text);
    }
    void ShowCopyingLayout() override { setup::ShowCopyingLayout(run_.ui); }
    void HideRemainingControls() override { setup::HideRemainingControls(run_.ui); }
    ScriptServices& Script() override { return script_; }
    WordListProgress& Progress() override { return progress_; }
    MessageService& Messages() override { return messages_; }
    CollationService& Collation() override { return collation_; }
    ProgramShortcut CreateProgramShortcut(const InstallSettings& settings) override {
        return setup::CreateProgramShortcut(settings, run_.ui.window);
    }
    UninstallServices* Uninstall() override { return &uninstall_; }
    void CloseWindow() override { DestroyWindow(run_.ui.window); }
    void ReportFatal(const std::string& message) override { setup::ReportFatal(run_.ui.window, message); }
    void LogStep(const std::string&) override {}

private:
    RunState& run_;
    Win32ScriptServices script_;
    Win32MessageService messages_;
    Win32Collation collation_;
    ProgressDisplay progress_;
    Win32UninstallServices uninstall_;
};

}  // namespace

std::optional<std::string> AcceptTargetDirectory(const std::string& text) {
    // Longer text would not fit the program's path buffers: refused, never cut.
    if (text.empty() || text.size() > kMaxDirectoryLength) return std::nullopt;
    // An absolute text is the target as typed: ".", ".." and trailing blanks stay in the paths
    // that start with it. A relative one is made absolute once, so that every step (the
    // wildcard copies too) sees the same directory; it is refused before anything is created
    // when its absolute form is too long.
    std::string target = text;
    if (!IsFullyQualified(text)) {
        char full[MAX_PATH];
        const DWORD length = GetFullPathNameA(text.c_str(), MAX_PATH, full, nullptr);
        if (length == 0 || length > kMaxDirectoryLength) return std::nullopt;
        target.assign(full, length);
    }
    if (GetFileAttributesA(text.c_str()) == INVALID_FILE_ATTRIBUTES && !CreateDirectoryA(text.c_str(), nullptr))
        return std::nullopt;
    return target;
}

void OnStartCommand(RunState& run) {
    WindowInstallServices services(run);
    RunStartCommand(run.settings, WindowText(run.ui.directoryEdit), services);
}

}  // namespace setup
