// The bytecode listing: every operand kind, the pc column, wide forms, the
// switches at every alignment, and code that ends inside an instruction.
#include "DumpHelpers.h"

#include "classfile/CodeListing.h"
#include "classfile/Opcodes.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace classfile;
using dumptest::listing;
using dumptest::minimalWriter;
using dumptest::num;
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
            {{0xC4, 0x84, 0x01, 0x00, 0x01}, at(0) + "iinc_w " + kMissing},
            {Code{0xAA, 0, 0, 0} + s4(0) + s4(0), at(0) + "tableswitch " + kMissing},
            {Code{0xAA, 0, 0, 0} + s4(0) + s4(0) + s4(0x7FFFFFFF) + s4(9),
             at(0) + "tableswitch 0 to 2147483647 default=0\n            0: 9\n            " +
                 kMissing},
            {Code{0x00, 0xAB, 0, 0} + s4(0), at(0) + "nop " + at(1) + "lookupswitch " + kMissing},
            {Code{0xAB, 0, 0, 0} + s4(0) + s4(1000000) + s4(1),
             at(0) + "lookupswitch 1000000: default=0\n            " + kMissing},
        });
    ClassWriter w = minimalWriter();
    const std::string hundred = listing(w, Code(101, 0));
    EXPECT_EQ(hundred.substr(hundred.size() - 13), "\n    100 nop ");
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
    const std::pair<Code, std::function<std::string(int)>> switches[] = {
        {Code{0xAA} + s4(20) + s4(-1) + s4(1) + s4(-3) + s4(0) + s4(0x100),
         [](int k) {
             return "tableswitch -1 to 1 default=" + num(k + 20) +
                    "\n            -1: " + std::to_string(k - 3) + "\n            0: " + num(k) +
                    "\n            1: " + num(k + 256);
         }},
        {Code{0xAB} + s4(-4) + s4(2) + s4(INT32_MIN) + s4(8) + s4(1000) + s4(12),
         [](int k) {
             return "lookupswitch 2: default=" + std::to_string(k - 4) +
                    "\n            -2147483648: " + num(k + 8) +
                    "\n            1000: " + num(k + 12);
         }},
    };
    for (const auto& [sw, text] : switches) {
        for (size_t k = 0; k < 4; ++k) {
            SCOPED_TRACE("opcode " + num(sw[0]) + " at pc " + num(k));
            const size_t pad = (4 - (k + 1) % 4) % 4;
            const Code code = Code(k, 0x00) + Code{sw[0]} + Code(pad, 0xEE) +
                              Code(sw.begin() + 1, sw.end()) + Code{0xB1};
            std::string expected;
            for (size_t pc = 0; pc < k; ++pc)
                expected += at(pc) + "nop ";
            expected += at(k) + text(static_cast<int>(k)) + at(k + 1 + pad + 24) + "return ";
            ClassWriter w = minimalWriter();
            EXPECT_EQ(listing(w, code), expected);
        }
    }
}

TEST(Listing, LimitStopsTheListingAfterTheInstructionItFallsIn) {
    ClassWriter w = minimalWriter();
    const auto c = dumptest::withCode(w, w.code(1, 1, {0x00, 0x10, 0x05, 0x00, 0xB1}));
    const std::string two = at(0) + "nop " + at(1) + "bipush 5";
    EXPECT_EQ(c.code->listCode(5), two + at(3) + "nop " + at(4) + "return ");
    EXPECT_EQ(c.code->listCode(1000), c.code->listCode(5));
    EXPECT_EQ(c.code->listCode(3), two);
    EXPECT_EQ(c.code->listCode(-1), "");
    // One instruction on its own: its text and where the next one starts.
    const Code code = Code{0, 0, 0, 0xAB} + s4(0) + s4(1) + s4(7) + s4(2);
    std::string out;
    EXPECT_EQ(formatInstruction(opcodeInfo(0xAB), *c.code, code.data(), code.size(), 3, out), 20u);
    EXPECT_EQ(out, "lookupswitch 1: default=3\n            7: 5");
}

// The mnemonic of every opcode byte.
TEST(OpcodeTable, MnemonicsAtTheirOpcodes) {
    // Opcodes 0 to 202 in order; "_class" stands for " class".
    std::istringstream expected(
        "nop aconst_null iconst_m1 iconst_0 iconst_1 iconst_2 iconst_3 iconst_4 iconst_5 "
        "lconst_0 lconst_1 fconst_0 fconst_1 fconst_2 dconst_0 dconst_1 bipush sipush ldc ldc_w "
        "ldc2_w iload lload fload dload aload iload_0 iload_1 iload_2 iload_3 lload_0 lload_1 "
        "lload_2 lload_3 fload_0 fload_1 fload_2 fload_3 dload_0 dload_1 dload_2 dload_3 aload_0 "
        "aload_1 aload_2 aload_3 iaload laload faload daload aaload baload caload saload istore "
        "lstore fstore dstore astore istore_0 istore_1 istore_2 istore_3 lstore_0 lstore_1 "
        "lstore_2 lstore_3 fstore_0 fstore_1 fstore_2 fstore_3 dstore_0 dstore_1 dstore_2 "
        "dstore_3 astore_0 astore_1 astore_2 astore_3 iastore lastore fastore dastore aastore "
        "bastore castore sastore pop pop2 dup dup_x1 dup_x2 dup2 dup2_x1 dup2_x2 swap iadd ladd "
        "fadd dadd isub lsub fsub dsub imul lmul fmul dmul idiv ldiv fdiv ddiv irem lrem frem "
        "drem ineg lneg fneg dneg ishl lshl ishr lshr iushr lushr iand land ior lor ixor lxor "
        "iinc i2l i2f i2d l2i l2f l2d f2i f2l f2d d2i d2l d2f i2b i2c i2s lcmp fcmpl fcmpg dcmpl "
        "dcmpg ifeq ifne iflt ifge ifgt ifle if_icmpeq if_icmpne if_icmplt if_icmpge if_icmpgt "
        "if_icmple if_acmpeq if_acmpne goto jsr ret tableswitch lookupswitch ireturn lreturn "
        "freturn dreturn areturn return getstatic putstatic getfield putfield invokevirtual "
        "invokespecial invokestatic invokeinterface xxxunusedxxx new newarray anewarray_class "
        "arraylength athrow checkcast instanceof monitorenter monitorexit wide multianewarray "
        "ifnull ifnonnull goto_w jsr_w breakpoint");
    unsigned op = 0;
    for (std::string name; expected >> name; ++op) {
        if (name == "anewarray_class")
            name = "anewarray class";
        EXPECT_EQ(classfile::opcodeInfo(static_cast<uint8_t>(op)).mnemonic, name) << op;
    }
    ASSERT_EQ(op, 203u);
    for (; op < 256; ++op)
        EXPECT_EQ(classfile::opcodeInfo(static_cast<uint8_t>(op)).mnemonic,
                  op < 254 ? "rserved" + std::to_string(op) : "impdep" + std::to_string(op - 253));
}

} // namespace
