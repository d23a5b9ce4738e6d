// The bytecode listing: every operand kind, the pc column, wide forms, the
// switches at every alignment, and code that ends inside an instruction.
#include "DumpHelpers.h"

#include "classfile/CodeListing.h"

#include <gtest/gtest.h>

#include <functional>

using namespace classfile;
using dumptest::classWriter;
using dumptest::listing;
using dumptest::num;
using testsupport::ClassWriter;

namespace {

/// "\n" and the pc right-aligned in seven columns, then a blank.
std::string at(size_t pc) {
    std::string digits = num(pc);
    return "\n" + std::string(digits.size() < 7 ? 7 - digits.size() : 0, ' ') + digits + " ";
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

uint8_t hi(uint16_t v) {
    return static_cast<uint8_t>(v >> 8);
}
uint8_t lo(uint16_t v) {
    return static_cast<uint8_t>(v);
}
std::vector<uint8_t> s4(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    return {uint8_t(u >> 24), uint8_t(u >> 16), uint8_t(u >> 8), uint8_t(u)};
}

struct Case {
    const char* what;
    std::vector<uint8_t> code;
    std::string expected;
};

void expectListings(ClassWriter& base, const std::vector<Case>& cases,
                    const std::vector<testsupport::LocalVariableRow>& locals = {}) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClassWriter w = base;
        EXPECT_EQ(listing(w, c.code, locals), c.expected);
    }
}

TEST(Listing, OperandsWithoutPoolOrLocals) {
    ClassWriter w = classWriter();
    expectListings(w, {
                          {"no operand", {0x00, 0xB1}, at(0) + "nop " + at(1) + "return "},
                          {"bipush", {0x10, 0xFF}, at(0) + "bipush -1"},
                          {"bipush max", {0x10, 0x7F}, at(0) + "bipush 127"},
                          {"bipush min", {0x10, 0x80}, at(0) + "bipush -128"},
                          {"sipush", {0x11, 0xFF, 0xFE}, at(0) + "sipush -2"},
                          {"sipush max", {0x11, 0x7F, 0xFF}, at(0) + "sipush 32767"},
                          {"sipush min", {0x11, 0x80, 0x00}, at(0) + "sipush -32768"},
                          {"iinc", {0x84, 0x05, 0xFF}, at(0) + "iinc 5 -1"},
                          {"iinc up", {0x84, 0xFF, 0x7F}, at(0) + "iinc 255 127"},
                          {"iload without table", {0x15, 0x07}, at(0) + "iload 7"},
                          {"ret", {0xA9, 0xC8}, at(0) + "ret 200"},
                          {"iload_2 without table", {0x1C}, at(0) + "iload_2 "},
                          {"reserved",
                           {0xBA, 0xCA, 0xCB, 0xFD, 0xFE, 0xFF},
                           at(0) + "xxxunusedxxx " + at(1) + "breakpoint " + at(2) + "rserved203 " +
                               at(3) + "rserved253 " + at(4) + "impdep1 " + at(5) + "impdep2 "},
                      });
}

TEST(Listing, NewArrayNamesItsElementType) {
    ClassWriter w = classWriter();
    const char* names[] = {"boolean", "char", "float", "double", "byte", "short", "int", "long"};
    std::vector<Case> cases;
    for (uint8_t type = 4; type <= 11; ++type)
        cases.push_back({names[type - 4], {0xBC, type}, at(0) + "newarray " + names[type - 4]});
    cases.push_back({"type 3", {0xBC, 3}, at(0) + "newarray "});
    cases.push_back({"type 12", {0xBC, 12}, at(0) + "newarray "});
    cases.push_back({"type 255", {0xBC, 255}, at(0) + "newarray "});
    expectListings(w, cases);
}

TEST(Listing, BranchTargetsAreSignedOffsetsFromTheOpcode) {
    ClassWriter w = classWriter();
    std::vector<uint8_t> tenNops(10, 0x00);
    std::string nops;
    for (size_t pc = 0; pc < 10; ++pc)
        nops += at(pc) + "nop ";
    expectListings(
        w,
        {
            {"goto back", tenNops + std::vector<uint8_t>{0xA7, 0xFF, 0xFB},
             nops + at(10) + "goto 5"},
            {"ifeq forward", {0x99, 0x00, 0x07}, at(0) + "ifeq 7"},
            {"if_acmpne", {0x00, 0xA6, 0x80, 0x00}, at(0) + "nop " + at(1) + "if_acmpne -32767"},
            {"before the code", {0x00, 0xC6, 0xFF, 0xF0}, at(0) + "nop " + at(1) + "ifnull -15"},
            {"jsr", {0xA8, 0x00, 0x03}, at(0) + "jsr 3"},
            {"ifnonnull", {0xC7, 0x7F, 0xFF}, at(0) + "ifnonnull 32767"},
            {"goto_w", std::vector<uint8_t>{0x00, 0xC8} + s4(-1),
             at(0) + "nop " + at(1) + "goto_w 0"},
            {"jsr_w far", std::vector<uint8_t>{0xC9} + s4(0x7FFFFFFF), at(0) + "jsr_w 2147483647"},
            {"goto_w min", std::vector<uint8_t>{0x00, 0xC8} + s4(INT32_MIN),
             at(0) + "nop " + at(1) + "goto_w -2147483647"},
        });
}

TEST(Listing, PcColumnIsSevenWide) {
    ClassWriter w = classWriter();
    std::vector<uint8_t> code(101, 0x00);
    const std::string text = listing(w, code);
    EXPECT_EQ(text.substr(0, 13), "\n      0 nop ");
    EXPECT_EQ(text.substr(text.size() - 13), "\n    100 nop ");
    EXPECT_NE(text.find("\n     10 nop \n     11 nop "), std::string::npos);
}

TEST(Listing, PoolOperandsShowTheirSlotsOperandText) {
    ClassWriter w = classWriter();
    const uint16_t big = w.integer(100000);
    const uint16_t str = w.string("hi");
    const uint16_t pi = w.doubleValue(3.5);
    const uint16_t cls = w.classNamed("java/lang/String");
    const uint16_t grid = w.classNamed("[[I");
    const uint16_t field = w.fieldRef("a/B", "f", "I");
    const uint16_t method = w.methodRef("a/B", "m", "(JZ)[I");
    const uint16_t ctor = w.methodRef("a/B", "<init>", "()V");
    const uint16_t iface = w.interfaceMethodRef("java/util/List", "size", "()I");
    // ldc takes a one-byte index: these slots must lie below 256.
    ASSERT_LT(str, 256);
    expectListings(
        w,
        {
            {"ldc", {0x12, lo(str)}, at(0) + "ldc #" + num(str) + " <\"hi\">"},
            {"ldc_w", {0x13, hi(big), lo(big)}, at(0) + "ldc_w #" + num(big) + " <Integer 100000>"},
            {"ldc2_w", {0x14, hi(pi), lo(pi)}, at(0) + "ldc2_w #" + num(pi) + " <Double 3.5>"},
            {"getstatic", {0xB2, hi(field), lo(field)}, at(0) + "getstatic #" + num(field) + " <>"},
            {"invokevirtual",
             {0xB6, hi(method), lo(method)},
             at(0) + "invokevirtual #" + num(method) + " <Method [int m(long, boolean)>"},
            {"invokespecial",
             {0xB7, hi(ctor), lo(ctor)},
             at(0) + "invokespecial #" + num(ctor) + " <Method void a.B()>"},
            {"new",
             {0xBB, hi(cls), lo(cls)},
             at(0) + "new #" + num(cls) + " <Class java.lang.String>"},
            {"anewarray",
             {0xBD, hi(cls), lo(cls)},
             at(0) + "anewarray class #" + num(cls) + " <Class java.lang.String>"},
            {"checkcast",
             {0xC0, hi(grid), lo(grid)},
             at(0) + "checkcast #" + num(grid) + " <Class I[][]>"},
            {"instanceof",
             {0xC1, hi(cls), lo(cls)},
             at(0) + "instanceof #" + num(cls) + " <Class java.lang.String>"},
            {"multianewarray",
             {0xC5, hi(grid), lo(grid), 0x02},
             at(0) + "multianewarray #" + num(grid) + " dim #2 <Class I[][]>"},
            {"invokeinterface",
             {0xB9, hi(iface), lo(iface), 0x01, 0x00},
             at(0) + "invokeinterface (args 1) #" + num(iface) + " <>"},
        });
}

TEST(Listing, MissingOrEmptyPoolSlotsShowOnlyTheirNumber) {
    ClassWriter w = classWriter();
    const uint16_t wide = w.longValue(5);
    const uint16_t after = static_cast<uint16_t>(wide + 1); // the empty half of the long
    expectListings(
        w, {
               {"slot 0", {0x12, 0x00}, at(0) + "ldc #0"},
               {"outside", {0xB2, 0xFF, 0xF0}, at(0) + "getstatic #65520"},
               {"second half", {0x13, hi(after), lo(after)}, at(0) + "ldc_w #" + num(after)},
               {"multianewarray", {0xC5, 0x7F, 0x00, 0x03}, at(0) + "multianewarray #32512 dim #3"},
               {"invokeinterface",
                {0xB9, 0x7F, 0x00, 0x02, 0x00},
                at(0) + "invokeinterface (args 2) #32512"},
           });
}

TEST(Listing, LocalsShowTheirFirstTableRow) {
    ClassWriter w = classWriter();
    const std::vector<testsupport::LocalVariableRow> locals = {
        w.local(0, 9, "this", "LT;", 0),
        w.local(0, 9, "count", "J", 1),
        w.local(0, 9, "names", "[Ljava/lang/String;", 3),
        w.local(0, 9, "x", "D", 200),
        w.local(0, 9, "later", "I", 200),
        w.local(0, 9, "far", "F", 300),
        {0, 9, 4000, 4001, 5}, // name and descriptor outside the pool
    };
    expectListings(
        w,
        {
            {"aload_0", {0x2A}, at(0) + "aload_0  <Local T this>"},
            {"lstore_1", {0x40}, at(0) + "lstore_1  <Local long count>"},
            {"astore_3", {0x4E}, at(0) + "astore_3  <Local [java.lang.String names>"},
            {"iload_2 has no row", {0x1C}, at(0) + "iload_2 "},
            {"dload first row wins", {0x18, 200}, at(0) + "dload 200 <Local double x>"},
            {"istore no row", {0x36, 9}, at(0) + "istore 9"},
            {"row with bad indices", {0x15, 5}, at(0) + "iload 5"},
            {"wide forms show no local", {0xC4, 0x17, 0x01, 0x2C}, at(0) + "fload_w 300"},
        },
        locals);
}

TEST(Listing, WideFormsAdvanceByFourOrSix) {
    ClassWriter w = classWriter();
    expectListings(
        w,
        {
            {"iload_w", {0xC4, 0x15, 0x01, 0x00, 0xB1}, at(0) + "iload_w 256" + at(4) + "return "},
            {"astore_w", {0xC4, 0x3A, 0xFF, 0xFF, 0x00}, at(0) + "astore_w 65535" + at(4) + "nop "},
            {"ret_w", {0xC4, 0xA9, 0x00, 0x05}, at(0) + "ret_w 5"},
            {"iinc_w",
             {0xC4, 0x84, 0x01, 0x00, 0xFF, 0xFE, 0xB1},
             at(0) + "iinc_w 256 -2" + at(6) + "return "},
            {"iinc_w big", {0xC4, 0x84, 0x00, 0x02, 0x03, 0xE8}, at(0) + "iinc_w 2 1000"},
        });
}

// A switch at every alignment: k nops before it, so its table starts after
// (3 - k) % 4 bytes of padding, which are skipped whatever they hold.
TEST(Listing, SwitchPaddingAtEveryAlignment) {
    struct Switch {
        uint8_t opcode;
        std::vector<uint8_t> operands;        ///< the 24 bytes after the padding
        std::function<std::string(int)> text; ///< its listing at pc k
    };
    const Switch switches[] = {
        {0xAA, s4(20) + s4(-1) + s4(1) + s4(-3) + s4(0) + s4(0x100),
         [](int k) {
             return "tableswitch -1 to 1 default=" + std::to_string(k + 20) +
                    "\n            -1: " + std::to_string(k - 3) +
                    "\n            0: " + std::to_string(k) +
                    "\n            1: " + std::to_string(k + 256);
         }},
        {0xAB, s4(-4) + s4(2) + s4(INT32_MIN) + s4(8) + s4(1000) + s4(12),
         [](int k) {
             return "lookupswitch 2: default=" + std::to_string(k - 4) +
                    "\n            -2147483648: " + std::to_string(k + 8) +
                    "\n            1000: " + std::to_string(k + 12);
         }},
    };
    for (const Switch& sw : switches) {
        for (size_t k = 0; k < 4; ++k) {
            SCOPED_TRACE("opcode " + num(sw.opcode) + " at pc " + num(k));
            ClassWriter w = classWriter();
            std::vector<uint8_t> code(k, 0x00);
            code.push_back(sw.opcode);
            const size_t pad = (4 - (k + 1) % 4) % 4;
            code.insert(code.end(), pad, 0xEE);
            code = code + sw.operands;
            code.push_back(0xB1);
            std::string expected;
            for (size_t pc = 0; pc < k; ++pc)
                expected += at(pc) + "nop ";
            expected += at(k) + sw.text(static_cast<int>(k)) + at(k + 1 + pad + 24) + "return ";
            EXPECT_EQ(listing(w, code), expected);
        }
    }
}

TEST(Listing, EmptyAndInvertedSwitchTables) {
    ClassWriter w = classWriter();
    expectListings(
        w, {
               {"lookupswitch without pairs",
                std::vector<uint8_t>{0xAB, 0, 0, 0} + s4(8) + s4(0) + std::vector<uint8_t>{0xB1},
                at(0) + "lookupswitch 0: default=8" + at(12) + "return "},
               {"negative npairs", std::vector<uint8_t>{0xAB, 0, 0, 0} + s4(8) + s4(-5),
                at(0) + "lookupswitch -5: default=8"},
               {"high below low", std::vector<uint8_t>{0xAA, 0, 0, 0} + s4(4) + s4(5) + s4(2),
                at(0) + "tableswitch 5 to 2 default=4"},
           });
}

TEST(Listing, OperandsPastTheEndAreShownAsMissing) {
    ClassWriter w = classWriter();
    const std::string missing(kMissingOperand);
    expectListings(
        w, {
               {"bipush", {0x00, 0x10}, at(0) + "nop " + at(1) + "bipush " + missing},
               {"sipush", {0x11, 0x01}, at(0) + "sipush " + missing},
               {"ldc_w", {0x13, 0x00}, at(0) + "ldc_w " + missing},
               {"goto", {0xA7}, at(0) + "goto " + missing},
               {"goto_w", {0xC8, 0, 0, 0}, at(0) + "goto_w " + missing},
               {"invokeinterface", {0xB9, 0, 1, 1}, at(0) + "invokeinterface " + missing},
               {"multianewarray", {0xC5, 0, 1}, at(0) + "multianewarray " + missing},
               {"wide alone", {0xC4}, at(0) + "wide " + missing},
               {"wide iload", {0xC4, 0x15, 0x01}, at(0) + "iload_w " + missing},
               {"wide iinc", {0xC4, 0x84, 0x01, 0x00, 0x01}, at(0) + "iinc_w " + missing},
               {"tableswitch header", std::vector<uint8_t>{0xAA, 0, 0, 0} + s4(0) + s4(0),
                at(0) + "tableswitch " + missing},
               {"tableswitch entries",
                std::vector<uint8_t>{0xAA, 0, 0, 0} + s4(0) + s4(0) + s4(0x7FFFFFFF) + s4(9),
                at(0) + "tableswitch 0 to 2147483647 default=0\n            0: 9\n            " +
                    missing},
               {"lookupswitch header", std::vector<uint8_t>{0x00, 0xAB, 0, 0} + s4(0),
                at(0) + "nop " + at(1) + "lookupswitch " + missing},
               {"lookupswitch pairs",
                std::vector<uint8_t>{0xAB, 0, 0, 0} + s4(0) + s4(1000000) + s4(1),
                at(0) + "lookupswitch 1000000: default=0\n            " + missing},
           });
}

TEST(Listing, LimitStopsTheListing) {
    ClassWriter w = classWriter();
    const auto c = dumptest::withCode(w, w.code(1, 1, {0x00, 0x10, 0x05, 0x00, 0xB1}));
    EXPECT_EQ(c.code->listCode(5),
              at(0) + "nop " + at(1) + "bipush 5" + at(3) + "nop " + at(4) + "return ");
    EXPECT_EQ(c.code->listCode(1000), c.code->listCode(5));
    EXPECT_EQ(c.code->listCode(3), at(0) + "nop " + at(1) + "bipush 5");
    // An instruction that starts below the limit is shown whole.
    EXPECT_EQ(c.code->listCode(2), at(0) + "nop " + at(1) + "bipush 5");
    EXPECT_EQ(c.code->listCode(0), "");
    EXPECT_EQ(c.code->listCode(-1), "");
}

TEST(Listing, EmptyCodeListsNothing) {
    ClassWriter w = classWriter();
    EXPECT_EQ(listing(w, {}), "");
}

TEST(Listing, FormatInstructionReturnsTheNextPosition) {
    ClassWriter w = classWriter();
    const auto c = dumptest::withCode(w, w.code(1, 1, {0x00}));
    struct Step {
        std::vector<uint8_t> code;
        size_t pc;
        size_t next;
    };
    const std::vector<Step> steps = {
        {{0x00}, 0, 1},
        {{0x10, 1}, 0, 2},
        {{0x00, 0x11, 1, 2}, 1, 4},
        {{0xC5, 0, 1, 1}, 0, 4},
        {{0xB9, 0, 1, 1, 0}, 0, 5},
        {{0xC4, 0x84, 0, 1, 0, 1}, 0, 6},
        {{0xC4, 0x15, 0, 1}, 0, 4},
        {std::vector<uint8_t>{0xAA, 0, 0, 0} + s4(0) + s4(1) + s4(2) + s4(0) + s4(0), 0, 24},
        {std::vector<uint8_t>{0, 0, 0, 0xAB} + s4(0) + s4(1) + s4(0) + s4(0), 3, 20},
        {{0x11, 1}, 0, 2}, // cut short: the end of the code
    };
    for (const Step& s : steps) {
        std::string out;
        EXPECT_EQ(formatInstruction(opcodeInfo(s.code[s.pc]), *c.code, s.code.data(), s.code.size(),
                                    s.pc, out),
                  s.next)
            << out;
    }
}

} // namespace
