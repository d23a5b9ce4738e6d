// Memory that decoding may take is bounded by the input's size. Two kinds
// of hostile input: counts and lengths that claim gigabytes in a file of a
// few dozen bytes (they must fail at the end of the input, having allocated
// little), and files whose many small references all name one large text or
// code (each reference may not copy it anew without limit).
#include "AllocationCounter.h"
#include "Inputs.h"
#include "Watchdog.h"

#include "testsupport/ClassWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reliability {
namespace {

using testsupport::Bytes;
using testsupport::ClassWriter;

// ---- counts and lengths that claim more than the file holds ---------------

constexpr uint32_t kClaimU2 = 0xFFFF;
constexpr uint32_t kClaimU4 = 0x7FFFFFFF;

/// Header, a pool holding the names that the layouts below need, access
/// flags, this_class and super_class; what follows is up to each case.
struct Prefix {
    ClassWriter w;
    uint16_t code, lvt, lnt, inner, exceptions, stackMap, rva, rvpa, blob, name, desc;
    Prefix() {
        w.thisClass = w.classNamed("T");
        code = w.utf8("Code");
        lvt = w.utf8("LocalVariableTable");
        lnt = w.utf8("LineNumberTable");
        inner = w.utf8("InnerClasses");
        exceptions = w.utf8("Exceptions");
        stackMap = w.utf8("StackMap");
        rva = w.utf8("RuntimeVisibleAnnotations");
        rvpa = w.utf8("RuntimeVisibleParameterAnnotations");
        blob = w.utf8("Blob");
        name = w.utf8("run");
        desc = w.utf8("()V");
    }
    /// The class so far without its four trailing counts.
    Bytes head() const {
        Bytes all = w.build();
        all.data.resize(all.data.size() - 8);
        return all;
    }
    /// head, no interfaces and fields, one method whose only attribute is
    /// `attribute` (name index and body; the header length is the body's).
    Bytes methodWith(uint16_t attributeName, const Bytes& body) const {
        return head()
            .u2(0)
            .u2(0)
            .u2(1)
            .u2(0x0009)
            .u2(name)
            .u2(desc)
            .u2(1)
            .u2(attributeName)
            .u4(static_cast<uint32_t>(body.size()))
            .raw(body);
    }
    /// A Code body with one instruction and no exception table, followed by
    /// `tail` (its nested attribute list).
    static Bytes codeWith(const Bytes& tail) {
        return Bytes().u2(1).u2(1).u4(1).u1(0xB1).u2(0).raw(tail);
    }
    /// head, no members, and class attributes starting with `tail`.
    Bytes classAttributes(const Bytes& tail) const { return head().u2(0).u2(0).u2(0).raw(tail); }
};

struct Claim {
    const char* name;
    Bytes bytes;
};

std::vector<Claim> claims() {
    const Prefix p;
    const Bytes magic = Bytes().u4(0xCAFEBABE).u2(0).u2(50);
    // A value of the given tag with one element-value pair inside a
    // RuntimeVisibleAnnotations attribute of the class.
    const auto annotated = [&p](const Bytes& annotationBody) {
        return p.classAttributes(Bytes().u2(1).u2(p.rva).u4(kClaimU4).raw(annotationBody));
    };
    Bytes deepArrays = Bytes().u2(1).u2(p.desc).u2(1).u2(p.name);
    for (int i = 0; i < 20000; ++i)
        deepArrays.u1('[').u2(1);
    Bytes deepCode;
    for (int i = 0; i < 64; ++i)
        deepCode.u2(1).u2(p.code).u4(kClaimU4).raw(Prefix::codeWith(Bytes()));

    return {
        {"pool count", Bytes(magic).u2(kClaimU2).u1(1).u2(1).raw("A")},
        {"Utf8 length", Bytes(magic).u2(2).u1(1).u2(kClaimU2).raw("abc")},
        {"tag-2 length", Bytes(magic).u2(2).u1(2).u4(kClaimU4).raw("abc")},
        {"negative tag-2 length", Bytes(magic).u2(2).u1(2).u4(0xFFFFFFFF).raw("abc")},
        {"interfaces count", p.head().u2(kClaimU2).u2(2)},
        {"fields count", p.head().u2(0).u2(kClaimU2).u2(9).u2(p.name)},
        {"methods count", p.head().u2(0).u2(0).u2(kClaimU2).u2(9).u2(p.name)},
        {"class attributes count", p.classAttributes(Bytes().u2(kClaimU2).u2(p.blob))},
        {"unknown attribute length",
         p.classAttributes(Bytes().u2(1).u2(p.blob).u4(0xFFFFFFFF).raw("abc"))},
        {"code length", p.methodWith(p.code, Bytes().u2(1).u2(1).u4(kClaimU4).raw("abc"))},
        {"negative code length",
         p.methodWith(p.code, Bytes().u2(1).u2(1).u4(0x80000000).raw("abc"))},
        {"exception table length",
         p.methodWith(p.code, Bytes().u2(1).u2(1).u4(1).u1(0xB1).u2(kClaimU2).u4(0))},
        {"nested attributes count",
         p.methodWith(p.code, Prefix::codeWith(Bytes().u2(kClaimU2).u2(p.lnt)))},
        {"local variable count",
         p.methodWith(p.code,
                      Prefix::codeWith(Bytes().u2(1).u2(p.lvt).u4(kClaimU4).u2(kClaimU2).u2(0)))},
        {"line number count",
         p.methodWith(p.code,
                      Prefix::codeWith(Bytes().u2(1).u2(p.lnt).u4(kClaimU4).u2(kClaimU2).u2(0)))},
        {"stack map entries",
         p.methodWith(p.code, Prefix::codeWith(
                                  Bytes().u2(1).u2(p.stackMap).u4(kClaimU4).u2(kClaimU2).u2(0)))},
        {"stack map locals",
         p.methodWith(
             p.code,
             Prefix::codeWith(
                 Bytes().u2(1).u2(p.stackMap).u4(kClaimU4).u2(1).u2(0).u2(kClaimU2).u1(0)))},
        {"exceptions count", p.methodWith(p.exceptions, Bytes().u2(kClaimU2).u2(1))},
        {"inner classes count",
         p.classAttributes(Bytes().u2(1).u2(p.inner).u4(kClaimU4).u2(kClaimU2).u2(1))},
        {"annotations count", annotated(Bytes().u2(kClaimU2).u2(p.desc))},
        {"element value pairs", annotated(Bytes().u2(1).u2(p.desc).u2(kClaimU2).u2(p.name))},
        {"array values",
         annotated(Bytes().u2(1).u2(p.desc).u2(1).u2(p.name).u1('[').u2(kClaimU2).u1('I'))},
        {"parameter annotations",
         p.methodWith(p.rvpa, Bytes().u1(255).u2(kClaimU2).u2(p.desc).u2(0))},
        {"arrays nested 20000 deep", annotated(deepArrays)},
        {"Code nested 64 deep", p.methodWith(p.code, Prefix::codeWith(deepCode))},
    };
}

TEST(ResourceBoundsTest, ClaimsBeyondTheInputFailWithLittleMemory) {
    decode(""); // the tables built on first use are not the cases' cost
    Watchdog watchdog(30);
    for (const Claim& c : claims()) {
        for (const bool seekable : {true, false}) {
            const std::string bytes = c.bytes.str();
            watchdog.arm(std::string(c.name) + (seekable ? "" : " (pipe)"));
            const Decoded d = decode(bytes, seekable);
            const char* path = seekable ? "seekable" : "pipe";
            EXPECT_FALSE(d.ok) << c.name << " (" << path << ") was accepted";
            EXPECT_LE(d.peakBytes, memoryBudget(bytes.size()))
                << c.name << " (" << path << "), " << bytes.size() << " bytes: " << d.error;
        }
    }
}

// ---- many small references to one large text or code --------------------

/// A rule file class with `refs` copies of a reference, as `add` writes it.
template <typename AddOne>
std::string manyReferences(int refs, AddOne add) {
    ClassWriter w;
    w.thisClass = w.classNamed("T"); // slot 2: the rule file's own class
    w.superClass = w.classNamed("java/lang/Object");
    add(w, refs);
    return w.str();
}

TEST(ResourceBoundsTest, FilesThatWouldExpandPastAGibibyteAreRefusedEarly) {
    decode("");
    const std::string longText(32768, 'x');
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"string constants naming one long text",
         manyReferences(10000,
                        [&](ClassWriter& w, int refs) {
                            const uint16_t text = w.utf8(longText);
                            for (int i = 0; i < refs; ++i)
                                w.rawEntry(8, Bytes().u2(text));
                        })},
        {"method references to one method with long code",
         manyReferences(20000,
                        [&](ClassWriter& w, int refs) {
                            const uint16_t nat = w.nameAndType("run", "()V");
                            for (int i = 0; i < refs; ++i)
                                w.rawEntry(10, Bytes().u2(2).u2(nat));
                            w.addMethod(0x0009, "run", "()V",
                                        {w.code(1, 0, std::vector<uint8_t>(60000, 0))});
                        })},
        {"enum constants with one long keyword",
         manyReferences(6000,
                        [&](ClassWriter& w, int refs) {
                            const uint16_t cls = w.classNamed("com/ulno/gc/AreaSelector");
                            const uint16_t nat =
                                w.nameAndType(longText, "Lcom/ulno/gc/AreaSelector;");
                            for (int i = 0; i < refs; ++i)
                                w.rawEntry(9, Bytes().u2(cls).u2(nat));
                        })},
        {"unknown methods with one long name",
         manyReferences(6000,
                        [&](ClassWriter& w, int refs) {
                            const uint16_t cls = w.classNamed("other/Cls");
                            const uint16_t nat = w.nameAndType(longText, "()V");
                            for (int i = 0; i < refs; ++i)
                                w.rawEntry(10, Bytes().u2(cls).u2(nat));
                        })},
    };
    Watchdog watchdog(120);
    for (const auto& c : cases) {
        watchdog.arm(c.name);
        const Decoded d = decode(c.bytes);
        EXPECT_FALSE(d.ok) << c.name << " was accepted";
        EXPECT_EQ(d.error.rfind("SGB file expands beyond the translation limit of ", 0), 0u)
            << c.name << ": " << d.error;
        EXPECT_LT(d.peakBytes, size_t{1} << 30) << c.name << ", " << c.bytes.size() << " bytes";
    }
}

} // namespace
} // namespace reliability
