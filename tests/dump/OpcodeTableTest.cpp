// The opcode table read back: mnemonics, operand kinds and lengths.
#include "classfile/Opcodes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

using namespace classfile;

namespace {

std::string mnemonic(unsigned op) {
    return std::string(opcodeInfo(static_cast<uint8_t>(op)).mnemonic);
}

unsigned opcodeNamed(const std::string& name) {
    for (unsigned op = 0; op < 256; ++op)
        if (mnemonic(op) == name)
            return op;
    ADD_FAILURE() << "no opcode " << name;
    return 0;
}

TEST(OpcodeTable, MnemonicsAtTheirOpcodes) {
    // "opcode:mnemonic" items.
    std::istringstream expected(
        "0:nop,1:aconst_null,16:bipush,17:sipush,18:ldc,20:ldc2_w,21:iload,26:iload_0,45:aload_3,"
        "46:iaload,54:istore,59:istore_0,78:astore_3,79:iastore,87:pop,95:swap,96:iadd,132:iinc,"
        "133:i2l,148:lcmp,153:ifeq,166:if_acmpne,167:goto,168:jsr,169:ret,170:tableswitch,"
        "171:lookupswitch,177:return,178:getstatic,185:invokeinterface,186:xxxunusedxxx,187:new,"
        "188:newarray,189:anewarray class,190:arraylength,194:monitorenter,196:wide,"
        "197:multianewarray,198:ifnull,199:ifnonnull,200:goto_w,201:jsr_w,202:breakpoint,"
        "254:impdep1,255:impdep2");
    for (std::string item; std::getline(expected, item, ',');) {
        const size_t colon = item.find(':');
        EXPECT_EQ(mnemonic(static_cast<unsigned>(std::stoul(item.substr(0, colon)))),
                  item.substr(colon + 1))
            << item;
    }
    for (unsigned op = 203; op <= 253; ++op)
        EXPECT_EQ(mnemonic(op), "rserved" + std::to_string(op));
    // The opcodes the listing singles out.
    EXPECT_EQ(mnemonic(OP_IINC), "iinc");
    EXPECT_EQ(mnemonic(OP_TABLESWITCH), "tableswitch");
    EXPECT_EQ(mnemonic(OP_LOOKUPSWITCH), "lookupswitch");
    EXPECT_EQ(mnemonic(OP_WIDE), "wide");
}

TEST(OpcodeTable, MnemonicsAreUniqueAndNonEmpty) {
    std::set<std::string> names;
    for (unsigned op = 0; op < 256; ++op) {
        EXPECT_FALSE(mnemonic(op).empty()) << op;
        names.insert(mnemonic(op));
    }
    EXPECT_EQ(names.size(), 256u);
}

TEST(OpcodeTable, OperandKindsByGroup) {
    std::map<std::string, OperandKind> expected;
    const auto group = [&](OperandKind kind, std::initializer_list<const char*> names) {
        for (const char* n : names)
            expected[n] = kind;
    };
    group(OperandKind::POOL_INDEX,
          {"ldc_w", "ldc2_w", "getstatic", "putstatic", "getfield", "putfield", "invokevirtual",
           "invokespecial", "invokestatic", "new", "anewarray class", "checkcast", "instanceof"});
    group(OperandKind::LOCAL, {"iload", "lload", "fload", "dload", "aload", "istore", "lstore",
                               "fstore", "dstore", "astore", "ret"});
    group(OperandKind::POOL_INDEX_BYTE, {"ldc"});
    group(OperandKind::MULTI_NEW_ARRAY, {"multianewarray"});
    group(OperandKind::SHORT_IMMEDIATE, {"sipush"});
    group(OperandKind::BRANCH, {"ifeq", "ifne", "iflt", "ifge", "ifgt", "ifle", "if_icmpeq",
                                "if_icmpne", "if_icmplt", "if_icmpge", "if_icmpgt", "if_icmple",
                                "if_acmpeq", "if_acmpne", "goto", "jsr", "ifnull", "ifnonnull"});
    group(OperandKind::BRANCH_WIDE, {"goto_w", "jsr_w"});
    group(OperandKind::ARRAY_TYPE, {"newarray"});
    group(OperandKind::INVOKE_INTERFACE, {"invokeinterface"});
    group(OperandKind::IINC, {"iinc"});
    group(OperandKind::BYTE_IMMEDIATE, {"bipush"});
    group(OperandKind::TABLE_SWITCH, {"tableswitch"});
    group(OperandKind::LOOKUP_SWITCH, {"lookupswitch"});
    group(OperandKind::WIDE, {"wide"});
    for (const char* t : {"i", "l", "f", "d", "a"})
        for (const char* verb : {"load_", "store_"})
            for (int n = 0; n < 4; ++n)
                expected[std::string(t) + verb + std::to_string(n)] =
                    static_cast<OperandKind>(static_cast<int>(OperandKind::LOCAL_0) + n);

    size_t plain = 0;
    for (unsigned op = 0; op < 256; ++op) {
        const auto found = expected.find(mnemonic(op));
        const OperandKind want = found == expected.end() ? OperandKind::NONE : found->second;
        EXPECT_EQ(opcodeInfo(static_cast<uint8_t>(op)).operandKind, want) << mnemonic(op);
        plain += found == expected.end();
    }
    EXPECT_EQ(plain, 256 - expected.size());
}

TEST(OpcodeTable, FixedLengthsPerKind) {
    // "mnemonic:length" items; 0 for the instructions whose length varies.
    std::istringstream lengths("nop:1,aload_0:1,ldc:2,bipush:2,iload:2,newarray:2,sipush:3,ldc_w:3,"
                               "goto:3,iinc:3,multianewarray:4,goto_w:5,invokeinterface:5,"
                               "tableswitch:0,lookupswitch:0,wide:0,impdep2:1");
    for (std::string item; std::getline(lengths, item, ',');) {
        const size_t colon = item.find(':');
        const uint8_t op = static_cast<uint8_t>(opcodeNamed(item.substr(0, colon)));
        EXPECT_EQ(fixedInstructionLength(opcodeInfo(op).operandKind),
                  std::stoi(item.substr(colon + 1)))
            << item;
    }
}

} // namespace
