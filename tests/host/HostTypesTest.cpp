#include "zul/Status.h"
#include "zulx/StatusException.h"
#include "zulx/URI.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(Status, DescriptionsAndException) {
    const std::string unknown = zul::getStatusDescription(12345);
    for (int code : {0, 1, 17, 18, 24, 31})
        EXPECT_NE(zul::getStatusDescription(code), unknown) << code;
    const zulx::StatusException e(zul::STATUS_DECODER_NOT_FOUND);
    EXPECT_EQ(e.getStatus(), 17);
    EXPECT_STREQ(e.what(), zul::getStatusDescription(17));
}

TEST(URI, ParsesPathsAndFileUris) {
    const struct {
        const char* text;
        const char* scheme;
        const char* path;
    } cases[] = {
        {"/tmp/a.sgb", "file", "/tmp/a.sgb"},
        {"FILE://host/tmp/y", "file", "/tmp/y"},
        {"memory://blob/k.sgb?x=1", "memory", "/k.sgb"},
        {"C:/win/path.sgb", "file", "C:/win/path.sgb"},
        {"file:/a%2Fb%2fc%zz%4", "file", "/a/b/c%zz%4"},
    };
    for (const auto& c : cases) {
        const auto uri = zulx::URI::create(std::string(c.text));
        EXPECT_EQ(uri->str(), c.text);
        EXPECT_EQ(uri->scheme(), c.scheme) << c.text;
        EXPECT_EQ(uri->path(), c.path) << c.text;
    }
}

} // namespace
