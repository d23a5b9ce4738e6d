// Damaged input: every truncation and thousands of single-byte changes of
// valid class files either read or throw a std::exception, and never crash,
// hang or trip the sanitizers.
#include "DribbleBuf.h"
#include "ReadHelpers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

using namespace classfile;
using testsupport::AnnotationSpec;
using testsupport::ClassWriter;
using EV = testsupport::ElementValueSpec;

namespace {

std::string fileBytes(const std::string& name) {
    std::ifstream in(std::string(ZUL_CLASSFILE_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// A class with entries of every tag and every attribute layout.
std::string richClass() {
    ClassWriter w = cftest::minimalWriter();
    w.unicode("uni");
    w.floating(2.5f);
    w.doubleValue(-1.25);
    const uint16_t big = w.longValue(1LL << 40);
    const uint16_t num = w.integer(7);
    const uint16_t str = w.string("text");
    const uint16_t mref = w.methodRef("T", "run", "(I)V");
    w.fieldRef("T", "f", "J");
    w.interfaceMethodRef("p/I", "go", "()V");
    const uint16_t iface = w.classNamed("p/I");
    w.interfaces = {iface};
    const AnnotationSpec inner = w.annotation("LIn;", {{"v", EV::constant('J', big)}});
    const uint16_t x = w.utf8("x");
    const uint16_t one = w.utf8("ONE");
    const AnnotationSpec ann =
        w.annotation("LA;", {{"s", EV::constant('s', x)},
                             {"e", EV::enumValue(w.utf8("LE;"), one)},
                             {"c", EV::classValue(w.utf8("LT;"))},
                             {"a", EV::array({EV::constant('I', num), EV::nested(inner)})},
                             {"q", EV::bare('q')}});
    w.addField(0x19, "K", "I", {w.constantValue(num), w.synthetic(), w.deprecated()});
    w.addField(0x02, "f", "J", {w.annotations({ann}), w.annotations({inner}, false)});
    const auto code = w.code(
        2, 3, {0x2A, 0x12, static_cast<uint8_t>(str), 0xB6, 0, static_cast<uint8_t>(mref), 0xB1},
        {{0, 5, 6, iface}},
        {w.lineNumberTable({{0, 1}, {4, 2}}),
         w.localVariableTable({w.local(0, 7, "this", "LT;", 0), w.local(1, 6, "n", "I", 1)}),
         w.stackMap({{4, {{7, 2}, {1, 0}, {8, 1}}, {{5, 0}}}}),
         w.attribute("StackMapTable", {1, 2, 3})});
    w.addMethod(0x01, "run", "(I)V",
                {code, w.exceptions({iface}), w.parameterAnnotations({{ann}, {}}),
                 w.parameterAnnotations({{inner}}, false), w.deprecated()});
    w.addAttribute(w.sourceFile("T.java"));
    w.addAttribute(w.innerClasses({{iface, 2, 1, 0x0009}}));
    w.addAttribute(w.annotations({ann}));
    return w.str();
}

/// Reads `bytes` and asks every pool entry for its text, as a consumer would.
/// Returns the message of the std::exception that stopped it ("" if none).
std::string readAndUse(const std::string& bytes, bool pipe) {
    try {
        std::istringstream seekable(bytes);
        cftest::DribbleBuf dribble(bytes);
        std::istream piped(&dribble);
        const ClassInfo c(pipe ? piped : static_cast<std::istream&>(seekable));
        std::string all;
        for (size_t i = 0; i < c.pool().size(); ++i) {
            if (const ConstantPoolEntry* e = c.pool().find(i)) {
                try {
                    all += e->toString();
                } catch (const std::exception&) {
                }
            }
        }
        return "";
    } catch (const std::exception& e) {
        return e.what();
    }
}

struct Sample {
    const char* name;
    std::string bytes;
};

std::vector<Sample> samples() {
    return {{"Shapes", fileBytes("sample/Shapes.class")},
            {"Counter", fileBytes("cldc/Counter.class")},
            {"rich", richClass()}};
}

TEST(Robustness, SamplesReadWhole) {
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.name);
        ASSERT_FALSE(s.bytes.empty());
        testing::internal::CaptureStderr();
        EXPECT_EQ(readAndUse(s.bytes, false), "");
        EXPECT_EQ(readAndUse(s.bytes, true), "");
        testing::internal::GetCapturedStderr();
    }
}

TEST(Robustness, EveryTruncationFailsAtTheEndOfInput) {
    // Where a pool tag is due, the end of input reads as the unknown tag 255.
    testing::internal::CaptureStderr();
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.name);
        for (size_t length = 0; length < s.bytes.size(); ++length) {
            const std::string what = readAndUse(s.bytes.substr(0, length), length % 7 == 0);
            EXPECT_TRUE(what.rfind("unexpected end of input at offset ", 0) == 0 ||
                        what == "Unknown tag")
                << "length " << length << ": " << what;
        }
    }
    testing::internal::GetCapturedStderr();
}

TEST(Robustness, SingleByteMutationsReadOrThrow) {
    std::mt19937 random(20261205);
    int failures = 0, reads = 0;
    testing::internal::CaptureStderr();
    for (const Sample& s : samples()) {
        std::uniform_int_distribution<size_t> position(0, s.bytes.size() - 1);
        std::uniform_int_distribution<int> value(0, 255);
        for (int round = 0; round < 1500; ++round) {
            std::string mutated = s.bytes;
            const size_t at = position(random);
            // Half the changes flip to a random byte, half to an extreme one.
            const int v = round % 2 ? value(random) : (round % 4 ? 0xFF : 0x00);
            mutated[at] = static_cast<char>(v);
            if (readAndUse(mutated, round % 5 == 0).empty())
                ++reads;
            else
                ++failures;
        }
    }
    testing::internal::GetCapturedStderr();
    EXPECT_GT(failures, 0);
    EXPECT_GT(reads, 0);
}

} // namespace
