// The registry over factories of real extension libraries: info records,
// creation by id, selection by merit, the adaptor fallback, and the order of
// ids: by UTF-16 code units, whatever the width of wchar_t.
#include "TestSupport.h"

#include "loader/FactoryMap.h"

#include "zulx/Extension.h"
#include "zulx/StatusException.h"
#include "zulx/URI.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace {

using M = loader::ExtensionManagerImpl;
/// A registry operation; true when it handed out something.
using Call = std::function<bool(M&)>;

std::shared_ptr<zulx::URI> uri(const char* text) {
    return zulx::URI::create(std::string(text));
}

/// Encoder options: only their keys matter to the registry.
class Options : public zul::AttributeMap {
public:
    explicit Options(std::vector<std::wstring> keys) : mKeys(std::move(keys)) {}
    const char* toXML(char*, size_t*, zul::Status*) const override { return nullptr; } // unused
    std::vector<std::wstring> getKeys() const override { return mKeys; }
    std::wstring getString(const std::wstring&) const override { return L";"; }

private:
    std::vector<std::wstring> mKeys;
};

/// What `call` did: "made", followed by the journal's last event if the
/// call added one, or how it failed: "status <n>", "invalid_argument: <what>"
/// or "runtime_error: <what>".
std::string outcome(const Call& call, M& manager) {
    const size_t events = probe::events().size();
    try {
        if (!call(manager))
            return "nothing made";
        return probe::events().size() > events ? "made: " + probe::events().back() : "made";
    } catch (const zulx::StatusException& e) {
        return "status " + std::to_string(e.getStatus());
    } catch (const std::invalid_argument& e) {
        return std::string("invalid_argument: ") + e.what();
    } catch (const std::runtime_error& e) {
        return std::string("runtime_error: ") + e.what();
    }
}

Call encoderInfo(const wchar_t* id) {
    return [id](M& m) {
        return std::unique_ptr<zul::EncoderInfo>(m.createEncoderInfo(id)) != nullptr;
    };
}
Call decoderInfo(const wchar_t* id) {
    return [id](M& m) {
        return std::unique_ptr<zul::DecoderInfo>(m.createDecoderInfo(id)) != nullptr;
    };
}
Call encoder(const wchar_t* id, const zul::AttributeMap* options = nullptr) {
    return [id, options](M& m) { return m.createEncoder(id, options, nullptr) != nullptr; };
}
Call decoder(const wchar_t* id) {
    return [id](M& m) { return m.createDecoder(id) != nullptr; };
}
Call matching(zul::ContentType type, const char* text) {
    return [type, text](M& m) { return m.createMatchingDecoder(type, uri(text)) != nullptr; };
}
Call adaptor(const char* text) {
    return [text](M& m) { return m.createStreamAdaptor(uri(text)) != nullptr; };
}

class RegistryTest : public zt::ManagerTest {
protected:
    RegistryTest() {
        load(zt::library("good", "zt_decoders"));
        load(zt::library("good/one", "zt_encoders"));
        load(zt::library("good/one/two", "zt_adaptors"));
        loader::ExtensionManagerImplPeer::putNullFactory(*manager, L"test.null");
        manager->addPluginPaths(nullptr, 0); // lists the entry without a factory too
        log.clear();
        probe::events().clear();
    }
};

TEST_F(RegistryTest, EveryCallFollowsTheRulesLogsItsFailureAndChangesNothing) {
    const Options unsupported({L"delimiter"});
    struct Case {
        const char* name;
        Call call;
        std::string outcome;
        const char* logged = ""; ///< the one error record, or "" for none
    };
    const Case cases[] = {
        {"encoder info, null factory", encoderInfo(L"test.null"), "status 18"},
        {"encoder info, not an encoder", encoderInfo(L"test.decoder.geo.a"), "status 18"},
        {"decoder info, null factory", decoderInfo(L"test.null"), "status 17"},
        {"decoder info, not a decoder", decoderInfo(L"test.encoder.csv"), "status 17"},
        {"encoder", encoder(L"test.encoder.csv"), "made: encoders:create:test.encoder.csv"},
        {"encoder, unknown id", encoder(L"no.such.id"), "status 18",
         "Unknown encoder id 'no.such.id'."},
        {"encoder, null factory", encoder(L"test.null"), "status 18"},
        {"encoder, not an encoder", encoder(L"test.decoder.geo.a"), "status 18",
         "Unknown encoder id 'test.decoder.geo.a'."},
        {"encoder, option keys rejected", encoder(L"test.encoder.csv", &unsupported),
         "invalid_argument: The specified default options for 'test.encoder.csv' do not match "
         "the supported option key set."},
        {"encoder, creates another kind", encoder(L"test.encoder.otherkind"), "status 18",
         "Creating encoder 'test.encoder.otherkind' failed!"},
        {"decoder", decoder(L"test.decoder.geo.b"), "made: decoders:create:test.decoder.geo.b"},
        {"decoder, unknown id", decoder(L"no.such.id"), "status 18",
         "Unknown decoder id 'no.such.id'."},
        {"decoder, null factory", decoder(L"test.null"), "status 17",
         "Unknown decoder id 'test.null'."},
        {"decoder, not a decoder", decoder(L"test.encoder.csv"), "status 17",
         "Unknown decoder id 'test.encoder.csv'."},
        {"matching, equal merits go to the smallest id", matching(zul::CT_GEOMETRY, "model.geo"),
         "made: decoders:create:test.decoder.geo.a"},
        {"matching, URI declined", matching(zul::CT_GEOMETRY, "file:///m/x.obj"),
         "invalid_argument: could not find a decoder which matches content type 'Geometry' and "
         "can handle the uri 'file:///m/x.obj'"},
        {"matching, best creates nothing", matching(zul::CT_SHAPE, "x.shp"), "status 17",
         "Creating decoder 'test.decoder.nothing' failed!"},
        {"adaptor, best merit", adaptor("mem:block"),
         "made: adaptors:create:test.adaptor.mem.better"},
        {"adaptor, fallback creates nothing", adaptor("zip:archive"),
         "runtime_error: Resolving URI 'zip:archive': could not create fallback "
         "'com.ulno.zul.adaptors.FileSystemAdaptor'"},
        {"adaptor, chosen one creates nothing", adaptor("void:x"),
         "runtime_error: Resolving URI 'void:x': could not create adaptor 'test.adaptor.nothing'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        const auto before = manager->getFactories();
        EXPECT_EQ(outcome(c.call, *manager), c.outcome);
        EXPECT_EQ(log.records(),
                  (*c.logged ? std::vector<zt::Record>{{4, c.logged}} : std::vector<zt::Record>{}));
        EXPECT_EQ(manager->getFactories(), before);
    }
    EXPECT_EQ(zt::countEvents("encoders:create:test.encoder.csv"), 1); // not for rejected options
}

TEST(RegistryAdaptors, UriThatNoAdaptorAcceptsNeedsAFallback) {
    M manager;
    EXPECT_EQ(outcome(adaptor("zip:archive"), manager),
              "invalid_argument: could not find an adaptor which can handle the scheme or uri: "
              "'zip:archive'");
}

/// Where wchar_t is 16 bits, a character outside the Basic Multilingual Plane
/// is written as its surrogate pair already.
std::wstring character(uint32_t codePoint) {
    if (sizeof(wchar_t) == 2 && codePoint > 0xFFFF) {
        const uint32_t v = codePoint - 0x10000;
        return {static_cast<wchar_t>(0xD800 + (v >> 10)),
                static_cast<wchar_t>(0xDC00 + (v & 0x3FF))};
    }
    return std::wstring(1, static_cast<wchar_t>(codePoint));
}

std::wstring units(uint32_t first, uint32_t second) {
    return character(first) + character(second);
}

TEST(IdLess, OrdersByUtf16CodeUnits) {
    const std::wstring supplementary = character(0x1F600); // D83D DE00 in UTF-16
    struct Case {
        const char* name;
        std::wstring smaller;
        std::wstring larger;
    };
    const Case cases[] = {
        {"after a common prefix", L"id" + supplementary, L"id" + character(0xFF01)},
        // A lone surrogate compares by its own value with the surrogates of a
        // paired character, and by what follows after that.
        {"lone surrogate, then a larger unit", character(0x10000), units(0xD800, 0xE000)},
        // Nothing follows the low surrogate of a paired character.
        {"paired character before its lone units and more", supplementary,
         units(0xD83D, 0xDE00) + L"\x01"},
    };
    const loader::IdLess less;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(less(c.smaller, c.larger));
        EXPECT_FALSE(less(c.larger, c.smaller));
        EXPECT_FALSE(less(c.smaller, c.smaller));
    }
    // Where wchar_t holds UTF-32, a lone pair of surrogates has the same code
    // units as the character they encode, yet is another id, in a fixed order.
    const std::wstring loneUnits = units(0xD800, 0xDC00);
    if (sizeof(wchar_t) == 4) {
        EXPECT_NE(less(character(0x10000), loneUnits), less(loneUnits, character(0x10000)));
    }
}

} // namespace
