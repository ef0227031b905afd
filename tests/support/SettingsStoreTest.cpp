// The contract every settings store keeps, run over each implementation.
#include <gtest/gtest.h>

#include <memory>

#include "platform/settings/MemorySettings.h"
#include "platform/settings/XdgSettingsFile.h"
#include "tests/support/TempFolder.h"

namespace vantrel::settings {
namespace {

constexpr std::string_view kKey = "Software\\Quorbit\\Vantrel";

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

TYPED_TEST(SettingsStoreTest, MissingKeyCannotBeOpenedForReading) {
    EXPECT_EQ(this->store_->OpenForRead(kKey), nullptr);
    auto writer = this->store_->OpenForWrite("Software\\Other");
    ASSERT_NE(writer, nullptr);
    ASSERT_TRUE(writer->Set("X", Value::Dword(1)));
    EXPECT_EQ(this->store_->OpenForRead(kKey), nullptr);
}

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
    auto writer = this->store_->OpenForWrite(kKey);
    ASSERT_NE(writer, nullptr);
    for (std::size_t i = 0; i < std::size(values); ++i) {
        ASSERT_TRUE(writer->Set("v" + std::to_string(i), values[i]));
    }
    auto reader = this->store_->OpenForRead(kKey);
    ASSERT_NE(reader, nullptr);
    for (std::size_t i = 0; i < std::size(values); ++i) {
        EXPECT_EQ(reader->Query("v" + std::to_string(i)), values[i]) << "value " << i;
    }
    EXPECT_EQ(reader->Query("absent"), std::nullopt);
}

TYPED_TEST(SettingsStoreTest, KeyPathsAndNamesIgnoreCaseAndReadKeysRefuseWrites) {
    ASSERT_TRUE(this->store_->OpenForWrite(kKey)->Set("Speed", Value::Dword(7)));
    ASSERT_TRUE(
        this->store_->OpenForWrite("SOFTWARE\\quorbit\\VANTREL")->Set("SPEED", Value::Dword(9)));
    auto reader = this->store_->OpenForRead("software\\Quorbit\\Vantrel");
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->Query("speed"), Value::Dword(9));
    EXPECT_FALSE(reader->Set("Speed", Value::Dword(8))) << "a key opened for reading";
    EXPECT_EQ(reader->Query("Speed"), Value::Dword(9));
}

TYPED_TEST(SettingsStoreTest, KeyPathsThatCouldNotBeStoredAreRefused) {
    using namespace std::literals;
    for (std::string_view path :
         {""sv, " Software"sv, "Software "sv, "Soft\nware"sv, "Soft\0ware"sv}) {
        EXPECT_EQ(this->store_->OpenForWrite(path), nullptr) << "path '" << path << "'";
    }
}

}  // namespace
}  // namespace vantrel::settings
