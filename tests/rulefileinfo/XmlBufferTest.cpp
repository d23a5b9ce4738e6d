#include "rulefileinfo/XmlBuffer.h"
#include "RecordBuilder.h"
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
#include <thread>
#include <vector>

namespace {

using namespace rfitest;
using rulefileinfo::toXMLString;
using Records = std::vector<testsupport::LogCapture::Record>;

constexpr zul::Status kUnset = static_cast<zul::Status>(-7);

TEST(XmlBufferProtocol, SizeQueryWithNullBuffer) {
    const auto info = sampleRecord();
    size_t size = 0;
    zul::Status status = kUnset;
    EXPECT_EQ(info->toXML(nullptr, &size, &status), nullptr);
    EXPECT_EQ(size, kSampleXml.size() + 1);
    EXPECT_EQ(status, zul::STATUS_BUFFER_TO_SMALL);
}

// Two guard bytes after the stated capacity show a write past it.
TEST(XmlBufferProtocol, CapacityDecidesStatusAndText) {
    const auto info = sampleRecord();
    const size_t need = kSampleXml.size() + 1;
    struct Case {
        const char* what;
        size_t capacity;
        zul::Status status;
        std::string written;
    };
    const Case cases[] = {
        {"exact", need, zul::STATUS_OK, kSampleXml + '\0'},
        {"one byte short", need - 1, zul::STATUS_BUFFER_TO_SMALL,
         kSampleXml.substr(0, need - 2) + '\0'},
        {"larger is zero-filled", need + 5, zul::STATUS_OK, kSampleXml + std::string(6, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string buffer(c.capacity + 2, 'x');
        size_t size = c.capacity;
        zul::Status status = kUnset;
        const char* result = info->toXML(&buffer[0], &size, &status);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(size, need);
        if (c.status == zul::STATUS_OK) {
            EXPECT_EQ(result, buffer.data());
        }
        EXPECT_EQ(buffer.substr(0, c.capacity), c.written);
        EXPECT_EQ(buffer.substr(c.capacity), "xx") << "wrote past the stated capacity";
    }
}

TEST(XmlBufferProtocol, NullStatusPointerIsAllowed) {
    const AnnotationImpl a = annotation(L"@A");
    size_t size = 0;
    a.toXML(nullptr, &size);
    ASSERT_GT(size, 1u);
    std::string buffer(size, 'x');
    size_t small = 3;
    a.toXML(&buffer[0], &small, nullptr);
    EXPECT_EQ(buffer.substr(0, 3), std::string("<a") + '\0');
    EXPECT_EQ(small, size);
}

TEST(XmlBufferProtocol, ConcurrentRenderingOfOneRecord) {
    const auto info = sampleRecord();
    std::vector<std::string> results(4);
    std::vector<std::thread> threads;
    for (auto& r : results)
        threads.emplace_back([&info, &r] {
            for (int i = 0; i < 50; ++i)
                r = toXMLString(*info);
        });
    for (auto& t : threads)
        t.join();
    for (const auto& r : results)
        EXPECT_EQ(r, kSampleXml);
}

// Test doubles whose accessors throw whatever the case asks for, so that the
// exception travels through the real toXML and its handler.
using Thrower = std::function<void()>;

struct ThrowingArgument : AnnotationArgumentImpl {
    Thrower thrower;
    const wchar_t* getKey() const override {
        thrower();
        return AnnotationArgumentImpl::getKey();
    }
};

struct ThrowingAnnotation : AnnotationImpl {
    Thrower thrower;
    size_t getNumArguments() const override {
        thrower();
        return AnnotationImpl::getNumArguments();
    }
};

struct ThrowingRecord : RuleFileInfoImpl {
    Thrower thrower;
    size_t getNumRules() const override {
        thrower();
        return RuleFileInfoImpl::getNumRules();
    }
};

struct Target {
    const char* operation;
    std::function<const zul::Object&(const Thrower&)> make;
};

struct ExceptionCase {
    const char* what;
    Thrower thrower;
    zul::Status status;
    std::function<Records(const std::string& operation)> logged;
};

Records error(std::initializer_list<std::string> texts) {
    Records r;
    for (const auto& t : texts)
        r.emplace_back(zul::LOG_ERROR, t);
    return r;
}

std::vector<ExceptionCase> exceptionCases() {
    const zulx::StatusException statusError(zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX);
    const std::string statusWhat = statusError.what();
    return {
        {"runtime error with stack", [] { throw util::RuntimeErrorST("Unknown tag 99"); },
         zul::STATUS_UNSPECIFIED_ERROR,
         [](const std::string& op) {
             return error({op + " failed, exception caught: 'Unknown tag 99'",
                           "Stacktrace: <Stacktrace not available>"});
         }},
        {"status exception",
         [] { throw zulx::StatusException(zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX); },
         zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX,
         [statusWhat](const std::string& op) {
             return error(
                 {op + " failed, exception caught: '" + statusWhat + "'",
                  "Status code = 31 = " + std::string(zul::getStatusDescription(
                                              zul::STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX))});
         }},
        {"out of memory", [] { throw std::bad_alloc(); }, zul::STATUS_UNSPECIFIED_ERROR,
         [](const std::string&) { return Records(); }},
        {"other std::exception", [] { throw std::out_of_range("index 7 of 3"); },
         zul::STATUS_UNSPECIFIED_ERROR,
         [](const std::string& op) {
             return error({op + " failed, exception caught: 'index 7 of 3'"});
         }},
        {"not a std::exception", [] { throw 42; }, zul::STATUS_UNSPECIFIED_ERROR,
         [](const std::string& op) { return error({op + " failed, unknown exception caught."}); }},
    };
}

TEST(XmlExceptionHandling, EveryCaseInEveryObject) {
    ThrowingArgument argument;
    ThrowingAnnotation annotation;
    ThrowingRecord record;
    const std::vector<Target> targets = {
        {"AnnotationArgumentImpl::toXML",
         [&](const Thrower& t) -> const zul::Object& {
             argument.thrower = t;
             return argument;
         }},
        {"AnnotationImpl::toXML",
         [&](const Thrower& t) -> const zul::Object& {
             annotation.thrower = t;
             return annotation;
         }},
        {"RuleFileInfoImpl::toXML",
         [&](const Thrower& t) -> const zul::Object& {
             record.thrower = t;
             return record;
         }},
    };
    for (const auto& target : targets) {
        for (const auto& c : exceptionCases()) {
            SCOPED_TRACE(std::string(target.operation) + ": " + c.what);
            testsupport::LogCapture log;
            const zul::Object& object = target.make(c.thrower);
            char buffer[8] = "abcdefg";
            size_t size = sizeof buffer;
            zul::Status status = kUnset;
            EXPECT_EQ(object.toXML(buffer, &size, &status), buffer);
            EXPECT_EQ(status, c.status);
            EXPECT_EQ(size, sizeof buffer);
            EXPECT_STREQ(buffer, "abcdefg");
            EXPECT_EQ(log.records(), c.logged(target.operation));

            // Without a status pointer the failure is still only logged.
            size = 0;
            EXPECT_EQ(object.toXML(nullptr, &size, nullptr), nullptr);
            EXPECT_EQ(size, 0u);
        }
    }
}

TEST(XmlExceptionHandling, PercentSignsInMessagesAreHarmless) {
    testsupport::LogCapture log;
    ThrowingArgument argument;
    argument.thrower = [] { throw std::runtime_error("100% sure %d %s %1%"); };
    size_t size = 0;
    zul::Status status = kUnset;
    argument.toXML(nullptr, &size, &status);
    EXPECT_EQ(status, zul::STATUS_UNSPECIFIED_ERROR);
    const Records records = log.records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].first, zul::LOG_ERROR);
    EXPECT_EQ(records[0].second.rfind("AnnotationArgumentImpl::toXML failed", 0), 0u);
}

TEST(XmlExceptionHandling, OutsideACatchBlockReportsFailure) {
    zul::Status status = kUnset;
    rulefileinfo::handleToXMLException("X::toXML", &status);
    EXPECT_EQ(status, zul::STATUS_UNSPECIFIED_ERROR);
}

// The text is measured before it is written; an accessor that answers
// differently the second time must still give a complete, well-formed text.
struct GrowingAnnotation : AnnotationImpl {
    mutable int calls = 0;
    const wchar_t* getName() const override {
        static const std::wstring longName(50000, L'n');
        return calls++ == 0 ? L"" : longName.c_str();
    }
};

TEST(XmlBufferProtocol, TextLongerThanMeasuredStillComplete) {
    const GrowingAnnotation annotation;
    EXPECT_EQ(toXMLString(annotation), "<annotation name=\"" + std::string(50000, 'n') +
                                           "\"><arguments></arguments></annotation>");
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
        const std::string& text = texts[std::min(calls++, texts.size() - 1)];
        util::copyToBuffer(text, buffer, size, stat);
        return buffer;
    }
};

TEST(XmlString, RetriesWhenTheTextGrowsBetweenCalls) {
    ScriptedObject object;
    object.texts = {"ab", "abcdef"};
    EXPECT_EQ(toXMLString(object), "abcdef");
    EXPECT_EQ(object.calls, 4u) << "query, short copy, query, copy";
}

TEST(XmlString, EmbeddedTerminatorEndsTheText) {
    ScriptedObject object;
    object.texts = {std::string("ab\0cd", 5)};
    EXPECT_EQ(toXMLString(object), "ab");
}

TEST(XmlString, FailureStatusBecomesException) {
    ScriptedObject object;
    object.failure = zul::STATUS_OUT_OF_MEM;
    try {
        toXMLString(object);
        FAIL() << "no exception";
    } catch (const zulx::StatusException& e) {
        EXPECT_EQ(e.getStatus(), zul::STATUS_OUT_OF_MEM);
    }
}

TEST(XmlString, GivesUpOnATextThatAlwaysGrows) {
    ScriptedObject object;
    for (int i = 1; i < 20; ++i)
        object.texts.push_back(std::string(static_cast<size_t>(i), 'a'));
    EXPECT_THROW(toXMLString(object), zulx::StatusException);
}

} // namespace
