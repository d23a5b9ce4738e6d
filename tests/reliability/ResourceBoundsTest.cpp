// Memory that reading and decoding may take is bounded by the input's size.
// Two kinds of hostile input: counts and lengths that claim gigabytes in a
// file of a few dozen bytes (they must fail at the end of the input, having
// allocated little), and files whose many small references all name one
// large text or code (each reference may not copy it anew without limit).
#include "AllocationCounter.h"
#include "Inputs.h"

#include "fuzz/Targets.h"
#include "sgb/SGBDecoder.h"
#include "testsupport/ClassWriter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace reliability {
namespace {

using testsupport::Bytes;
using testsupport::ClassWriter;

constexpr uint32_t kClaimU2 = 0xFFFF;
constexpr uint32_t kClaimU4 = 0x7FFFFFFF;

// Pool slots of the names that the layouts below need (1 and 2: class T).
enum Name : uint16_t {
    kCode = 3,
    kLvt,
    kLnt,
    kInner,
    kExceptions,
    kStackMap,
    kRva,
    kRvpa,
    kBlob,
    kRun,
    kDesc
};

/// Header, the pool of names, access flags, this_class and super_class;
/// what follows is up to each case.
Bytes head() {
    ClassWriter w;
    w.thisClass = w.classNamed("T");
    for (const char* name :
         {"Code", "LocalVariableTable", "LineNumberTable", "InnerClasses", "Exceptions", "StackMap",
          "RuntimeVisibleAnnotations", "RuntimeVisibleParameterAnnotations", "Blob", "run", "()V"})
        w.utf8(name);
    Bytes all = w.build();
    all.data.resize(all.data.size() - 8); // without the four trailing counts
    return all;
}

/// No interfaces and fields, one method whose only attribute is `body`.
Bytes methodWith(uint16_t attributeName, const Bytes& body) {
    Bytes b = head().u2(0).u2(0).u2(1).u2(0x0009).u2(kRun).u2(kDesc).u2(1);
    return b.u2(attributeName).u4(static_cast<uint32_t>(body.size())).raw(body);
}

/// A Code attribute with one instruction, no exception table and `tail`
/// as its nested attribute list.
Bytes codeWith(const Bytes& tail) {
    return methodWith(kCode, Bytes().u2(1).u2(1).u4(1).u1(0xB1).u2(0).raw(tail));
}

/// No members, and class attributes starting with `tail`.
Bytes classAttributes(const Bytes& tail) {
    return head().u2(0).u2(0).u2(0).raw(tail);
}

/// A RuntimeVisibleAnnotations attribute of the class with `body`.
Bytes annotated(const Bytes& body) {
    return classAttributes(Bytes().u2(1).u2(kRva).u4(kClaimU4).raw(body));
}

TEST(ResourceBoundsTest, ClaimsBeyondTheInputFailWithLittleMemory) {
    const Bytes magic = Bytes().u4(0xCAFEBABE).u2(0).u2(50);
    Bytes deepArrays = Bytes().u2(1).u2(kDesc).u2(1).u2(kRun);
    for (int i = 0; i < 20000; ++i)
        deepArrays.u1('[').u2(1);
    Bytes deepCode;
    for (int i = 0; i < 64; ++i)
        deepCode.u2(1).u2(kCode).u4(kClaimU4).u2(1).u2(1).u4(1).u1(0xB1).u2(0);
    const std::pair<const char*, Bytes> claims[] = {
        {"pool count", Bytes(magic).u2(kClaimU2).u1(1).u2(1).raw("A")},
        {"Utf8 length", Bytes(magic).u2(2).u1(1).u2(kClaimU2).raw("abc")},
        {"tag-2 length", Bytes(magic).u2(2).u1(2).u4(kClaimU4).raw("abc")},
        {"negative tag-2 length", Bytes(magic).u2(2).u1(2).u4(0xFFFFFFFF).raw("abc")},
        {"interfaces count", head().u2(kClaimU2).u2(2)},
        {"fields count", head().u2(0).u2(kClaimU2).u2(9).u2(kRun)},
        {"methods count", head().u2(0).u2(0).u2(kClaimU2).u2(9).u2(kRun)},
        {"class attributes count", classAttributes(Bytes().u2(kClaimU2).u2(kBlob))},
        {"unknown attribute length",
         classAttributes(Bytes().u2(1).u2(kBlob).u4(0xFFFFFFFF).raw("abc"))},
        {"code length", methodWith(kCode, Bytes().u2(1).u2(1).u4(kClaimU4).raw("abc"))},
        {"negative code length", methodWith(kCode, Bytes().u2(1).u2(1).u4(0x80000000).raw("abc"))},
        {"exception table length",
         methodWith(kCode, Bytes().u2(1).u2(1).u4(1).u1(0xB1).u2(kClaimU2).u4(0))},
        {"nested attributes count", codeWith(Bytes().u2(kClaimU2).u2(kLnt))},
        {"local variable count", codeWith(Bytes().u2(1).u2(kLvt).u4(kClaimU4).u2(kClaimU2).u2(0))},
        {"line number count", codeWith(Bytes().u2(1).u2(kLnt).u4(kClaimU4).u2(kClaimU2).u2(0))},
        {"stack map entries",
         codeWith(Bytes().u2(1).u2(kStackMap).u4(kClaimU4).u2(kClaimU2).u2(0))},
        {"stack map locals",
         codeWith(Bytes().u2(1).u2(kStackMap).u4(kClaimU4).u2(1).u2(0).u2(kClaimU2).u1(0))},
        {"exceptions count", methodWith(kExceptions, Bytes().u2(kClaimU2).u2(1))},
        {"inner classes count",
         classAttributes(Bytes().u2(1).u2(kInner).u4(kClaimU4).u2(kClaimU2).u2(1))},
        {"annotations count", annotated(Bytes().u2(kClaimU2).u2(kDesc))},
        {"element value pairs", annotated(Bytes().u2(1).u2(kDesc).u2(kClaimU2).u2(kRun))},
        {"array values",
         annotated(Bytes().u2(1).u2(kDesc).u2(1).u2(kRun).u1('[').u2(kClaimU2).u1('I'))},
        {"parameter annotations", methodWith(kRvpa, Bytes().u1(255).u2(kClaimU2).u2(kDesc).u2(0))},
        {"arrays nested 20000 deep", annotated(deepArrays)},
        {"Code nested 64 deep", codeWith(deepCode)},
    };
    fuzz::prepareProcess();
    fuzz::runDecode(nullptr, 0); // the tables built on first use are not the cases' cost
    for (const auto& c : claims) {
        // Reading from a seekable stream and from a pipe, then decoding.
        EXPECT_FALSE(runWithinBudget(fuzz::runClassFile, c.second.str(), c.first)) << c.first;
        EXPECT_FALSE(runWithinBudget(fuzz::runDecode, c.second.str(), c.first)) << c.first;
    }
}

/// A rule file class (its own class at slot 2) whose pool ends in `refs`
/// entries of `tag` with `payload`.
std::string manyReferences(ClassWriter w, int refs, uint8_t tag, const Bytes& payload) {
    for (int i = 0; i < refs; ++i)
        w.rawEntry(tag, payload);
    return w.str();
}

TEST(ResourceBoundsTest, FilesThatWouldExpandPastAGibibyteAreRefusedEarly) {
    const std::string longText(32768, 'x');
    std::vector<std::pair<const char*, std::string>> cases;
    ClassWriter w;
    w.thisClass = w.classNamed("T");
    w.superClass = w.classNamed("java/lang/Object");
    ClassWriter text = w;
    const uint16_t textIndex = text.utf8(longText);
    cases.emplace_back("string constants naming one long text",
                       manyReferences(text, 10000, 8, Bytes().u2(textIndex)));
    ClassWriter code = w;
    const uint16_t run = code.nameAndType("run", "()V");
    code.addMethod(0x0009, "run", "()V", {code.code(1, 0, std::vector<uint8_t>(60000, 0))});
    cases.emplace_back("method references to one method with long code",
                       manyReferences(code, 20000, 10, Bytes().u2(2).u2(run)));
    // Each reference copies the method's name and descriptor into the method index.
    ClassWriter key = w;
    const std::string descriptor = "(L" + std::string(65000, 'x') + ";)V";
    const uint16_t keyed = key.nameAndType("m", descriptor);
    key.addMethod(0x0009, "m", descriptor, {});
    cases.emplace_back("method references to one method with a long descriptor",
                       manyReferences(key, 600, 10, Bytes().u2(2).u2(keyed)));
    ClassWriter keyword = w;
    const uint16_t area = keyword.classNamed("com/ulno/gc/AreaSelector");
    const uint16_t front = keyword.nameAndType(longText, "Lcom/ulno/gc/AreaSelector;");
    cases.emplace_back("enum constants with one long keyword",
                       manyReferences(keyword, 6000, 9, Bytes().u2(area).u2(front)));
    ClassWriter unknown = w;
    const uint16_t other = unknown.classNamed("other/Cls");
    const uint16_t call = unknown.nameAndType(longText, "()V");
    cases.emplace_back("unknown methods with one long name",
                       manyReferences(unknown, 6000, 10, Bytes().u2(other).u2(call)));
    fuzz::prepareProcess();
    fuzz::runDecode(nullptr, 0);
    for (const auto& c : cases) {
        const PeakScope scope;
        std::istringstream in(c.second);
        zulx::ContentPtrVector results;
        std::string error = "accepted";
        try {
            sgb::SGBDecoder().decode(results, in, nullptr, L"");
        } catch (const std::runtime_error& e) {
            error = e.what();
        }
        EXPECT_EQ(error.rfind("SGB file expands beyond the translation limit of ", 0), 0u)
            << c.first << ": " << error;
        EXPECT_LT(scope.peak(), size_t{1} << 30) << c.first << ", " << c.second.size() << " bytes";
    }
}

} // namespace
} // namespace reliability
