#include "sgb/SGBDecoder.h"
#include "sgb/SGBDecoderFactory.h"

#include "sgbtest/RuleFileWriter.h"
#include "zulx/SGB.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>

namespace {

using ::testing::ElementsAre;

TEST(DecoderTest, FactoryDescribesTheDecoder) {
    const sgb::SGBDecoderFactory factory;
    EXPECT_EQ(factory.getContentType(), zul::CT_SGB);
    EXPECT_EQ(factory.getID(), L"com.ulno.zul.core.SGBDecoder");
    EXPECT_EQ(factory.getName(), L"SGB Decoder");
    EXPECT_EQ(factory.getDescription(), L"SGB Byte Stream Reader");
    EXPECT_THAT(factory.getFileExtensions().getExtensions(), ElementsAre(L".sgb", L".class"));

    std::unique_ptr<zulx::Extension> decoder(factory.create());
    ASSERT_NE(dynamic_cast<sgb::SGBDecoder*>(decoder.get()), nullptr);
    EXPECT_EQ(decoder->getContentType(), zul::CT_SGB);
}

TEST(DecoderTest, EachCallAppendsOneObjectAfterTheEarlierOnes) {
    sgbtest::RuleFileWriter f;
    f.w.methodRef("java/lang/Math", "max", "(DD)D"); // unknown: reported, not fatal
    const std::string bytes = f.str();

    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results(1);
    std::istringstream first(bytes), second(bytes);
    decoder.decode(results, first, nullptr, L"");
    decoder.decode(results, second, nullptr, L"");
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0], nullptr);
    const auto a = std::dynamic_pointer_cast<zulx::SGB>(results[1]);
    const auto b = std::dynamic_pointer_cast<zulx::SGB>(results[2]);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->data, b->data);
    EXPECT_EQ(a->data->errors.size(), 1u);
    EXPECT_NE(a->data->ruleFileInfo, nullptr);
}

TEST(DecoderTest, UnreadableStreamsAndUnknownEnumClassesThrowAndLeaveResultsAlone) {
    sgbtest::RuleFileWriter badMagic, unknownEnum;
    badMagic.w.magic = 0xCAFEBABF;
    unknownEnum.enumConstant("X", "a");
    const struct {
        std::string bytes;
        const char* message; // null: the reader's own
    } cases[] = {
        {badMagic.str(), nullptr},
        {unknownEnum.str(), "No enum 'X' found in map!"},
    };
    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results(2);
    for (const auto& c : cases) {
        std::istringstream in(c.bytes);
        try {
            decoder.decode(results, in, nullptr, L"");
            ADD_FAILURE() << "no exception for " << c.bytes.size() << " bytes";
        } catch (const std::runtime_error& e) {
            if (c.message) {
                EXPECT_STREQ(e.what(), c.message);
            }
        }
        EXPECT_EQ(results.size(), 2u);
    }
}

} // namespace
