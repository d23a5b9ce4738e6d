#include "sgb/SGBDecoder.h"
#include "sgb/SGBDecoderFactory.h"

#include "sgbtest/RuleFileWriter.h"
#include "zulx/SGB.h"
#include "zulx/URI.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

TEST(DecoderTest, FactoryDescribesTheDecoder) {
    const sgb::SGBDecoderFactory factory;
    EXPECT_EQ(factory.getContentType(), zul::CT_SGB);
    EXPECT_EQ(factory.getID(), L"com.ulno.zul.core.SGBDecoder");
    EXPECT_EQ(factory.getName(), L"SGB Decoder");
    EXPECT_EQ(factory.getDescription(), L"SGB Byte Stream Reader");
    EXPECT_THAT(factory.getFileExtensions().getExtensions(), ElementsAre(L".sgb", L".class"));
    EXPECT_EQ(factory.getMerit(), 0.0f);
    EXPECT_EQ(factory.getExtensionType(), zulx::Extension::ET_DECODER);
    // The file extensions are matched ignoring ASCII case.
    for (const char* path : {"/a/b.SGB", "file:/a/b.Class"})
        EXPECT_TRUE(factory.canHandleURI(zulx::URI::create(std::string(path)))) << path;
    for (const char* path : {"/a/b.sgbx", "/a/sgb"})
        EXPECT_FALSE(factory.canHandleURI(zulx::URI::create(std::string(path)))) << path;
    EXPECT_FALSE(factory.canHandleURI(nullptr));
    // The info record answers a size query first, then fills the buffer.
    std::unique_ptr<zul::DecoderInfo> info(factory.createDecoderInfo());
    EXPECT_STREQ(info->getID(), L"com.ulno.zul.core.SGBDecoder");
    size_t size = 0;
    zul::Status status = zul::STATUS_OK;
    info->toXML(nullptr, &size, &status);
    EXPECT_EQ(status, zul::STATUS_BUFFER_TO_SMALL);
    std::vector<char> buffer(size);
    info->toXML(buffer.data(), &size, &status);
    EXPECT_EQ(status, zul::STATUS_OK);
    EXPECT_EQ(std::strlen(buffer.data()) + 1, size);

    std::unique_ptr<zulx::Extension> decoder(factory.create());
    ASSERT_NE(dynamic_cast<sgb::SGBDecoder*>(decoder.get()), nullptr);
    EXPECT_EQ(decoder->getContentType(), zul::CT_SGB);
}

// A file the reader rejects throws and appends nothing; the others append
// one object each, after what the vector held.
TEST(DecoderTest, EachCallAppendsOneObjectAfterTheEarlierOnes) {
    sgbtest::RuleFileWriter good, badMagic;
    good.w.methodRef("java/lang/Math", "max", "(DD)D"); // unknown: reported, not fatal
    badMagic.w.magic = 0xCAFEBABF;
    const std::string files[] = {good.str(), badMagic.str(), good.str()};

    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results(1);
    for (const std::string& bytes : files) {
        std::istringstream in(bytes);
        const size_t before = results.size();
        try {
            decoder.decode(results, in, nullptr, L"");
        } catch (const std::runtime_error&) {
            EXPECT_EQ(results.size(), before);
        }
    }
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0], nullptr);
    const auto a = std::dynamic_pointer_cast<zulx::SGB>(results[1]);
    const auto b = std::dynamic_pointer_cast<zulx::SGB>(results[2]);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->data, b->data);
    EXPECT_EQ(a->data->errors.size(), 1u);
    EXPECT_NE(a->data->ruleFileInfo, nullptr);
}

} // namespace
