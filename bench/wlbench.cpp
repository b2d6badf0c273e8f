// Times the reversed word-list build (language/from.wb -> language/to.wb in the current
// directory) with the comparison counter on and a progress surface that draws nothing, and
// optionally a reference command, alternately, best of three runs each. Prints records,
// seconds, records per second, the phase split of the best run, peak memory, the minor page
// faults of each build and of the reference, and the ratio of the build's time to the
// reference's. Page faults do not depend on the machine's load; what each costs depends on the
// host (a first touch of a fresh page costs several microseconds on some).
//
//   wlbench [--table] [--reference <command> <args>...]
//   wlbench --write-large <path>   writes a made-up FROM list of 1,500,000 records with eight
//                                  translations each (12,000,000 scratch records)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/message_service.h"
#include "phase_clock.h"
#include "ui/progress_display.h"
#include "wordlist/build_word_list.h"

namespace {

using Clock = std::chrono::steady_clock;

// Executes nothing: the display still computes every rectangle and formats every counter.
class NullSurface final : public setup::ProgressSurface {
public:
    void OpenBuildContext() override {}
    void CloseBuildContext() override {}
    void CreateCounterBrush(setup::Colour) override {}
    void SelectFont(setup::SurfaceFont) override {}
    void SetTextColour(setup::Colour) override {}
    void DrawText(std::string_view text, const setup::Rect&) override { drawnCharacters += text.size(); }
    void DrawCounter(std::string_view text, const setup::Rect&) override {
        ++counters;
        drawnCharacters += text.size();
    }
    void DrawBar(const setup::BarDrawing&) override {}
    void ShowWaitCursor() override {}
    void RestoreCursor() override {}
    size_t drawnCharacters = 0;
    size_t counters = 0;
};

class SilentMessages final : public setup::MessageService {
public:
    void Show(const std::string&, const std::string&, setup::MessageIcon, bool) override {}
};

// A locale that is never available: the ASCII fold decides, as on a system without it.
class NoLocale final : public setup::CollationService {
public:
    bool SetLocale(std::string_view) override { return false; }
    int Compare(std::string_view, std::string_view) override { return setup::kCollationFailed; }
    bool AppendSortKey(std::string_view, std::string&) override { return false; }
};

// A sort table equal to the ASCII fold: A-Z weigh as a-z, every other byte as itself.
void WriteFoldingTable() {
    std::filesystem::create_directories("tables");
    std::string table(256, '\0');
    for (int b = 1; b < 256; ++b) table[b] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
    table[1] = 2;  // weight 1 would drop the byte
    std::FILE* file = std::fopen(setup::SortTablePath().c_str(), "wb");
    std::fwrite(table.data(), 1, table.size(), file);
    std::fclose(file);
}

struct ChildRun {
    double seconds = 0;
    long peakKilobytes = 0;
    long minorFaults = 0;
    int status = -1;
};

long MinorFaultsSoFar() {
    struct rusage self {};
    getrusage(RUSAGE_SELF, &self);
    return self.ru_minflt;
}

ChildRun RunReference(char** argv) {
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv);
        _exit(127);
    }
    ChildRun run;
    struct rusage usage {};
    wait4(child, &run.status, 0, &usage);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.peakKilobytes = usage.ru_maxrss;
    run.minorFaults = usage.ru_minflt;
    return run;
}

// Starts the reference runs from a process forked before the first build. A child of this
// process would count this process's pages as its own peak (a fork copies them, and the exec
// of a vfork takes over this process's peak), and after a fork every page that the next build
// writes would fault once more.
class ReferenceRunner {
public:
    explicit ReferenceRunner(char** argv) {
        if (pipe2(requests_, O_CLOEXEC) != 0 || pipe2(results_, O_CLOEXEC) != 0) std::abort();
        helper_ = fork();
        // Each side keeps its own ends, so that the helper sees the end of the requests.
        close(helper_ == 0 ? requests_[1] : requests_[0]);
        close(helper_ == 0 ? results_[0] : results_[1]);
        if (helper_ != 0) return;
        for (char request; read(requests_[0], &request, 1) == 1;) {
            const ChildRun run = RunReference(argv);
            if (write(results_[1], &run, sizeof run) != sizeof run) break;
        }
        _exit(0);
    }
    ~ReferenceRunner() {
        close(requests_[1]);
        waitpid(helper_, nullptr, 0);
    }
    ReferenceRunner(const ReferenceRunner&) = delete;
    ReferenceRunner& operator=(const ReferenceRunner&) = delete;

    ChildRun Run() {
        ChildRun run;
        if (write(requests_[1], "r", 1) != 1 || read(results_[0], &run, sizeof run) != sizeof run) std::abort();
        return run;
    }

private:
    int requests_[2] = {-1, -1};
    int results_[2] = {-1, -1};
    pid_t helper_ = -1;
};

// Words of three to five letters (four to twelve for head words), some capitalised, some
// with an umlaut: eight translations and their commas fill at most 47 of the 50 characters.
class WordMaker {
public:
    std::string Word(int minLength, int maxLength) {
        static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzeeaaiioonnrrsstt\xE4\xF6\xFC";
        const int length = minLength + static_cast<int>(Next() % static_cast<unsigned>(maxLength - minLength + 1));
        std::string word;
        for (int i = 0; i < length; ++i) {
            const unsigned pick = Next() % 200;
            word.push_back(pick < sizeof kLetters - 1 ? kLetters[pick] : kLetters[pick % 26]);
        }
        if (Next() % 4 == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
        return word;
    }

private:
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    std::uint32_t state_ = 2463534242u;
};

bool WriteLargeList(const char* path) {
    constexpr int kRecords = 1500000;
    constexpr int kTranslations = 8;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    WordMaker words;
    bool written = true;
    for (int r = 0; r < kRecords && written; ++r) {
        setup::WordRecord record{};
        const std::string head = words.Word(4, 12);
        std::string translations;
        for (int t = 0; t < kTranslations; ++t) {
            if (t > 0) translations.push_back(',');
            translations += words.Word(3, 5);
        }
        std::memcpy(record.headWord, head.data(), head.size());
        std::memcpy(record.translations, translations.data(), translations.size());
        written = std::fwrite(&record, sizeof record, 1, file) == 1;
    }
    return std::fclose(file) == 0 && written;
}

long FileRecords(const char* path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<long>(size / setup::kWordRecordSize);
}

}  // namespace

int main(int argc, char** argv) {
    bool table = false;
    char** reference = nullptr;
    if (argc == 3 && std::strcmp(argv[1], "--write-large") == 0) return WriteLargeList(argv[2]) ? 0 : 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--table") == 0) {
            table = true;
        } else if (std::strcmp(argv[i], "--reference") == 0 && i + 1 < argc) {
            reference = argv + i + 1;
            break;
        } else {
            std::fprintf(stderr, "usage: wlbench [--table] [--reference <command> <args>...] | --write-large <path>\n");
            return 2;
        }
    }
    std::filesystem::remove_all("tables");
    if (table) WriteFoldingTable();
    std::optional<ReferenceRunner> referenceRunner;
    if (reference) referenceRunner.emplace(reference);

    // Best of three alternating runs of each: the machine is shared, so single runs are noisy.
    constexpr int kRuns = 3;
    ChildRun referenceRun;
    double seconds = 0;
    double firstSeconds = 0;
    std::array<double, bench::kPhaseCount> phases{};
    std::array<long, bench::kPhaseCount> phaseFaults{};
    std::int32_t comparisons = 0;
    size_t counterDraws = 0;
    std::array<long, kRuns> faults{};
    for (int run = 0; run < kRuns; ++run) {
        if (referenceRunner) {
            const ChildRun thisRun = referenceRunner->Run();
            if (run == 0 || thisRun.seconds < referenceRun.seconds) referenceRun = thisRun;
        }
        setup::LanguageEntry entry;
        entry.displayName = "Deutsch";
        entry.fromListName = "from.wb";
        entry.toListName = "to.wb";
        setup::CollationState collation;
        NoLocale collationService;
        NullSurface surface;
        bench::PhaseClockSurface clock(surface);
        setup::ProgressDisplay display(clock, true);  // detail lines on: comparisons count and show
        SilentMessages messages;

        const long faultsBefore = MinorFaultsSoFar();
        const Clock::time_point start = Clock::now();
        setup::BuildWordList({entry, {}, true, collation, collationService, display, messages});
        const double thisRun = std::chrono::duration<double>(Clock::now() - start).count();
        faults[run] = MinorFaultsSoFar() - faultsBefore;
        if (run == 0) firstSeconds = thisRun;
        if (run == 0 || thisRun < seconds) {
            seconds = thisRun;
            phases = clock.Seconds();
            phaseFaults = clock.Faults();
        }
        comparisons = collation.comparisonCounter;
        counterDraws = surface.counters;
    }

    struct rusage self {};
    getrusage(RUSAGE_SELF, &self);
    const long fromRecords = FileRecords("language/from.wb");
    const long toRecords = FileRecords("language/to.wb");
    std::printf("order:            %s\n", table ? "sort table (ASCII fold)" : "collation without locale (ASCII fold)");
    std::printf("FROM records:     %ld\n", fromRecords);
    std::printf("TO records:       %ld (after the merge)\n", toRecords);
    std::printf("comparisons:      %d (%zu counter draws)\n", comparisons, counterDraws);
    // The first build is the one that a fresh process, like setup.exe's, makes: the later ones
    // may find memory that the C library kept from the one before.
    std::printf("build seconds:    %.3f (best of %d; the first %.3f)\n", seconds, kRuns, firstSeconds);
    std::printf("FROM records/s:   %.0f\n", fromRecords / seconds);
    std::printf("build peak RSS:   %.1f MB\n", self.ru_maxrss / 1024.0);
    std::printf("build minor page faults: %ld (first build; then %ld, %ld)\n", faults[0], faults[1], faults[2]);
    std::printf("phases of the best run:\n");
    bench::PrintPhases(phases, phaseFaults);
    if (reference) {
        std::printf("reference:        %s ... exit status %d\n", reference[0], referenceRun.status);
        std::printf("reference seconds:%.3f (best of %d)\n", referenceRun.seconds, kRuns);
        std::printf("reference peak:   %.1f MB\n", referenceRun.peakKilobytes / 1024.0);
        std::printf("reference minor page faults: %ld\n", referenceRun.minorFaults);
        std::printf("ratio faults build/ref: %.2f (first build)\n",
                    static_cast<double>(faults[0]) / static_cast<double>(referenceRun.minorFaults));
        std::printf("ratio build/ref:  %.2f\n", seconds / referenceRun.seconds);
    }
    return 0;
}
