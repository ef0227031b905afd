// The contract every settings store keeps, run over each implementation, then what the file
// store adds: its file's format, damage and recovery, failed writes, batches and several
// instances.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/settings/MemorySettings.h"
#include "platform/settings/SettingsFileFormat.h"
#include "platform/settings/XdgSettingsFile.h"
#include "tests/support/TempFolder.h"

namespace vantrel::settings {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::WriteWholeFile;

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

TEST_F(XdgSettingsFileTest, ValuesSurviveInAReadableFileThatANewInstanceReads) {
    const Value windowPos = Value::Binary(std::vector<uint8_t>{2, 0, 0, 0, 149});
    {
        XdgSettingsFile store(File());
        ASSERT_TRUE(Write(store, "Speed", Value::Dword(12)));
        ASSERT_TRUE(Write(store, "WindowPos", windowPos));
    }
    EXPECT_EQ(ReadWholeFile(File()),
              "; Vantrel settings\n\n[Software\\Quorbit\\Vantrel]\n\"Speed\"=dword:0000000c\n"
              "\"WindowPos\"=hex:02,00,00,00,95\n");
    XdgSettingsFile fresh(File());
    EXPECT_EQ(Read(fresh, "WindowPos"), windowPos);
    EXPECT_EQ(fs::status(File().parent_path()).permissions() & fs::perms::all,
              fs::perms::owner_all);
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

TEST_F(XdgSettingsFileTest, InstancesSeeAndKeepEachOthersValues) {
    XdgSettingsFile first(File()), second(File());
    ASSERT_TRUE(Write(first, "Speed", Value::Dword(20)));
    EXPECT_EQ(Read(second, "Speed"), Value::Dword(20));
    ASSERT_TRUE(Write(second, "Pitch", Value::Dword(9)));
    ASSERT_TRUE(Write(first, "Volume", Value::Dword(3)));

    XdgSettingsFile fresh(File());
    for (auto [name, value] : {std::pair{"Speed", 20u}, {"Pitch", 9u}, {"Volume", 3u}})
        EXPECT_EQ(Read(fresh, name), Value::Dword(value)) << name;
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

}  // namespace
}  // namespace vantrel::settings
