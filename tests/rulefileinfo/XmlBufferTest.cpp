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

// Test doubles whose accessors throw what the case asks for, so that the
// exception travels through the real toXML and its handler.
using Thrower = std::function<void()>;

struct ThrowingArgument : rulefileinfo::AnnotationArgumentImpl {
    Thrower thrower;
    const wchar_t* getKey() const override { return thrower(), key.c_str(); }
};
struct ThrowingAnnotation : AnnotationImpl {
    Thrower thrower;
    size_t getNumArguments() const override { return thrower(), numArguments; }
};
struct ThrowingRecord : rulefileinfo::RuleFileInfoImpl {
    Thrower thrower;
    size_t getNumRules() const override { return thrower(), numRules; }
};

TEST(XmlExceptionHandling, EveryKindOfExceptionInEveryObject) {
    const std::string statusWhat =
        zulx::StatusException(zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX).what();
    const struct {
        Thrower thrower;
        zul::Status status;
        std::vector<std::string> logged; // at level 4; "@" stands for the operation
    } cases[] = {
        {[] { throw util::RuntimeErrorST("Unknown tag 99"); },
         zul::STATUS_UNSPECIFIED_ERROR,
         {"@ failed, exception caught: 'Unknown tag 99'",
          "Stacktrace: <Stacktrace not available>"}},
        {[] { throw zulx::StatusException(zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX); },
         zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX,
         {"@ failed, exception caught: '" + statusWhat + "'",
          "Status code = 31 = " + std::string(zul::getStatusDescription(31))}},
        {[] { throw std::bad_alloc(); }, zul::STATUS_UNSPECIFIED_ERROR, {}},
        {[] { throw std::out_of_range("index 7 of 3"); },
         zul::STATUS_UNSPECIFIED_ERROR,
         {"@ failed, exception caught: 'index 7 of 3'"}},
        {[] { throw 42; }, zul::STATUS_UNSPECIFIED_ERROR, {"@ failed, unknown exception caught."}},
    };
    ThrowingArgument argument;
    ThrowingAnnotation annotation;
    ThrowingRecord record;
    const std::pair<std::string, const zul::Object*> targets[] = {
        {"AnnotationArgumentImpl::toXML", &argument},
        {"AnnotationImpl::toXML", &annotation},
        {"RuleFileInfoImpl::toXML", &record},
    };
    for (const auto& c : cases) {
        argument.thrower = annotation.thrower = record.thrower = c.thrower;
        for (const auto& [operation, object] : targets) {
            SCOPED_TRACE(operation + ": " + std::to_string(c.logged.size()) + " lines");
            std::vector<testsupport::LogCapture::Record> expected;
            for (const std::string& line : c.logged)
                expected.emplace_back(4, line[0] == '@' ? operation + line.substr(1) : line);
            testsupport::LogCapture log;
            char buffer[8] = "abcdefg";
            size_t size = sizeof buffer;
            zul::Status status = kUnset;
            EXPECT_EQ(object->toXML(buffer, &size, &status), buffer);
            EXPECT_EQ(status, c.status);
            EXPECT_EQ(size, sizeof buffer);
            EXPECT_STREQ(buffer, "abcdefg");
            EXPECT_EQ(log.records(), expected);
            // Without a status pointer the failure is only logged.
            size = 0;
            EXPECT_EQ(object->toXML(nullptr, &size, nullptr), nullptr);
        }
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
