#include "setup/install_sequence_win32.h"

#include <windows.h>

#include <memory>
#include <new>
#include <vector>

#include "base/fatal.h"
#include "dictini/dict_ini.h"
#include "script/script_actions.h"
#include "script/script_services_win32.h"
#include "script/shortcut_win32.h"
#include "setup/report_fatal_win32.h"
#include "ui/main_window_win32.h"
#include "ui/message_box_win32.h"
#include "ui/progress_display.h"
#include "ui/progress_surface_gdi_win32.h"
#include "wordlist/build_word_list.h"
#include "wordlist/collation.h"
#include "wordlist/collation_win32.h"
#include "wordlist/language_list.h"

namespace setup {

namespace {

// Draws the progress of the builds; kept until the window goes, which deletes its counter brush.
std::unique_ptr<GdiProgressSurface> progressSurface;

// The word-list steps of one language entry, on the run's shared state.
class InstallJobSteps final : public LanguageJobSteps {
public:
    InstallJobSteps(const InstallSettings& settings, CollationState& collation, CollationService& collationService,
                    ProgressDisplay& progress, MessageService& messages)
        : settings_(settings), collation_(collation), collationService_(collationService), progress_(progress),
          messages_(messages) {}

    void SetCollationLocale() override { setup::SetCollationLocale(collation_, collationService_, messages_); }
    void CreateDictIni(const LanguageEntry& entry) override {
        setup::CreateDictIni(entry, [this] { progress_.SkipDetailRow(); });
    }
    void BuildWordList(const LanguageEntry& entry) override {
        setup::BuildWordList({settings_, entry, collation_, collationService_, progress_, messages_});
    }
    void RemoveLanguageLines(const LanguageEntry& entry) override { setup::RemoveLanguageLines(entry); }
    void AppendLanguageLine(const LanguageEntry& entry) override { setup::AppendLanguageLine(entry.firstFieldText, entry); }

private:
    const InstallSettings& settings_;
    CollationState& collation_;
    CollationService& collationService_;
    ProgressDisplay& progress_;
    MessageService& messages_;
};

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

void Hide(std::initializer_list<HWND> windows) {
    for (HWND w : windows) ShowWindow(w, SW_HIDE);
}

void ShowCopyingLayout(MainWindow& ui) {
    MoveWindow(ui.panelStatic, 110, 138, 440, 110, TRUE);
    Hide({ui.driveList, ui.directoryList, ui.startButton, ui.changeDirectoryButton, ui.driveLabel, ui.directoryLabel});
    SetWindowTextA(ui.promptLabel, "Copying files...");
    UpdateWindow(ui.window);
}

void RunInstallSteps(InstallSettings& settings, MainWindow& ui) {
    ShowCopyingLayout(ui);
    Win32ScriptServices scriptServices(ui.directoryEdit, ui.window);
    RunScriptActions(settings, scriptServices);

    Hide({ui.stopButton, ui.promptLabel, ui.panelStatic, ui.directoryEdit});
    // A failure leaves the working directory as it was; later steps then work there.
    SetCurrentDirectoryA(settings.targetDirectory.c_str());
    UpdateWindow(ui.window);

    Win32MessageService messages;
    Win32Collation collationService;
    CollationState collation;
    progressSurface = std::make_unique<GdiProgressSurface>(ui.window, ui.titleFont, ui.waitCursor);
    ProgressDisplay progress(*progressSurface, settings);
    if (settings.buildWordListsFlag) {
        LanguageEntry entry;
        InstallJobSteps steps(settings, collation, collationService, progress, messages);
        BuildWordLists(entry, steps);
    }
    if (CountLanguageLines() > 1)
        SortLanguageList([&](const std::string& a, const std::string& b) {
            return CompareCollated(collation, collationService, a, b);
        });

    if (settings.shortcutFlag) CreateProgramShortcut(settings, ui.window);

    DestroyWindow(ui.window);
}

}  // namespace

std::string ValidateTargetDirectory(const std::string& text) {
    // Longer text would not fit the program's path buffers: refused, never cut.
    if (text.empty() || text.size() > kMaxDirectoryLength) return {};
    if (GetFileAttributesA(text.c_str()) == INVALID_FILE_ATTRIBUTES && !CreateDirectoryA(text.c_str(), nullptr)) return {};
    // An absolute text is the target as typed: ".", ".." and trailing blanks stay in the paths
    // that start with it.
    if (IsFullyQualified(text)) return text;
    // A relative one is made absolute once, so that every step (the wildcard copies too) sees
    // the same directory.
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(text.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length > kMaxDirectoryLength) return {};
    return std::string(full, length);
}

void RunStartCommand() {
    MainWindow& ui = TheMainWindow();
    InstallSettings& settings = TheInstallSettings();
    std::string target = ValidateTargetDirectory(WindowText(ui.directoryEdit));
    if (target.empty()) {
        Win32MessageService().Show("Invalid Directory", "Error", MessageIcon::Error, true);
        return;
    }
    settings.targetDirectory = target;
    // Nothing may unwind through the window procedure: every failure ends here.
    try {
        RunInstallSteps(settings, ui);
    } catch (const FatalError& error) {
        ReportFatal(error.what());
    } catch (const std::bad_alloc&) {
        ReportFatal("Out of memory");
    }
}

void ReleaseInstallResources() {
    if (progressSurface) progressSurface->DeleteCounterBrush();
}

}  // namespace setup
