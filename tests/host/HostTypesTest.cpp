#include "zul/Status.h"
#include "zul/Version.h"
#include "zulx/ExtensionFactory.h"
#include "zulx/SGB.h"
#include "zulx/StatusException.h"
#include "zulx/URI.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Status, DescriptionsAndException) {
    for (int code : {0, 1, 17, 18, 24, 31}) {
        const std::string text = zul::getStatusDescription(code);
        EXPECT_FALSE(text.empty());
        EXPECT_NE(text, zul::getStatusDescription(12345)) << code;
    }
    const zulx::StatusException e(zul::STATUS_DECODER_NOT_FOUND);
    EXPECT_EQ(e.getStatus(), 17);
    EXPECT_STREQ(e.what(), zul::getStatusDescription(17));
    EXPECT_EQ(zul::getVersion().major, 1u);
    EXPECT_EQ(zul::getVersion().minor, 0u);
}

struct UriCase {
    const char* text;
    const char* scheme;
    const char* path;
};

TEST(URI, ParsesPathsAndFileUris) {
    const UriCase cases[] = {
        {"/tmp/a.sgb", "file", "/tmp/a.sgb"},
        {"rel/dir/b.SGB", "file", "rel/dir/b.SGB"},
        {"file:/tmp/a%20b.sgb", "file", "/tmp/a b.sgb"},
        {"file:///tmp/x.class", "file", "/tmp/x.class"},
        {"FILE://host/tmp/y", "file", "/tmp/y"},
        {"memory://blob/k.sgb?x=1", "memory", "/k.sgb"},
        {"C:/win/path.sgb", "file", "C:/win/path.sgb"},
        {"", "file", ""},
        {"bad%zz%", "file", "bad%zz%"},
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
    EXPECT_TRUE(f.canHandleURI(zulx::URI::create(std::string("/a/b.SGB"))));
    EXPECT_TRUE(f.canHandleURI(zulx::URI::create(std::string("file:/a/b.Class"))));
    EXPECT_FALSE(f.canHandleURI(zulx::URI::create(std::string("/a/b.sgbx"))));
    EXPECT_FALSE(f.canHandleURI(zulx::URI::create(std::string("/a/sgb"))));
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

TEST(SGB, NewObjectHasEmptyRecordAndFreesWhatItHolds) {
    std::unique_ptr<zulx::SGB> sgb(zulx::SGB::create());
    ASSERT_TRUE(sgb->data);
    EXPECT_EQ(sgb->getContentType(), zul::CT_SGB);
    EXPECT_TRUE(sgb->data->constants.empty());
    EXPECT_TRUE(sgb->data->methodIndex.empty());
    // Every payload kind: the sanitizer build reports a leak if one is not freed.
    auto& c = sgb->data->constants;
    c.push_back(new SGB::CPEntry(
        0, new std::shared_ptr<std::wstring>(std::make_shared<std::wstring>(L"s"))));
    c.push_back(new SGB::CPEntry(1, new double(2.5)));
    c.push_back(nullptr);
    c.push_back(new SGB::CPEntry(2, new int32_t(7)));
    c.push_back(new SGB::CPEntry(3, new zulx::MethodRecord()));
    c.push_back(new SGB::CPEntry(4, new int32_t(0)));
    c.push_back(new SGB::CPEntry(5, nullptr));
    c.push_back(new SGB::CPEntry(6, new int32_t(0)));
}

} // namespace
