// The registry over factories of real extension libraries: listing, info
// records, creation by id, selection by merit and the adaptor fallback.
#include "TestSupport.h"

#include "zulx/Extension.h"
#include "zulx/StatusException.h"
#include "zulx/URI.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <stdexcept>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using Record = testsupport::LogCapture::Record;

std::shared_ptr<zulx::URI> uri(const char* text) {
    return zulx::URI::create(std::string(text));
}

std::string readAll(zulx::StreamAdaptor& adaptor, const char* text) {
    const auto stream = adaptor.createStream(uri(text));
    return std::string(std::istreambuf_iterator<char>(*stream), {});
}

class RegistryTest : public zt::ManagerTest {
protected:
    RegistryTest() {
        load(zt::library("good", "zt_decoders"));
        load(zt::library("good/one", "zt_encoders"));
        load(zt::library("good/one/two", "zt_adaptors"));
        loader::ExtensionManagerImplPeer::putNullFactory(*manager, L"test.null");
        log.clear();
        probe::clear();
    }
};

enum class Thrown { Status, InvalidArgument, RuntimeError };

struct Failure {
    const char* name;
    std::function<void(loader::ExtensionManagerImpl&)> call;
    Thrown thrown;
    int status;         ///< for Thrown::Status
    std::string what;   ///< for the other kinds
    const char* logged; ///< the one error record, or "" for none
};

void expectFailure(const Failure& f, loader::ExtensionManagerImpl& manager) {
    try {
        f.call(manager);
        ADD_FAILURE() << "nothing thrown";
    } catch (const zulx::StatusException& e) {
        EXPECT_EQ(f.thrown, Thrown::Status);
        EXPECT_EQ(e.getStatus(), f.status);
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(f.thrown, Thrown::InvalidArgument);
        EXPECT_EQ(e.what(), f.what);
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(f.thrown, Thrown::RuntimeError);
        EXPECT_EQ(e.what(), f.what);
    }
}

using M = loader::ExtensionManagerImpl;
using Call = std::function<void(M&)>;

// The registry operations the failure table calls.
Call encoderInfo(const wchar_t* id) {
    return [id](M& m) { m.createEncoderInfo(id); };
}
Call decoderInfo(const wchar_t* id) {
    return [id](M& m) { m.createDecoderInfo(id); };
}
Call encoder(const wchar_t* id, const zul::AttributeMap* options = nullptr) {
    return [id, options](M& m) { m.createEncoder(id, options, nullptr); };
}
Call decoder(const wchar_t* id) {
    return [id](M& m) { m.createDecoder(id); };
}
Call matching(zul::ContentType type, const char* text) {
    return [type, text](M& m) { m.createMatchingDecoder(type, uri(text)); };
}

TEST_F(RegistryTest, EveryFailureThrowsLogsAsSpecifiedAndChangesNothing) {
    const zt::Options unsupported{{L"delimiter", L";"}, {L"colour", L"red"}};
    const auto notFound = [](const char* what) {
        return "could not find a decoder which matches content type " + std::string(what);
    };
    const Thrown S = Thrown::Status;
    const Thrown IA = Thrown::InvalidArgument;
    const Failure failures[] = {
        {"encoder info, unknown id", encoderInfo(L"no.such.id"), S, 18, "", ""},
        {"encoder info, null factory", encoderInfo(L"test.null"), S, 18, "", ""},
        {"encoder info, not an encoder", encoderInfo(L"test.decoder.geo.a"), S, 18, "", ""},
        {"decoder info, unknown id", decoderInfo(L"no.such.id"), S, 17, "", ""},
        {"decoder info, null factory", decoderInfo(L"test.null"), S, 17, "", ""},
        {"decoder info, not a decoder", decoderInfo(L"test.encoder.csv"), S, 17, "", ""},
        {"encoder, unknown id", encoder(L"no.such.id"), S, 18, "",
         "Unknown encoder id 'no.such.id'."},
        {"encoder, null factory", encoder(L"test.null"), S, 18, "", ""},
        {"encoder, not an encoder", encoder(L"test.decoder.geo.a"), S, 18, "",
         "Unknown encoder id 'test.decoder.geo.a'."},
        {"encoder, option keys rejected", encoder(L"test.encoder.csv", &unsupported), IA, 0,
         "The specified default options for 'test.encoder.csv' do not match the supported option "
         "key set.",
         ""},
        {"encoder, creates another kind", encoder(L"test.encoder.otherkind"), S, 18, "",
         "Creating encoder 'test.encoder.otherkind' failed!"},
        {"encoder, creates nothing", encoder(L"test.encoder.nothing"), S, 18, "",
         "Creating encoder 'test.encoder.nothing' failed!"},
        {"decoder, unknown id", decoder(L"no.such.id"), S, 18, "",
         "Unknown decoder id 'no.such.id'."},
        {"decoder, null factory", decoder(L"test.null"), S, 17, "",
         "Unknown decoder id 'test.null'."},
        {"decoder, not a decoder", decoder(L"test.encoder.csv"), S, 17, "",
         "Unknown decoder id 'test.encoder.csv'."},
        {"decoder, creates nothing", decoder(L"test.decoder.nothing"), S, 17, "",
         "Creating decoder 'test.decoder.nothing' failed!"},
        {"decoder, creates another kind", decoder(L"test.decoder.otherkind"), S, 17, "",
         "Creating decoder 'test.decoder.otherkind' failed!"},
        {"matching, only merits that never win", matching(zul::CT_MATERIAL, "x.mat"), IA, 0,
         notFound("'Material' and can handle the uri 'x.mat'"), ""},
        {"matching, only an empty id", matching(zul::CT_TEXTURE, "x.tex"), IA, 0,
         notFound("'Texture' and can handle the uri 'x.tex'"), ""},
        {"matching, URI declined", matching(zul::CT_GEOMETRY, "file:///m/x.obj"), IA, 0,
         notFound("'Geometry' and can handle the uri 'file:///m/x.obj'"), ""},
        {"matching, best creates nothing", matching(zul::CT_SHAPE, "x.shp"), S, 17, "",
         "Creating decoder 'test.decoder.nothing' failed!"},
        {"adaptor, chosen one creates nothing", [](M& m) { m.createStreamAdaptor(uri("void:x")); },
         Thrown::RuntimeError, 0,
         "Resolving URI 'void:x': could not create adaptor 'test.adaptor.nothing'", ""},
    };
    // For every extension of the wrong kind: how many records its call had
    // logged when the extension was destroyed.
    std::vector<std::pair<std::string, size_t>> discarded;
    probe::setHook([&](const std::string& event) {
        if (event.find(":discard:") != std::string::npos)
            discarded.emplace_back(event, log.records().size());
    });
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        log.clear();
        const auto before = manager->getFactories();
        expectFailure(f, *manager);
        if (*f.logged == '\0') {
            EXPECT_THAT(log.records(), IsEmpty());
        } else {
            EXPECT_THAT(log.records(), ElementsAre(Record{4, f.logged}));
        }
        EXPECT_EQ(manager->getFactories(), before);
    }
    EXPECT_FALSE(
        zt::hasEvent("encoders:create:test.encoder.csv")); // rejected options create nothing
    EXPECT_THAT(discarded, ElementsAre(Pair("encoders:discard:test.encoder.otherkind", 1u),
                                       Pair("decoders:discard:test.decoder.otherkind", 1u)));
}

TEST_F(RegistryTest, IdListsAppendInRegistryOrderAndKeepWhatWasThere) {
    std::vector<std::wstring> decoders = {L"kept"};
    std::vector<std::wstring> encoders = {L"kept"};
    manager->listDecoderIds(decoders);
    manager->listEncoderIds(encoders);
    EXPECT_THAT(decoders, ElementsAre(L"kept", L"", L"test.decoder.geo.a", L"test.decoder.geo.b",
                                      L"test.decoder.geo.low", L"test.decoder.lowest",
                                      L"test.decoder.nan", L"test.decoder.neginf",
                                      L"test.decoder.nothing", L"test.decoder.otherkind"));
    EXPECT_THAT(encoders, ElementsAre(L"kept", L"test.encoder.csv", L"test.encoder.nothing",
                                      L"test.encoder.otherkind"));
}

TEST_F(RegistryTest, InfoRecordsDescribeTheFactory) {
    std::unique_ptr<zul::EncoderInfo> encoder(manager->createEncoderInfo(L"test.encoder.csv"));
    EXPECT_STREQ(encoder->getID(), L"test.encoder.csv");
    EXPECT_STREQ(encoder->getDescription(), L"encodes test.encoder.csv");
    EXPECT_EQ(encoder->getContentType(), zul::CT_GEOMETRY);
    EXPECT_EQ(encoder->getMerit(), 1.0f);
    std::unique_ptr<zul::DecoderInfo> decoder(manager->createDecoderInfo(L"test.decoder.geo.low"));
    EXPECT_STREQ(decoder->getID(), L"test.decoder.geo.low");
    EXPECT_EQ(decoder->getMerit(), 0.5f);
}

TEST_F(RegistryTest, EncoderWithSupportedOptionsIsCreated) {
    const zt::Options supported{{L"delimiter", L";"}};
    const auto encoder = manager->createEncoder(L"test.encoder.csv", &supported, nullptr);
    ASSERT_TRUE(encoder);
    EXPECT_EQ(encoder->getContentType(), zul::CT_GEOMETRY);
    EXPECT_TRUE(zt::hasEvent("encoders:create:test.encoder.csv"));
    EXPECT_THAT(log.records(), IsEmpty());
}

TEST_F(RegistryTest, EqualMeritsGoToTheSmallestId) {
    const auto decoder = manager->createMatchingDecoder(zul::CT_GEOMETRY, uri("model.geo"));
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->getContentType(), zul::CT_GEOMETRY);
    EXPECT_THAT(zt::events(), ElementsAre("decoders:create:test.decoder.geo.a"));
}

TEST_F(RegistryTest, LaterRegistrationOfAnIdServesEveryLookup) {
    load(zt::library("dup", "zt_duplicate"));
    probe::clear();
    manager->createDecoder(L"test.decoder.geo.a");
    manager->createMatchingDecoder(zul::CT_GEOMETRY, uri("model.geo"));
    EXPECT_THAT(zt::events(), ElementsAre("duplicate:create:test.decoder.geo.a",
                                          "duplicate:create:test.decoder.geo.a"));
}

TEST_F(RegistryTest, AdaptorIsChosenByMeritAndTheFileSystemAdaptorIsTheFallback) {
    struct Case {
        const char* uri;
        const char* adaptor;
    };
    const Case cases[] = {
        {"mem:block", "test.adaptor.mem.better"},
        {"file:///data/x.sgb", "com.ulno.zul.adaptors.FileSystemAdaptor"},
        {"zip:archive", "com.ulno.zul.adaptors.FileSystemAdaptor"}, // declined: fallback
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        const auto adaptor = manager->createStreamAdaptor(uri(c.uri));
        ASSERT_TRUE(adaptor);
        EXPECT_EQ(readAll(*adaptor, c.uri), c.adaptor);
    }
}

TEST(RegistryWithoutAdaptors, UnacceptedUriWithoutFallbackIsRejected) {
    loader::ExtensionManagerImpl manager;
    manager.loadExtensionLibrary(zt::library("good", "zt_decoders"));
    const auto before = manager.getFactories();
    try {
        manager.createStreamAdaptor(uri("zip:archive"));
        FAIL() << "nothing thrown";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(),
                     "could not find an adaptor which can handle the scheme or uri: 'zip:archive'");
    }
    EXPECT_EQ(manager.getFactories(), before);
}

TEST(RegistryWithBrokenFallback, FallbackThatCreatesNothingIsAnError) {
    loader::ExtensionManagerImpl manager;
    manager.loadExtensionLibrary(zt::library("fallback", "zt_null_fallback"));
    const auto before = manager.getFactories();
    try {
        manager.createStreamAdaptor(uri("zip:archive"));
        FAIL() << "nothing thrown";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Resolving URI 'zip:archive': could not create fallback "
                               "'com.ulno.zul.adaptors.FileSystemAdaptor'");
    }
    EXPECT_EQ(manager.getFactories(), before);
}

} // namespace
