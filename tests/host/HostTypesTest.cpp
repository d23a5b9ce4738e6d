#include "zul/Status.h"
#include "zul/Version.h"
#include "zulx/ExtensionFactory.h"
#include "zulx/StatusException.h"
#include "zulx/URI.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(Status, DescriptionsExceptionAndVersion) {
    const std::string unknown = zul::getStatusDescription(12345);
    for (int code : {0, 1, 17, 18, 24, 31})
        EXPECT_NE(zul::getStatusDescription(code), unknown) << code;
    const zulx::StatusException e(zul::STATUS_DECODER_NOT_FOUND);
    EXPECT_EQ(e.getStatus(), 17);
    EXPECT_STREQ(e.what(), zul::getStatusDescription(17));
    EXPECT_EQ(zul::getVersion().major, 1u);
    EXPECT_EQ(zul::getVersion().minor, 0u);
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

class TestDecoderFactory : public zulx::DecoderFactory {
public:
    TestDecoderFactory()
        : DecoderFactory(zul::CT_SGB, L"id", L"name", L"desc",
                         zulx::FileExtensions({L".sgb", L".class"})) {}
    zulx::Extension* create() const override { return nullptr; }
};

TEST(DecoderFactory, DefaultsAndUriMatchingIgnoresAsciiCase) {
    const TestDecoderFactory f;
    EXPECT_EQ(f.getMerit(), 0.0f);
    EXPECT_EQ(f.getExtensionType(), zulx::Extension::ET_DECODER);
    for (const char* path : {"/a/b.SGB", "file:/a/b.Class"})
        EXPECT_TRUE(f.canHandleURI(zulx::URI::create(std::string(path)))) << path;
    for (const char* path : {"/a/b.sgbx", "/a/sgb"})
        EXPECT_FALSE(f.canHandleURI(zulx::URI::create(std::string(path)))) << path;
    EXPECT_FALSE(f.canHandleURI(nullptr));

    std::unique_ptr<zul::DecoderInfo> info(f.createDecoderInfo());
    EXPECT_STREQ(info->getID(), L"id");
    size_t size = 0;
    zul::Status status = zul::STATUS_OK;
    info->toXML(nullptr, &size, &status);
    EXPECT_EQ(status, zul::STATUS_BUFFER_TO_SMALL);
    std::vector<char> buffer(size);
    info->toXML(buffer.data(), &size, &status);
    EXPECT_EQ(status, zul::STATUS_OK);
    EXPECT_EQ(std::strlen(buffer.data()) + 1, size);
}

} // namespace
