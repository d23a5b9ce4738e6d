#include "util/RuntimeErrorST.h"

#include <gtest/gtest.h>

TEST(RuntimeErrorST, CarriesMessageAndStackTextIntoCopies) {
    const util::RuntimeErrorST error("Unknown tag");
    const util::RuntimeErrorST copy = error;
    EXPECT_STREQ(copy.what(), "Unknown tag");
    EXPECT_EQ(copy.stackTrace, "<Stacktrace not available>");
}
