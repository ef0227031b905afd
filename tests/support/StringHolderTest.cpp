#include "support/StringHolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantrel {
namespace {

TEST(StringHolderTest, AssignedLinesAreTheHoldersOwnCopy) {
    TStringHolder holder;
    EXPECT_TRUE(holder.Strings().empty());
    auto source = std::make_unique<std::vector<std::string>>(
        std::vector<std::string>{"CHAS", " LEADING", "TWO  BLANKS", "CHAS"});
    holder.SetStrings(*source);
    (*source)[0] = "CHANGED";
    source.reset();
    const std::vector<std::string> expected = {"CHAS", " LEADING", "TWO  BLANKS", "CHAS"};
    EXPECT_EQ(holder.Strings(), expected);

    holder.SetStrings(holder.Strings());
    EXPECT_EQ(holder.Strings(), expected);
    holder.SetStrings({});
    EXPECT_TRUE(holder.Strings().empty());
}

}  // namespace
}  // namespace vantrel
