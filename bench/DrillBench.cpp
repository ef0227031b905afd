// The character drill over a year of answers (100,000 in the history, 40 characters): the
// store opened, every answer read and the drill built from them, the first character drawn;
// the lesson tab's query of the last 20 answers per character; and one answer stored in its
// own transaction, flushed to disk. The history is made once per run in a folder under the
// working folder (so on the disk the benchmark is started from) and removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "progress/CharacterDrill.h"
#include "progress/HistoryStore.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace vantrel::progress;

constexpr int kAnswers = 100'000;
constexpr int64_t kFirstAnswer = 1'780'000'000;
constexpr const char* kCharacters = "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60";

class History {
  public:
    History() {
        HistoryStore store(File(), [] { return kFirstAnswer; });
        std::mt19937 random(5);
        std::vector<DrillAnswer> answers;
        for (int i = 0; i < kAnswers; ++i) {
            const auto c = static_cast<unsigned char>(kCharacters[random() % 40]);
            const int64_t time = kFirstAnswer + i * 315;  // a year
            answers.push_back({time, time - time % 3600, c, c, random() % 10 != 0,
                               static_cast<int>(300 + random() % 900), 25});
        }
        store.AppendDrillAnswers(answers);
    }
    fs::path File() const { return folder_.Path() / "history.sqlite"; }

  private:
    vantrel::testing::TempFolder folder_;
};

History& SharedHistory() {
    static History history;
    return history;
}

int64_t Now() {
    return kFirstAnswer + 366LL * 24 * 3600;
}

void BM_DrillFromAYearOfAnswers(benchmark::State& state) {
    std::mt19937 random(1);
    for (auto _ : state) {
        HistoryStore store(SharedHistory().File(), Now);
        const CharacterDrill drill(kCharacters, 700, store.DrillAnswers(Period::All), Now,
                                   [&random](uint32_t n) { return random() % n; });
        benchmark::DoNotOptimize(drill.Next());
    }
}
BENCHMARK(BM_DrillFromAYearOfAnswers)->Unit(benchmark::kMillisecond);

void BM_LastTwentyAnswersPerCharacter(benchmark::State& state) {
    HistoryStore store(SharedHistory().File(), Now);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            MasteryByCharacter(store.RecentDrillAnswers(kMasteryAnswers), 700).size());
    }
}
BENCHMARK(BM_LastTwentyAnswersPerCharacter)->Unit(benchmark::kMillisecond);

void BM_StoreOneAnswer(benchmark::State& state) {
    HistoryStore store(SharedHistory().File(), Now);
    for (auto _ : state) {
        store.AppendDrillAnswers({{Now(), Now(), 'K', 'K', true, 420, 25}});
    }
}
BENCHMARK(BM_StoreOneAnswer)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace
