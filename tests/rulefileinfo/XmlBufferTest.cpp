#include "rulefileinfo/XmlBuffer.h"
#include "rulefileinfo/RuleFileInfoImpl.h"
#include "rulefileinfo/XmlString.h"
#include "testsupport/LogCapture.h"
#include "util/RuntimeErrorST.h"
#include "zulx/StatusException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using rulefileinfo::AnnotationImpl;
using rulefileinfo::toXMLString;

constexpr zul::Status kUnset = static_cast<zul::Status>(-7);

TEST(XmlBufferProtocol, CapacityDecidesStatusAndText) {
    AnnotationImpl a;
    a.name = L"@A";
    const std::string xml = "<annotation name=\"@A\"><arguments></arguments></annotation>";
    const size_t need = xml.size() + 1;
    const struct {
        size_t capacity;
        zul::Status status;
        std::string written;
    } cases[] = {
        {need, zul::STATUS_OK, xml + '\0'},
        {need - 1, zul::STATUS_BUFFER_TO_SMALL, xml.substr(0, need - 2) + '\0'},
        {0, zul::STATUS_BUFFER_TO_SMALL, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capacity);
        // Two guard bytes after the stated capacity show a write past it.
        std::string buffer(c.capacity + 2, 'x');
        size_t size = c.capacity;
        zul::Status status = kUnset;
        EXPECT_EQ(a.toXML(&buffer[0], &size, &status), buffer.data());
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(size, need);
        EXPECT_EQ(buffer, c.written + "xx");
    }
    std::string buffer(3, 'x'); // without a status pointer
    size_t size = 3;
    a.toXML(&buffer[0], &size);
    EXPECT_EQ(buffer, std::string("<a") + '\0');
    EXPECT_EQ(size, need);
}

// A record whose accessor throws what the case asks for, so that the
// exception travels through the real toXML and its handler.
using Thrower = std::function<void()>;

struct ThrowingRecord : rulefileinfo::RuleFileInfoImpl {
    Thrower thrower;
    size_t getNumRules() const override { return thrower(), numRules; }
};

TEST(XmlExceptionHandling, EveryKindOfException) {
    // How many lines are logged at level 4, the first one after "failed, ".
    const struct {
        Thrower thrower;
        zul::Status status;
        size_t lines;
        std::string first;
    } cases[] = {
        {[] { throw util::RuntimeErrorST("tag"); }, zul::STATUS_UNSPECIFIED_ERROR, 2,
         "exception caught: 'tag'"},
        {[] { throw zulx::StatusException(zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX); },
         zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX, 2,
         "exception caught: '" + std::string(zul::getStatusDescription(31)) + "'"},
        {[] { throw std::bad_alloc(); }, zul::STATUS_UNSPECIFIED_ERROR, 0, ""},
        {[] { throw std::out_of_range("7"); }, zul::STATUS_UNSPECIFIED_ERROR, 1,
         "exception caught: '7'"},
        {[] { throw 42; }, zul::STATUS_UNSPECIFIED_ERROR, 1, "unknown exception caught."},
    };
    ThrowingRecord record;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        record.thrower = c.thrower;
        testsupport::LogCapture log;
        char buffer[8] = "abcdefg";
        size_t size = sizeof buffer;
        zul::Status status = kUnset;
        EXPECT_EQ(record.toXML(buffer, &size, &status), buffer);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(size, sizeof buffer);
        EXPECT_STREQ(buffer, "abcdefg");
        const auto records = log.records();
        ASSERT_EQ(records.size(), c.lines);
        if (c.lines) {
            EXPECT_EQ(records[0], testsupport::LogCapture::Record(
                                      4, "RuleFileInfoImpl::toXML failed, " + c.first));
        }
        // Without a status pointer the failure is only logged.
        size = 0;
        EXPECT_EQ(record.toXML(nullptr, &size, nullptr), nullptr);
    }
    zul::Status status = kUnset;
    rulefileinfo::handleToXMLException("X::toXML", &status); // outside a catch block
    EXPECT_EQ(status, zul::STATUS_UNSPECIFIED_ERROR);
}

// An object whose text may change from call to call, or that fails outright,
// as the string helper may meet among the host's objects.
class ScriptedObject : public zul::Object {
public:
    std::vector<std::string> texts; ///< the text of each call, the last one repeated
    zul::Status failure = zul::STATUS_OK;
    mutable size_t calls = 0;
    const char* toXML(char* buffer, size_t* size, zul::Status* stat) const override {
        if (failure != zul::STATUS_OK) {
            *stat = failure;
            return buffer;
        }
        util::copyToBuffer(texts[std::min(calls++, texts.size() - 1)], buffer, size, stat);
        return buffer;
    }
};

TEST(XmlString, RetriesAWhileWhenTheTextGrowsAndTurnsFailuresIntoExceptions) {
    ScriptedObject grows;
    grows.texts = {"ab", "abcdef"};
    EXPECT_EQ(toXMLString(grows), "abcdef");
    EXPECT_EQ(grows.calls, 4u) << "query, short copy, query, copy";
    ScriptedObject failing;
    failing.failure = zul::STATUS_OUT_OF_MEM;
    try {
        toXMLString(failing);
        ADD_FAILURE() << "no exception";
    } catch (const zulx::StatusException& e) {
        EXPECT_EQ(e.getStatus(), zul::STATUS_OUT_OF_MEM);
    }
    ScriptedObject alwaysGrows;
    for (size_t i = 1; i < 20; ++i)
        alwaysGrows.texts.push_back(std::string(i, 'a'));
    EXPECT_THROW(toXMLString(alwaysGrows), zulx::StatusException);
}

} // namespace
