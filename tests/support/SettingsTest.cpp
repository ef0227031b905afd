// The contract every settings store keeps, run over each implementation; what the file store
// adds: its file's format, damage and recovery, failed writes, batches and several instances;
// and the program's settings routines over a store.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <memory>
#include <thread>

#include "platform/settings/MemorySettings.h"
#include "platform/settings/SettingsFileFormat.h"
#include "platform/settings/XdgSettingsFile.h"
#include "support/Settings.h"
#include "tests/support/FakeWindowGeometry.h"
#include "tests/support/TempFolder.h"

namespace vantrel::settings {
namespace {

namespace fs = std::filesystem;
using namespace testing;

constexpr std::string_view kKey = "Software\\Quorbit\\Vantrel";

std::optional<Value> Read(SettingsBackend& store, std::string_view name,
                          std::string_view key = kKey) {
    auto reader = store.OpenForRead(key);
    return reader ? reader->Query(name) : std::nullopt;
}

bool Write(SettingsBackend& store, std::string_view name, const Value& value,
           std::string_view key = kKey) {
    auto writer = store.OpenForWrite(key);
    return writer && writer->Set(name, value);
}

struct MemoryStoreFactory {
    std::unique_ptr<SettingsBackend> Make() { return std::make_unique<MemorySettings>(); }
};
struct FileStoreFactory {
    std::unique_ptr<SettingsBackend> Make() {
        return std::make_unique<XdgSettingsFile>(folder_.Path() / "cfg" / "Vantrel.conf");
    }
    testing::TempFolder folder_;
};

template <typename Factory>
class SettingsStoreTest : public ::testing::Test {
  protected:
    Factory factory_;
    std::unique_ptr<SettingsBackend> store_ = factory_.Make();
};

using Stores = ::testing::Types<MemoryStoreFactory, FileStoreFactory>;
TYPED_TEST_SUITE(SettingsStoreTest, Stores);

TYPED_TEST(SettingsStoreTest, ValuesOfEveryTypeReadBackAsStored) {
    const std::vector<uint8_t> bytes = {0x00, 0xFF, 0x0A, 0x22, 0x5C};
    const Value values[] = {
        Value::Dword(0xFFFFFFFF),
        Value::Dword(0),
        Value::Binary(bytes),
        Value::Binary({}),
        Value::String("quote \" backslash \\ line\nbreak \x01 \xD0\x96"),
        Value::String(""),
    };
    for (std::size_t i = 0; i < std::size(values); ++i)
        ASSERT_TRUE(Write(*this->store_, "v" + std::to_string(i), values[i]));
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(Read(*this->store_, "v" + std::to_string(i)), values[i]) << "value " << i;
    EXPECT_EQ(Read(*this->store_, "absent"), std::nullopt);
}

TYPED_TEST(SettingsStoreTest, KeyPathsAndNamesIgnoreCaseAndReadKeysRefuseWrites) {
    ASSERT_TRUE(Write(*this->store_, "Speed", Value::Dword(7)));
    ASSERT_TRUE(Write(*this->store_, "SPEED", Value::Dword(9), "SOFTWARE\\quorbit\\VANTREL"));
    auto reader = this->store_->OpenForRead("software\\Quorbit\\Vantrel");
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->Query("speed"), Value::Dword(9));
    EXPECT_FALSE(reader->Set("Speed", Value::Dword(8))) << "a key opened for reading";
    EXPECT_EQ(reader->Query("Speed"), Value::Dword(9));
}

TYPED_TEST(SettingsStoreTest, MissingKeysCannotBeReadAndUnstorableOnesNotWritten) {
    using namespace std::literals;
    EXPECT_EQ(this->store_->OpenForRead(kKey), nullptr);
    ASSERT_TRUE(Write(*this->store_, "X", Value::Dword(1), "Software\\Other"));
    EXPECT_EQ(this->store_->OpenForRead(kKey), nullptr);
    for (std::string_view path :
         {""sv, " Software"sv, "Software "sv, "Soft\nware"sv, "Soft\0ware"sv})
        EXPECT_EQ(this->store_->OpenForWrite(path), nullptr) << "path '" << path << "'";
}

class XdgSettingsFileTest : public ::testing::Test {
  protected:
    // Two of its folders are missing at first.
    fs::path File() const { return folder_.Path() / "config" / "Quorbit" / "Vantrel.conf"; }

    testing::TempFolder folder_;
};

// Values are stored in a readable file at once, where other instances, open at the same time
// or later, read and keep them.
TEST_F(XdgSettingsFileTest, ValuesSurviveInAReadableFileThatOtherInstancesReadAndKeep) {
    const Value windowPos = Value::Binary(std::vector<uint8_t>{2, 0, 0, 0, 149});
    XdgSettingsFile first(File()), second(File());
    EXPECT_EQ(Read(second, "Speed"), std::nullopt);
    ASSERT_TRUE(Write(first, "Speed", Value::Dword(12)));
    ASSERT_TRUE(Write(first, "WindowPos", windowPos));
    EXPECT_EQ(ReadWholeFile(File()),
              "; Vantrel settings\n\n[Software\\Quorbit\\Vantrel]\n\"Speed\"=dword:0000000c\n"
              "\"WindowPos\"=hex:02,00,00,00,95\n");
    EXPECT_EQ(fs::status(File().parent_path()).permissions() & fs::perms::all,
              fs::perms::owner_all);
    EXPECT_EQ(Read(second, "WindowPos"), windowPos);
    ASSERT_TRUE(Write(second, "Pitch", Value::Dword(9)));
    ASSERT_TRUE(Write(first, "Volume", Value::Dword(3)));

    XdgSettingsFile fresh(File());
    for (auto [name, value] : {std::pair{"Speed", 12u}, {"Pitch", 9u}, {"Volume", 3u}})
        EXPECT_EQ(Read(fresh, name), Value::Dword(value)) << name;
}

TEST_F(XdgSettingsFileTest, UnusableFilesReadAsHoldingNothing) {
    for (const std::string& bytes :
         {std::string(), std::string("\x00\xFF\x13[\x00]\n\"Speed\"\x00=dword:1\n", 24),
          std::string(4096, '\0'), std::string("Speed=12\nPitch: 8\n<xml/>\n")}) {
        WriteWholeFile(File(), bytes);
        XdgSettingsFile store(File());
        EXPECT_EQ(store.OpenForRead(kKey), nullptr) << bytes;
    }
}

TEST_F(XdgSettingsFileTest, BadLinesDoNotSpoilTheGoodOnes) {
    // Escaped when written, this value would make a line too long to be read back.
    const std::string bells = "\"Bells\"=\"" + std::string(20'000, '\x07') + "\"\n";
    WriteWholeFile(File(),
                   "\"Orphan\"=dword:00000001\n"
                   "; comment\n"
                   "[Software\\Quorbit\\Vantrel]\r\n"
                   "\"Speed\"=dword:00000014\r\n"
                   "\"Spacing\"=dword:123456789\n"  // too many digits
                   "\"Pitch\"=hex:0,1\n"            // bytes need two digits
                   "garbage line\n"
                   "\"Volume\"=\"unterminated\n"
                   "  \"Test\" = dword:3  \n"
                   "\"Speed\"=dword:00000015 trailing\n"  // rejected, the earlier one stays
                   "[Software\\Quorbit\\Vantrel\n"        // damaged header: values below are lost
                   "\"Stray\"=dword:00000001\n"
                   "[Software\\Quorbit\\Vantrel]\n"
                   "\"Name\"=\"A\\\"B\"\n" +
                       bells);
    XdgSettingsFile store(File());
    EXPECT_EQ(Read(store, "Speed"), Value::Dword(20));
    EXPECT_EQ(Read(store, "Test"), Value::Dword(3));
    EXPECT_EQ(Read(store, "Name"), Value::String("A\"B"));
    for (const char* name : {"Orphan", "Spacing", "Pitch", "Volume", "Stray", "Bells"})
        EXPECT_EQ(Read(store, name), std::nullopt) << name;
}

TEST_F(XdgSettingsFileTest, FileCutOffAnywhereLosesOnlyTheCutLine) {
    SettingsTree tree;
    tree.Set(kKey, "Speed", Value::Dword(0x0C));
    tree.Set(kKey, "WindowPos", Value::Binary(std::vector<uint8_t>(20, 0x41)));
    tree.Set(kKey, "Title", Value::String("a \"b\" c"));
    tree.Set(kKey, "Pitch", Value::Dword(8));
    const std::string full = FormatSettingsFile(tree);
    ASSERT_EQ(ParseSettingsFile(full), tree);

    for (std::size_t length = 0; length < full.size(); ++length) {
        const SettingsTree cut = ParseSettingsFile(std::string_view(full).substr(0, length));
        for (const SettingsTree::Entry& e : tree.Keys().front().entries) {
            const Value* v = cut.Find(kKey, e.name);
            if (v != nullptr) {
                EXPECT_EQ(*v, e.value) << e.name << " cut at " << length;
            }
        }
    }
}

TEST_F(XdgSettingsFileTest, FailedWriteKeepsTheOldFileAndValue) {
    XdgSettingsFile store(File());
    ASSERT_TRUE(Write(store, "Speed", Value::Dword(12)));
    const std::string before = ReadWholeFile(File());
    {
        testing::FileSizeLimit full(16);
        EXPECT_FALSE(Write(store, "Speed", Value::Dword(30)));
        store.BeginBatch();
        EXPECT_TRUE(Write(store, "Pitch", Value::Dword(9)));
        EXPECT_FALSE(store.EndBatch());
    }
    EXPECT_EQ(ReadWholeFile(File()), before);
    EXPECT_EQ(Read(store, "Speed"), Value::Dword(12));
    EXPECT_EQ(Read(store, "Pitch"), std::nullopt) << "a failed batch is dropped";
}

TEST_F(XdgSettingsFileTest, SomethingOtherThanAFileInItsPlaceIsNeitherReadNorReplaced) {
    fs::create_directories(File().parent_path());
    ASSERT_EQ(::mkfifo(File().c_str(), 0600), 0);
    XdgSettingsFile store(File());
    EXPECT_EQ(store.OpenForRead(kKey), nullptr);  // and does not wait for a writer
    EXPECT_FALSE(Write(store, "Speed", Value::Dword(1)));
    EXPECT_TRUE(fs::is_fifo(File()));
}

TEST_F(XdgSettingsFileTest, BatchStoresItsValuesTogetherAtTheEnd) {
    XdgSettingsFile store(File());
    ASSERT_TRUE(Write(store, "Speed", Value::Dword(12)));
    const std::string before = ReadWholeFile(File());
    {
        SettingsBatch outer(store);
        {
            SettingsBatch inner(store);
            ASSERT_TRUE(Write(store, "Speed", Value::Dword(25)));
        }
        ASSERT_TRUE(Write(store, "Pitch", Value::Dword(10)));
        EXPECT_EQ(Read(store, "Speed"), Value::Dword(25));
        EXPECT_EQ(ReadWholeFile(File()), before);
    }
    XdgSettingsFile fresh(File());
    EXPECT_EQ(Read(fresh, "Speed"), Value::Dword(25));
    EXPECT_EQ(Read(fresh, "Pitch"), Value::Dword(10));
}

TEST_F(XdgSettingsFileTest, ReadersOnOtherThreadsSeeOnlyWholeStoredValues) {
    XdgSettingsFile store(File());
    ASSERT_TRUE(Write(store, "Speed", Value::Dword(1)));
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done.load()) {
            const std::optional<Value> v = Read(store, "Speed");
            ASSERT_TRUE(v.has_value());
            ASSERT_EQ(v->data.size(), 4u);
            ASSERT_GE(v->data[0], 1);
            ASSERT_LE(v->data[0], 10);
        }
    });
    for (uint32_t speed = 2; speed <= 10; ++speed) {
        SettingsBatch batch(store);
        Write(store, "Speed", Value::Dword(speed));
    }
    done = true;
    reader.join();
    XdgSettingsFile fresh(File());
    EXPECT_EQ(Read(fresh, "Speed"), Value::Dword(10));
}

TEST(SettingsFileRecoveryTest, DamagedOrOversizedFileKeepsItsValuesAndIsKeptAside) {
    using namespace std::chrono;
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
        WriteWholeFile(file, original);
        XdgSettingsFile store(file, [] { return sys_days{2026y / 12 / 7} + 12h; });
        ASSERT_TRUE(Write(store, "Volume", Value::Dword(3))) << what;
        ASSERT_TRUE(Write(store, "Volume", Value::Dword(4))) << what;

        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            if (entry.path() != file)
                aside.push_back(entry.path());
        }
        ASSERT_EQ(aside.size(), 1u) << what << ": one file aside, the first time only";
        EXPECT_TRUE(aside[0].filename().string().starts_with("Vantrel.conf.damaged-2026-12-07-"));
        EXPECT_TRUE(ReadWholeFile(aside[0]) == original) << what;
        XdgSettingsFile fresh(file);
        for (auto [name, value] : {std::pair{"Speed", 20u}, {"Pitch", 9u}, {"Volume", 4u}})
            EXPECT_EQ(Read(fresh, name), Value::Dword(value)) << what << " " << name;
    }
}

using test::FakeWindow;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The routines take any key and value names; these are the program's.
constexpr std::string_view kName = "WindowPos";

class SettingsRoutinesTest : public ::testing::Test {
  protected:
    MemorySettings store_;
};

TEST_F(SettingsRoutinesTest, IntegersRoundTripWithNegativesAsTwosComplement) {
    for (int32_t v : {0, 12, -1, INT32_MIN, INT32_MAX}) {
        WriteIntSetting(store_, kKey, "Speed", v);
        EXPECT_EQ(store_.Get(kKey, "Speed"), Value::Dword(static_cast<uint32_t>(v)));
        EXPECT_EQ(ReadIntSetting(store_, kKey, "Speed", 99), v);
    }
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
    store_.Put(kKey, "Speed", Value{ValueType::Dword, {20, 0}});
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
}  // namespace vantrel::settings
