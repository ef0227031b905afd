#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/settings/XdgSettingsFile.h"
#include "tests/support/TempFolder.h"

namespace vantrel::settings {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
constexpr std::string_view kKey = "Software\\Quorbit\\Vantrel";

std::optional<Value> Read(SettingsBackend& store, std::string_view name) {
    auto key = store.OpenForRead(kKey);
    return key ? key->Query(name) : std::nullopt;
}

TEST(SettingsFileRecoveryTest, DamagedOrOversizedFileKeepsItsValuesAndIsKeptAside) {
    const std::pair<const char*, std::string> middles[] = {
        {"damaged", "garbage\n"},
        {"50 MB line", std::string(50 << 20, 'x') + "\n"},
        {"oversized", std::string(XdgSettingsFile::kMaxFileBytes, '\n')},
    };
    for (const auto& [what, middle] : middles) {
        testing::TempFolder folder;
        const fs::path file = folder.Path() / "Vantrel.conf";
        const std::string original = "[Software\\Quorbit\\Vantrel]\n\"Speed\"=dword:00000014\n" +
                                     middle + "\"Pitch\"=dword:00000009\n";
        testing::WriteWholeFile(file, original);
        auto noon = [] { return sys_days{2026y / 12 / 7} + 12h; };
        XdgSettingsFile store(file, noon);
        ASSERT_TRUE(store.OpenForWrite(kKey)->Set("Volume", Value::Dword(3))) << what;
        ASSERT_TRUE(store.OpenForWrite(kKey)->Set("Volume", Value::Dword(4))) << what;

        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            if (entry.path() != file)
                aside.push_back(entry.path());
        }
        ASSERT_EQ(aside.size(), 1u) << what << ": one file aside, the first time only";
        EXPECT_TRUE(aside[0].filename().string().starts_with("Vantrel.conf.damaged-2026-12-07-"));
        EXPECT_TRUE(testing::ReadWholeFile(aside[0]) == original) << what;
        XdgSettingsFile fresh(file);
        EXPECT_EQ(Read(fresh, "Speed"), Value::Dword(20)) << what;
        EXPECT_EQ(Read(fresh, "Pitch"), Value::Dword(9)) << what;
        EXPECT_EQ(Read(fresh, "Volume"), Value::Dword(4)) << what;
    }
}

}  // namespace
}  // namespace vantrel::settings
