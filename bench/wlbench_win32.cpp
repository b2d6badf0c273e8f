// The word-list build as setup.exe runs it, timed phase by phase under Windows (or Wine): the
// English collation of the platform, the GDI progress display on a full-screen window with the
// title font, the detail lines on. Builds language/from.wb into language/to.wb in the current
// directory, best of three runs, and prints the phase split of the best run and the process's
// peak working set.
//
//   wlbench [--table]
#include <windows.h>

#include <psapi.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "base/message_service.h"
#include "base/win32_handles.h"
#include "phase_clock.h"
#include "ui/main_window_win32.h"
#include "ui/progress_display.h"
#include "ui/progress_surface_gdi_win32.h"
#include "wordlist/build_word_list.h"
#include "wordlist/collation_win32.h"

namespace {

using Clock = std::chrono::steady_clock;

class SilentMessages final : public setup::MessageService {
public:
    void Show(const std::string&, const std::string&, setup::MessageIcon, bool) override {}
};

// A full-screen popup painted in the window's blue, like the program's window.
class BenchWindow {
public:
    BenchWindow() {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = background_.get();
        windowClass.lpszClassName = "WordListBench";
        RegisterClassExA(&windowClass);
        window_ = CreateWindowExA(0, "WordListBench", "", WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, windowClass.hInstance, nullptr);
        UpdateWindow(window_);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    ~BenchWindow() { DestroyWindow(window_); }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    setup::UniqueBrush background_{CreateSolidBrush(0x680000)};
    HWND window_ = nullptr;
};

// A sort table equal to the ASCII fold: A-Z weigh as a-z, every other byte as itself.
void WriteFoldingTable() {
    CreateDirectoryA("tables", nullptr);
    std::string table(256, '\0');
    for (int b = 1; b < 256; ++b) table[b] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
    table[1] = 2;  // weight 1 would drop the byte
    const setup::UniqueFile file = setup::OpenFile(setup::SortTablePath(), "wb");
    std::fwrite(table.data(), 1, table.size(), file.get());
}

std::size_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

long FileRecords(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return static_cast<long>(size / setup::kWordRecordSize);
}

}  // namespace

int main(int argc, char** argv) {
    bool table = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--table") == 0) {
            table = true;
        } else {
            std::fprintf(stderr, "usage: wlbench [--table]\n");
            return 2;
        }
    }
    DeleteFileA(setup::SortTablePath().c_str());
    if (table) WriteFoldingTable();

    setup::LanguageEntry entry;
    entry.displayName = "Deutsch";
    entry.fromListName = "from.wb";
    entry.toListName = "to.wb";

    BenchWindow window;
    const setup::UniqueFont titleFont(setup::CreateTitleFont(40, FW_BOLD, "Times New Roman"));
    setup::GdiProgressSurface surface(window.Handle(), titleFont.get(), LoadCursor(nullptr, IDC_WAIT));
    setup::Win32Collation collationService;
    SilentMessages messages;

    constexpr int runs = 3;
    double seconds = 0;
    std::array<double, bench::kPhaseCount> phases{};
    std::array<long, bench::kPhaseCount> phaseFaults{};
    std::int32_t comparisons = 0;
    long counterDraws = 0;
    for (int run = 0; run < runs; ++run) {
        setup::CollationState collation;
        setup::SetCollationLocale(collation, collationService, messages);
        bench::PhaseClockSurface clock(surface);
        setup::ProgressDisplay display(clock, true);  // detail lines on: comparisons count and show
        const Clock::time_point start = Clock::now();
        try {
            setup::BuildWordList({entry, {}, true, collation, collationService, display, messages});
        } catch (const std::exception& error) {
            std::printf("the build failed after %.3f s: %s (peak working set %.1f MB)\n",
                        std::chrono::duration<double>(Clock::now() - start).count(), error.what(),
                        PeakWorkingSet() / 1048576.0);
            return 1;
        }
        const double thisRun = std::chrono::duration<double>(Clock::now() - start).count();
        if (run == 0 || thisRun < seconds) {
            seconds = thisRun;
            phases = clock.Seconds();
            phaseFaults = clock.Faults();
        }
        comparisons = collation.comparisonCounter;
        counterDraws = clock.Counters();
    }
    surface.DeleteCounterBrush();

    const long fromRecords = FileRecords(setup::WordListPath(entry.fromListName));
    const std::size_t peak = PeakWorkingSet();
    std::printf("order:              %s\n", table ? "sort table (ASCII fold)" : "English collation (LCID 0x409)");
    std::printf("FROM records:       %ld\n", fromRecords);
    std::printf("TO records:         %ld (after the merge)\n", FileRecords(setup::WordListPath("to.wb")));
    std::printf("comparisons:        %d (%ld counter draws)\n", comparisons, counterDraws);
    std::printf("build seconds:      %.3f (best of %d)\n", seconds, runs);
    std::printf("peak working set:   %.1f MB\n", peak / 1048576.0);
    std::printf("phases of the best run:\n");
    bench::PrintPhases(phases, phaseFaults);
    return 0;
}
