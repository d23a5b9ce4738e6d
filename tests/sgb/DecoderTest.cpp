#include "sgb/SGBDecoder.h"
#include "sgb/SGBDecoderFactory.h"

#include "loader/ExtensionManagerImpl.h"
#include "sgbtest/RuleFileWriter.h"
#include "zulx/SGB.h"
#include "zulx/URI.h"

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
    EXPECT_EQ(factory.getExtensionType(), zulx::Extension::ET_DECODER);
    EXPECT_THAT(factory.getFileExtensions().getExtensions(), ElementsAre(L".sgb", L".class"));
    EXPECT_TRUE(factory.canHandleURI(zulx::URI::create(std::string("/rules/lot.sgb"))));
    EXPECT_TRUE(factory.canHandleURI(zulx::URI::create(std::string("/rules/Lot.class"))));
    EXPECT_FALSE(factory.canHandleURI(zulx::URI::create(std::string("/rules/lot.txt"))));

    std::unique_ptr<zulx::Extension> decoder(factory.create());
    ASSERT_NE(dynamic_cast<sgb::SGBDecoder*>(decoder.get()), nullptr);
    EXPECT_EQ(decoder->getContentType(), zul::CT_SGB);
    EXPECT_EQ(decoder->getExtensionType(), zulx::Extension::ET_DECODER);
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
    EXPECT_NE(a, b);
    EXPECT_NE(a->data, b->data);
    EXPECT_EQ(a->data->errors.size(), 1u);
    EXPECT_NE(a->data->ruleFileInfo, nullptr);
}

TEST(DecoderTest, UnreadableStreamsThrowAndLeaveResultsAlone) {
    sgbtest::RuleFileWriter f;
    f.w.magic = 0xCAFEBABF;
    const std::string badMagic = f.str();
    sgbtest::RuleFileWriter good;
    good.addRule("Lot", "()V");
    const std::string whole = good.str();

    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results(2);
    for (const std::string& bytes : {badMagic, std::string(), whole.substr(0, whole.size() / 2)}) {
        std::istringstream in(bytes);
        EXPECT_THROW(decoder.decode(results, in, nullptr, L""), std::exception);
        EXPECT_EQ(results.size(), 2u);
    }
}

TEST(DecoderTest, ManagerFindsTheDecoderByIdAndByContentTypeAndUri) {
    loader::ExtensionManagerImpl manager;
    manager.addPluginPaths(nullptr, 0);

    const auto byId = manager.createDecoder(L"com.ulno.zul.core.SGBDecoder");
    EXPECT_NE(std::dynamic_pointer_cast<sgb::SGBDecoder>(byId), nullptr);

    const auto uri = zulx::URI::create(std::string("/rules/lot.sgb"));
    const auto matching = manager.createMatchingDecoder(zul::CT_SGB, uri);
    ASSERT_NE(std::dynamic_pointer_cast<sgb::SGBDecoder>(matching), nullptr);

    sgbtest::RuleFileWriter f;
    f.addRule("Lot", "()V");
    zulx::ContentPtrVector results;
    std::istringstream in(f.str());
    matching->decode(results, in, nullptr, L"");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0]->getContentType(), zul::CT_SGB);
}

} // namespace
