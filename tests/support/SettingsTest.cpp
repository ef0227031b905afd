#include "support/Settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/settings/MemorySettings.h"
#include "tests/support/FakeWindowGeometry.h"

namespace vantrel {
namespace {

using settings::MemorySettings;
using settings::Value;
using test::FakeWindow;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The routines take any key and value names; these are the program's.
constexpr std::string_view kKey = "Software\\Quorbit\\Vantrel";
constexpr std::string_view kName = "WindowPos";

class SettingsRoutinesTest : public ::testing::Test {
  protected:
    MemorySettings store_;
};

TEST_F(SettingsRoutinesTest, IntegersRoundTripWithNegativesAsTwosComplement) {
    for (int32_t v : {0, 12, -1, INT32_MIN, INT32_MAX}) {
        WriteIntSetting(store_, kKey, "Speed", v);
        EXPECT_EQ(ReadIntSetting(store_, kKey, "Speed", 99), v);
    }
    WriteIntSetting(store_, kKey, "Test", -1);
    EXPECT_EQ(store_.Get(kKey, "Test"), Value::Dword(0xFFFFFFFF));
}

TEST_F(SettingsRoutinesTest, MissingKeyValueOrOtherTypeGivesTheDefault) {
    EXPECT_EQ(ReadIntSetting(store_, kKey, "Speed", 12), 12);
    store_.Put(kKey, "Pitch", Value::Dword(9));
    EXPECT_EQ(ReadIntSetting(store_, kKey, "Speed", 12), 12);

    const std::vector<uint8_t> fourBytes = {20, 0, 0, 0};
    for (const Value& wrong : {Value::String("20"), Value::Binary(fourBytes)}) {
        store_.Put(kKey, "Speed", wrong);
        EXPECT_EQ(ReadIntSetting(store_, kKey, "Speed", 12), 12);
    }
    store_.Put(kKey, "Speed", Value{settings::ValueType::Dword, {20, 0}});
    EXPECT_EQ(ReadIntSetting(store_, kKey, "Speed", 12), 12) << "short dword";

    store_.Put(kKey, "Speed", Value::Dword(20));
    store_.SetFailures({.openForWrite = true});
    EXPECT_EQ(ReadIntSetting(store_, kKey, "Speed", 12), 20) << "read-only key";
    store_.SetFailures({.openForRead = true});
    EXPECT_EQ(ReadIntSetting(store_, kKey, "Speed", 12), 12) << "unreadable key";
}

TEST_F(SettingsRoutinesTest, FailedWritesLeaveTheStoredValues) {
    WriteIntSetting(store_, kKey, "Speed", 20);
    const uint8_t old[] = {1, 2, 3};
    WriteBinarySetting(store_, kKey, kName, old, sizeof old);
    for (MemorySettings::Failures f :
         {MemorySettings::Failures{.openForWrite = true}, MemorySettings::Failures{.set = true}}) {
        store_.SetFailures(f);
        WriteIntSetting(store_, kKey, "Speed", 25);
        const uint8_t fresh[] = {9, 9};
        WriteBinarySetting(store_, kKey, kName, fresh, sizeof fresh);
    }
    EXPECT_EQ(store_.Get(kKey, "Speed"), Value::Dword(20));
    EXPECT_EQ(store_.Get(kKey, kName), Value::Binary(old));
}

TEST_F(SettingsRoutinesTest, BinaryReadFillsOnlyWhatFitsAndZerosTheRest) {
    auto read = [this] {
        std::vector<uint8_t> buffer(8, 0xAA);
        ReadBinarySetting(store_, kKey, kName, buffer.data(), buffer.size());
        return buffer;
    };
    const std::vector<uint8_t> zeros(8, 0);
    EXPECT_EQ(read(), zeros) << "missing";
    store_.Put(kKey, kName, Value::Binary(std::vector<uint8_t>{1, 2, 3}));
    EXPECT_THAT(read(), ElementsAre(1, 2, 3, 0, 0, 0, 0, 0)) << "shorter";
    store_.Put(kKey, kName, Value::Binary(std::vector<uint8_t>(9, 5)));
    EXPECT_EQ(read(), zeros) << "longer";
    store_.Put(kKey, kName, Value::String("ab"));
    EXPECT_THAT(read(), ElementsAre('a', 'b', 0, 0, 0, 0, 0, 0)) << "type not checked";
    store_.SetFailures({.openForRead = true});
    EXPECT_EQ(read(), zeros) << "unreadable key";
}

TEST(WindowPosRecordTest, LaysOutTwentyLittleEndianBytes) {
    const WindowPosRecord r{2, {0xA1, 0xA2, 0xA3}, 149, -8, 0x01020304, 517};
    const auto bytes = r.ToBytes();
    EXPECT_THAT(bytes, ElementsAre(2, 0xA1, 0xA2, 0xA3, 149, 0, 0, 0, 0xF8, 0xFF, 0xFF, 0xFF, 4, 3,
                                   2, 1, 0x05, 0x02, 0, 0));
    EXPECT_EQ(WindowPosRecord::FromBytes(bytes), r);
}

class WindowPosTest : public ::testing::Test {
  protected:
    void Store(WindowPosRecord r) { store_.Put(kKey, kName, Value::Binary(r.ToBytes())); }
    WindowPosRecord Stored() {
        std::array<uint8_t, WindowPosRecord::kSize> bytes{};
        ReadBinarySetting(store_, kKey, kName, bytes.data(), bytes.size());
        return WindowPosRecord::FromBytes(bytes);
    }

    MemorySettings store_;
    FakeWindow window_;
};

// Height up to 40 restores nothing; the size only when asked, the width only above 40; the
// left edge only inside the screen; a maximized record maximizes after the pending events.
TEST_F(WindowPosTest, LoadRestoresWhatTheRecordAllows) {
    LoadWindowPos(store_, kKey, kName, window_, true);
    EXPECT_THAT(window_.calls, IsEmpty()) << "no record";
    struct Case {
        WindowPosRecord record;
        bool size;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {{2, {}, 5, 6, 700, 40}, true, {}},
        {{0, {}, 5, 6, 700, -500}, true, {}},
        {{2, {}, 149, 235, 806, 41}, false, {"top=149", "left=235", "events", "maximize"}},
        {{3, {}, 7, 8, 806, 517}, false, {"top=7", "left=8", "events"}},
        {{0, {}, 1, 2, 806, 517}, true, {"top=1", "left=2", "width=806", "height=517", "events"}},
        {{1, {}, 1, 2, 40, 517}, true, {"top=1", "left=2", "height=517", "events"}},
        {{0, {}, 7, 1024, 806, 517}, false, {"top=7", "events"}},
    };
    for (const Case& c : cases) {
        window_.calls.clear();
        Store(c.record);
        LoadWindowPos(store_, kKey, kName, window_, c.size);
        EXPECT_EQ(window_.calls, c.calls) << &c - cases;
    }
}

TEST_F(WindowPosTest, NormalWindowStoresItsBoundsAndKeepsThePadding) {
    Store({2, {7, 8, 9}, 1, 2, 3, 4});
    SaveWindowPos(store_, kKey, kName, window_);
    EXPECT_EQ(Stored(), (WindowPosRecord{0, {7, 8, 9}, 10, 20, 300, 200}));
}

TEST_F(WindowPosTest, MinimizedOrMaximizedWindowKeepsTheLastNormalBounds) {
    window_.state = WindowState::Maximized;
    SaveWindowPos(store_, kKey, kName, window_);
    EXPECT_EQ(Stored(), (WindowPosRecord{2, {}, 0, 0, 0, 0})) << "nothing stored before";

    Store({0, {}, 149, 235, 806, 517});
    window_.state = WindowState::Minimized;
    SaveWindowPos(store_, kKey, kName, window_);
    EXPECT_EQ(Stored(), (WindowPosRecord{1, {}, 149, 235, 806, 517}));
}

}  // namespace
}  // namespace vantrel
