#include "support/StringHolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantrel {
namespace {

TEST(StringHolderTest, AssignedLinesAreTheHoldersOwnCopy) {
    TStringHolder holder;
    EXPECT_TRUE(holder.Strings().empty());
    const std::vector<std::string> expected = {"CHAS", " LEADING", "TWO  BLANKS", "CHAS"};
    auto source = std::make_unique<std::vector<std::string>>(expected);
    holder.SetStrings(*source);
    (*source)[0] = "CHANGED";
    source.reset();
    EXPECT_EQ(holder.Strings(), expected);

    holder.SetStrings(holder.Strings());
    EXPECT_EQ(holder.Strings(), expected);
    holder.SetStrings({});
    EXPECT_TRUE(holder.Strings().empty());
}

}  // namespace
}  // namespace vantrel
