#include "util/RuntimeErrorST.h"

#include <gtest/gtest.h>

TEST(RuntimeErrorST, CarriesMessageAndStackText) {
    const util::RuntimeErrorST error("Unknown tag");
    EXPECT_STREQ(error.what(), "Unknown tag");
    EXPECT_EQ(error.stackTrace, "<Stacktrace not available>");

    const util::RuntimeErrorST copy = error;
    EXPECT_STREQ(copy.what(), "Unknown tag");
    EXPECT_EQ(copy.stackTrace, error.stackTrace);

    try {
        throw util::RuntimeErrorST("thrown");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "thrown");
    }
}
