// The history store on a file of any bytes, read as the statistics window, the export and the
// drill read it: a damaged file set aside; each period's checks with their character results
// made CSV, their totals ranked; the recent tallies.
#include <cstdint>

#include "progress/CsvExport.h"
#include "progress/Statistics.h"
#include "progress/WeakCharacterDrill.h"
#include "tests/support/TempFolder.h"

using namespace vantrel::progress;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const vantrel::testing::TempFolder folder;
    const std::filesystem::path file = folder.Path() / "history" / "history.sqlite";
    std::filesystem::remove_all(file.parent_path());  // with the files set aside last time
    vantrel::testing::WriteWholeFile(file, {reinterpret_cast<const char*>(data), size});
    HistoryStore store(file, [] { return int64_t{1'796'000'000}; });
    for (const Period period : {Period::LastCheck, Period::LastSevenDays, Period::All}) {
        FormatCsv(store.Entries(period, true));
        const std::vector<PairCount> pairs = store.PairTotals(period);
        AccuracyWorstFirst(pairs);
        Confusions(pairs);
    }
    store.RecentTallies(kDrillRecentAttempts);
    return 0;
}
