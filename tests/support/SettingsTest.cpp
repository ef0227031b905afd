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
constexpr std::string_view kSettingsKey = "Software\\Quorbit\\Vantrel";
constexpr std::string_view kName = "WindowPos";
constexpr std::string_view kSpeedSetting = "Speed";
constexpr std::string_view kTestSetting = "Test";
constexpr std::string_view kPitchSetting = "Pitch";

class SettingsRoutinesTest : public ::testing::Test {
  protected:
    MemorySettings store_;
};

TEST_F(SettingsRoutinesTest, IntegersRoundTripWithNegativesAsTwosComplement) {
    EXPECT_FALSE(store_.HasKey(kSettingsKey));
    for (int32_t v : {0, 12, -1, INT32_MIN, INT32_MAX}) {
        WriteIntSetting(store_, kSettingsKey, kSpeedSetting, v);
        EXPECT_EQ(ReadIntSetting(store_, kSettingsKey, kSpeedSetting, 99), v);
    }
    WriteIntSetting(store_, kSettingsKey, kTestSetting, -1);
    EXPECT_EQ(store_.Get(kSettingsKey, kTestSetting), Value::Dword(0xFFFFFFFF));
    EXPECT_TRUE(store_.HasKey(kSettingsKey)) << "created by the first write";
}

TEST_F(SettingsRoutinesTest, MissingKeyValueOrOtherTypeGivesTheDefault) {
    EXPECT_EQ(ReadIntSetting(store_, kSettingsKey, kSpeedSetting, 12), 12);
    store_.Put(kSettingsKey, kPitchSetting, Value::Dword(9));
    EXPECT_EQ(ReadIntSetting(store_, kSettingsKey, kSpeedSetting, 12), 12);

    const std::vector<uint8_t> fourBytes = {20, 0, 0, 0};
    for (const Value& wrong : {Value::String("20"), Value::Binary(fourBytes)}) {
        store_.Put(kSettingsKey, kSpeedSetting, wrong);
        EXPECT_EQ(ReadIntSetting(store_, kSettingsKey, kSpeedSetting, 12), 12);
    }
    store_.Put(kSettingsKey, kSpeedSetting, Value{settings::ValueType::Dword, {20, 0}});
    EXPECT_EQ(ReadIntSetting(store_, kSettingsKey, kSpeedSetting, 12), 12) << "short dword";

    store_.Put(kSettingsKey, kSpeedSetting, Value::Dword(20));
    store_.SetFailures({.openForWrite = true});
    EXPECT_EQ(ReadIntSetting(store_, kSettingsKey, kSpeedSetting, 12), 20) << "read-only key";
    store_.SetFailures({.openForRead = true});
    EXPECT_EQ(ReadIntSetting(store_, kSettingsKey, kSpeedSetting, 12), 12) << "unreadable key";
}

TEST_F(SettingsRoutinesTest, FailedWritesLeaveTheStoredValues) {
    WriteIntSetting(store_, kSettingsKey, kSpeedSetting, 20);
    const uint8_t old[] = {1, 2, 3};
    WriteBinarySetting(store_, kSettingsKey, kName, old, sizeof old);
    for (MemorySettings::Failures f :
         {MemorySettings::Failures{.openForWrite = true}, MemorySettings::Failures{.set = true}}) {
        store_.SetFailures(f);
        WriteIntSetting(store_, kSettingsKey, kSpeedSetting, 25);
        const uint8_t fresh[] = {9, 9};
        WriteBinarySetting(store_, kSettingsKey, kName, fresh, sizeof fresh);
    }
    EXPECT_EQ(store_.Get(kSettingsKey, kSpeedSetting), Value::Dword(20));
    EXPECT_EQ(store_.Get(kSettingsKey, kName), Value::Binary(old));
}

TEST_F(SettingsRoutinesTest, BinaryReadFillsOnlyWhatFitsAndZerosTheRest) {
    auto read = [this] {
        std::vector<uint8_t> buffer(8, 0xAA);
        ReadBinarySetting(store_, kSettingsKey, kName, buffer.data(), buffer.size());
        return buffer;
    };
    const std::vector<uint8_t> zeros(8, 0);
    EXPECT_EQ(read(), zeros) << "missing";
    store_.Put(kSettingsKey, kName, Value::Binary(std::vector<uint8_t>{1, 2, 3}));
    EXPECT_THAT(read(), ElementsAre(1, 2, 3, 0, 0, 0, 0, 0)) << "shorter";
    store_.Put(kSettingsKey, kName, Value::Binary(std::vector<uint8_t>(9, 5)));
    EXPECT_EQ(read(), zeros) << "longer";
    store_.Put(kSettingsKey, kName, Value::String("ab"));
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
    void Store(WindowPosRecord r) {
        const auto bytes = r.ToBytes();
        store_.Put(kSettingsKey, kName, Value::Binary(bytes));
    }
    WindowPosRecord Stored() {
        std::array<uint8_t, WindowPosRecord::kSize> bytes{};
        ReadBinarySetting(store_, kSettingsKey, kName, bytes.data(), bytes.size());
        return WindowPosRecord::FromBytes(bytes);
    }
    static WindowPosRecord Record(uint8_t state, int top, int left, int width, int height) {
        return {state, {}, top, left, width, height};
    }

    MemorySettings store_;
    FakeWindow window_;
};

// Height up to 40 restores nothing; the size only when asked, the width only above 40; the
// left edge only inside the screen; a maximized record maximizes after the pending events.
TEST_F(WindowPosTest, LoadRestoresWhatTheRecordAllows) {
    LoadWindowPos(store_, kSettingsKey, kName, window_, true);
    EXPECT_THAT(window_.calls, IsEmpty()) << "no record";
    struct Case {
        WindowPosRecord record;
        bool size;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {Record(2, 5, 6, 700, 40), true, {}},
        {Record(0, 5, 6, 700, -500), true, {}},
        {Record(2, 149, 235, 806, 41), false, {"top=149", "left=235", "events", "maximize"}},
        {Record(3, 7, 8, 806, 517), false, {"top=7", "left=8", "events"}},
        {Record(0, 1, 2, 806, 517), true, {"top=1", "left=2", "width=806", "height=517", "events"}},
        {Record(1, 1, 2, 40, 517), true, {"top=1", "left=2", "height=517", "events"}},
        {Record(0, 7, 1024, 806, 517), false, {"top=7", "events"}},
    };
    for (const Case& c : cases) {
        window_.calls.clear();
        Store(c.record);
        LoadWindowPos(store_, kSettingsKey, kName, window_, c.size);
        EXPECT_EQ(window_.calls, c.calls) << &c - cases;
    }
}

TEST_F(WindowPosTest, NormalWindowStoresItsBoundsAndKeepsThePadding) {
    WindowPosRecord old = Record(2, 1, 2, 3, 4);
    old.padding = {7, 8, 9};
    Store(old);
    SaveWindowPos(store_, kSettingsKey, kName, window_);
    WindowPosRecord expected = Record(0, 10, 20, 300, 200);
    expected.padding = {7, 8, 9};
    EXPECT_EQ(Stored(), expected);
}

TEST_F(WindowPosTest, MinimizedOrMaximizedWindowKeepsTheLastNormalBounds) {
    window_.state = WindowState::Maximized;
    SaveWindowPos(store_, kSettingsKey, kName, window_);
    EXPECT_EQ(Stored(), Record(2, 0, 0, 0, 0)) << "nothing stored before";

    Store(Record(0, 149, 235, 806, 517));
    window_.state = WindowState::Minimized;
    SaveWindowPos(store_, kSettingsKey, kName, window_);
    EXPECT_EQ(Stored(), Record(1, 149, 235, 806, 517));
}

}  // namespace
}  // namespace vantrel
