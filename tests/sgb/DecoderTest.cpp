#include "sgb/SGBDecoder.h"
#include "sgb/SGBDecoderFactory.h"

#include "sgbtest/RuleFileWriter.h"
#include "zulx/SGB.h"
#include "zulx/URI.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

TEST(DecoderTest, FactoryDescribesTheDecoder) {
    const sgb::SGBDecoderFactory factory;
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
    EXPECT_NE(dynamic_cast<sgb::SGBDecoder*>(decoder.get()), nullptr);
}

// A file the reader rejects throws and appends nothing; the others append
// one object each, after what the vector held.
TEST(DecoderTest, EachCallAppendsOneObjectAfterTheEarlierOnes) {
    sgbtest::RuleFileWriter good, badMagic;
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
    for (size_t i = 1; i < 3; ++i)
        EXPECT_NE(std::dynamic_pointer_cast<zulx::SGB>(results[i]), nullptr) << i;
}

} // namespace
