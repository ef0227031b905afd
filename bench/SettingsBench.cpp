// Cost of the settings routines on the file store: a read is a stat of the file, a write an
// atomic rewrite with two flushes to disk, and a batch of the six values stored at window
// close one rewrite instead of six.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/settings/XdgSettingsFile.h"
#include "tests/support/TempFolder.h"
#include "trainer/SettingsTable.h"

namespace {

namespace fs = std::filesystem;
using vantrel::kSettingsKey;

void StoreAll(vantrel::settings::SettingsBackend& store, int32_t v) {
    const uint8_t record[20] = {0, 0, 0, 0, 149};
    vantrel::WriteBinarySetting(store, kSettingsKey, vantrel::kWindowPosSetting, record, 20);
    for (std::string_view name : {"Speed", "Spacing", "Test", "Pitch", "Volume"}) {
        vantrel::WriteIntSetting(store, kSettingsKey, name, v);
    }
}

void BM_ReadIntSetting(benchmark::State& state) {
    vantrel::testing::TempFolder folder;
    vantrel::settings::XdgSettingsFile store(folder.Path() / "Vantrel.conf");
    StoreAll(store, 12);
    for (auto _ : state) {
        benchmark::DoNotOptimize(vantrel::ReadIntSetting(store, kSettingsKey, "Speed", 0));
    }
}
BENCHMARK(BM_ReadIntSetting);

void BM_SixWritesOneByOne(benchmark::State& state) {
    vantrel::testing::TempFolder folder;
    vantrel::settings::XdgSettingsFile store(folder.Path() / "Vantrel.conf");
    int32_t v = 0;
    for (auto _ : state)
        StoreAll(store, ++v);
}
BENCHMARK(BM_SixWritesOneByOne)->Unit(benchmark::kMillisecond);

void BM_SixWritesInOneBatch(benchmark::State& state) {
    vantrel::testing::TempFolder folder;
    vantrel::settings::XdgSettingsFile store(folder.Path() / "Vantrel.conf");
    int32_t v = 0;
    for (auto _ : state) {
        vantrel::settings::SettingsBatch batch(store);
        StoreAll(store, ++v);
    }
}
BENCHMARK(BM_SixWritesInOneBatch)->Unit(benchmark::kMillisecond);

}  // namespace
