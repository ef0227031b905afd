// The copy check's aligned comparison of a whole digit text (907 characters) with a copy
// holding twenty errors, and the statistics window opened over 10,000 checks: the store
// opened, the period's checks and character totals read, the tables and the plot filled and
// the window shown and drawn (offscreen).
//
// The history is generated once in /dev/shm (where a flush to disk costs nothing) and removed
// at the end, unless VANTREL_BENCH_HISTORY names a history file to use (and keep).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "progress/CheckComparison.h"
#include "progress/HistoryStore.h"
#include "window/MessagePresenter.h"
#include "window/StatisticsWindow.h"

namespace {

namespace fs = std::filesystem;
using namespace vantrel;

constexpr int kChecks = 10000;
constexpr int64_t kFirstCheck = 1'780'000'000;

// "ЖЖЖ = " and 150 groups of five digits, each followed by a blank: 906 characters.
std::string DigitText(std::mt19937& random) {
    std::string text = "\xC6\xC6\xC6 = ";
    for (int group = 0; group < 150; ++group) {
        for (int i = 0; i < 5; ++i) {
            text += static_cast<char>('0' + random() % 10);
        }
        text += ' ';
    }
    return text;
}

// The copy of `text` with `errors` wrong, missed or extra characters.
std::string CopyWithErrors(const std::string& text, int errors, std::mt19937& random) {
    std::string copy = text.substr(6);
    for (int e = 0; e < errors; ++e) {
        const std::size_t at = random() % copy.size();
        switch (e % 3) {
            case 0:
                copy[at] = static_cast<char>('0' + random() % 10);
                break;
            case 1:
                copy.erase(at, 1);
                break;
            default:
                copy.insert(at, 1, '7');
        }
    }
    return copy;
}

void BM_AlignDigitText(benchmark::State& state) {
    std::mt19937 random(12);
    const std::string text = DigitText(random);
    const std::string copy = CopyWithErrors(text, 20, random);
    for (auto _ : state) {
        benchmark::DoNotOptimize(progress::CompareCopy(text, copy));
    }
    state.counters["sent"] = static_cast<double>(text.size());
}
BENCHMARK(BM_AlignDigitText)->Unit(benchmark::kMillisecond);

class SilentPresenter : public MessagePresenter {
  public:
    void ShowMessage(const std::string&) override {}
    void ShowWarning(const std::string&) override {}
    void ShowError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

fs::path GeneratedHistory() {
    return fs::path("/dev/shm") /
           ("vantrel-bench-history-" + std::to_string(::getpid()) + ".sqlite");
}

fs::path HistoryOf10000Checks() {
    const char* given = std::getenv("VANTREL_BENCH_HISTORY");
    const fs::path file = given != nullptr ? fs::path(given) : GeneratedHistory();
    if (fs::exists(file)) {
        return file;
    }
    std::mt19937 random(7);
    progress::HistoryStore store(file, [] { return kFirstCheck; });
    for (int check = 0; check < kChecks; ++check) {
        const std::string text = DigitText(random);
        const progress::CheckComparison comparison = progress::CompareCopy(
            text, CopyWithErrors(text, static_cast<int>(random() % 12), random));
        progress::HistoryEntry entry;
        entry.timeUnix = kFirstCheck + check * 3600;
        entry.settings = {0, 8 + static_cast<int>(check / 1000), 0, 800};
        entry.charactersSent = comparison.sentCount;
        entry.charactersRight = comparison.rightCount;
        entry.pairs = comparison.pairs;
        store.Append(entry);
    }
    return file;
}

void BM_OpenStatisticsWindow(benchmark::State& state) {
    static const fs::path file = HistoryOf10000Checks();
    SilentPresenter messages;
    for (auto _ : state) {
        progress::HistoryStore store(file, [] { return kFirstCheck + kChecks * 3600; });
        StatisticsWindow window(store, messages);
        window.Refresh();
        window.show();
        QApplication::processEvents();
        window.repaint();
    }
    state.counters["checks"] = kChecks;
}
BENCHMARK(BM_OpenStatisticsWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove(GeneratedHistory(), ec);
    return 0;
}
