// The bytecode listing: every operand kind, the pc column, wide forms, the
// switches at every alignment, and code that ends inside an instruction.
#include "ReadHelpers.h"

#include "classfile/CodeListing.h"
#include "classfile/Opcodes.h"

#include <gtest/gtest.h>

using namespace classfile;
using cftest::listing;
using cftest::minimalWriter;
using cftest::num;
using testsupport::ClassWriter;

namespace {

using Code = std::vector<uint8_t>;

/// "\n" and the pc right-aligned in seven columns, then a blank.
std::string at(size_t pc) {
    const std::string digits = num(pc);
    return "\n" + std::string(7 - digits.size(), ' ') + digits + " ";
}

Code operator+(Code a, const Code& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Code s4(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {uint8_t(u >> 24), uint8_t(u >> 16), uint8_t(u >> 8), uint8_t(u)};
}

const std::string kMissing = "<missing operand>";

void expectListings(const ClassWriter& base, const std::vector<std::pair<Code, std::string>>& cases,
                    const std::vector<testsupport::LocalVariableRow>& locals = {}) {
    for (const auto& [code, expected] : cases) {
        SCOPED_TRACE(expected);
        ClassWriter w = base;
        EXPECT_EQ(listing(w, code, locals), expected);
    }
}

TEST(Listing, OperandsWithoutPoolOrLocals) {
    expectListings(
        minimalWriter(),
        {
            {{}, ""},
            {{0x00, 0xB1}, at(0) + "nop " + at(1) + "return "},
            {{0x10, 0xFF, 0x11, 0x80, 0x00, 0x84, 0x05, 0xFF},
             at(0) + "bipush -1" + at(2) + "sipush -32768" + at(5) + "iinc 5 -1"},
            {{0x15, 0x07, 0xA9, 0xC8, 0x1C},
             at(0) + "iload 7" + at(2) + "ret 200" + at(4) + "iload_2 "},
            // Element types 4 to 11 have names.
            {{0xBC, 3, 0xBC, 4, 0xBC, 11, 0xBC, 12},
             at(0) + "newarray " + at(2) + "newarray boolean" + at(4) + "newarray long" + at(6) +
                 "newarray "},
            // Branch targets: the opcode's pc plus a signed offset.
            {{0x00, 0xA7, 0xFF, 0xFF}, at(0) + "nop " + at(1) + "goto 0"},
            {Code{0x00, 0xC8} + s4(INT32_MIN), at(0) + "nop " + at(1) + "goto_w -2147483647"},
            // Wide forms advance by four, or six for iinc.
            {{0xC4, 0x15, 0x01, 0x00, 0xC4, 0x84, 0x01, 0x00, 0xFF, 0xFE, 0xB1},
             at(0) + "iload_w 256" + at(4) + "iinc_w 256 -2" + at(10) + "return "},
            // Empty and inverted switch tables.
            {Code{0xAB, 0, 0, 0} + s4(8) + s4(0) + Code{0xB1},
             at(0) + "lookupswitch 0: default=8" + at(12) + "return "},
            {Code{0xAA, 0, 0, 0} + s4(4) + s4(5) + s4(2), at(0) + "tableswitch 5 to 2 default=4"},
            // Operands past the end of the code.
            {{0x00, 0x10}, at(0) + "nop " + at(1) + "bipush " + kMissing},
            {{0xC4}, at(0) + "wide " + kMissing},
            {Code{0xAA, 0, 0, 0} + s4(0) + s4(0), at(0) + "tableswitch " + kMissing},
            {Code{0xAA, 0, 0, 0} + s4(0) + s4(0) + s4(0x7FFFFFFF) + s4(9),
             at(0) + "tableswitch 0 to 2147483647 default=0\n            0: 9\n            " +
                 kMissing},
            {Code{0xAB, 0, 0, 0} + s4(0) + s4(1000000) + s4(1),
             at(0) + "lookupswitch 1000000: default=0\n            " + kMissing},
        });
}

// One row per operand layout; the texts are the entries' operand texts.
TEST(Listing, PoolOperandsShowTheirSlotsOperandText) {
    ClassWriter w = minimalWriter();
    const uint16_t big = w.integer(100000);
    const uint16_t str = w.string("hi");
    const uint16_t grid = w.classNamed("[[I");
    const uint16_t iface = w.interfaceMethodRef("java/util/List", "size", "()I");
    ASSERT_LT(str, 256); // ldc takes a one-byte index
    const auto op = [](uint8_t opcode, uint16_t slot) {
        return Code{opcode, static_cast<uint8_t>(slot >> 8), static_cast<uint8_t>(slot)};
    };
    expectListings(
        w, {
               {{0x12, static_cast<uint8_t>(str)}, at(0) + "ldc #" + num(str) + " <\"hi\">"},
               {op(0x13, big), at(0) + "ldc_w #" + num(big) + " <Integer 100000>"},
               {op(0xC5, grid) + Code{2},
                at(0) + "multianewarray #" + num(grid) + " dim #2 <Class I[][]>"},
               {op(0xB9, iface) + Code{1, 0},
                at(0) + "invokeinterface (args 1) #" + num(iface) + " <>"},
               // Missing or empty slots show only their number.
               {{0x12, 0x00}, at(0) + "ldc #0"},
           });
}

TEST(Listing, LocalsShowTheirFirstTableRow) {
    ClassWriter w = minimalWriter();
    const uint16_t name = w.utf8("v");
    const std::vector<testsupport::LocalVariableRow> locals = {
        w.local(0, 9, "this", "LT;", 0), w.local(0, 9, "names", "[Ljava/lang/String;", 3),
        w.local(0, 9, "x", "D", 200),    w.local(0, 9, "later", "I", 200),
        {0, 9, 4000, 4001, 5}, // name and descriptor outside the pool
        {0, 9, name, 4001, 6}, // one of them outside
    };
    expectListings(w,
                   {
                       {{0x2A}, at(0) + "aload_0  <Local T this>"},
                       {{0x4E}, at(0) + "astore_3  <Local [java.lang.String names>"},
                       {{0x1C}, at(0) + "iload_2 "}, // no row
                       {{0x18, 200}, at(0) + "dload 200 <Local double x>"},
                       {{0x15, 5, 0x15, 6}, at(0) + "iload 5" + at(2) + "iload 6"},
                   },
                   locals);
}

// A switch at every alignment: k nops before it, so its table starts after
// (3 - k) % 4 bytes of padding, which are skipped whatever they hold.
TEST(Listing, SwitchPaddingAtEveryAlignment) {
    const Code table = s4(20) + s4(-1) + s4(1) + s4(-3) + s4(0) + s4(0x100);
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE("tableswitch at pc " + num(k));
        const size_t pad = static_cast<size_t>(3 - k);
        const Code code =
            Code(static_cast<size_t>(k), 0x00) + Code{0xAA} + Code(pad, 0xEE) + table + Code{0xB1};
        std::string expected;
        for (int pc = 0; pc < k; ++pc)
            expected += at(static_cast<size_t>(pc)) + "nop ";
        expected += at(static_cast<size_t>(k)) + "tableswitch -1 to 1 default=" + num(k + 20) +
                    "\n            -1: " + num(k - 3) + "\n            0: " + num(k) +
                    "\n            1: " + num(k + 256) + at(static_cast<size_t>(k) + 1 + pad + 24) +
                    "return ";
        ClassWriter w = minimalWriter();
        EXPECT_EQ(listing(w, code), expected);
    }
}

TEST(Listing, LimitStopsTheListingAfterTheInstructionItFallsIn) {
    ClassWriter w = minimalWriter();
    const auto c = cftest::withCode(w, w.code(1, 1, {0x00, 0x10, 0x05, 0x00, 0xB1}));
    const std::string two = at(0) + "nop " + at(1) + "bipush 5";
    EXPECT_EQ(c.code->listCode(5), two + at(3) + "nop " + at(4) + "return ");
    EXPECT_EQ(c.code->listCode(3), two);
    EXPECT_EQ(c.code->listCode(-1), "");
}

// The mnemonic of every opcode byte. Opcodes 0 to 202 carry the virtual
// machine's names, with "xxxunusedxxx" at 186, "anewarray class" at 189 and
// "breakpoint" at 202: their 64-bit FNV-1a, one name and a line break each.
TEST(OpcodeTable, MnemonicsAtTheirOpcodes) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned op = 0; op < 256; ++op) {
        const std::string name(classfile::opcodeInfo(static_cast<uint8_t>(op)).mnemonic);
        if (op >= 203)
            EXPECT_EQ(name, op < 254 ? "rserved" + num(op) : "impdep" + num(op - 253));
        else
            for (const char c : name + "\n")
                hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    EXPECT_EQ(hash, 0xfe8efe9c8dbae4baULL);
}

} // namespace
