#pragma once

#include <cstdint>
#include <string_view>

namespace classfile {

/// How an instruction's operands are read and shown in the listing. The
/// numbers are those stored in the opcode table.
enum class OperandKind : int32_t {
    NONE = 1,              ///< no operands
    POOL_INDEX = 2,        ///< u2 constant-pool index
    LOCAL = 3,             ///< u1 local-variable index
    POOL_INDEX_BYTE = 4,   ///< u1 constant-pool index (ldc)
    MULTI_NEW_ARRAY = 5,   ///< u2 constant-pool index, u1 dimensions
    SHORT_IMMEDIATE = 7,   ///< signed 2-byte immediate (sipush)
    BRANCH = 8,            ///< signed 2-byte branch offset
    BRANCH_WIDE = 9,       ///< signed 4-byte branch offset
    ARRAY_TYPE = 10,       ///< u1 primitive array type (newarray)
    INVOKE_INTERFACE = 11, ///< u2 constant-pool index, u1 count, one more byte
    IINC = 12,             ///< u1 local index, signed 1-byte increment
    BYTE_IMMEDIATE = 14,   ///< signed 1-byte immediate (bipush)
    TABLE_SWITCH = 15,     ///< padding, default, low, high, offsets
    LOOKUP_SWITCH = 16,    ///< padding, default, npairs, match/offset pairs
    WIDE = 17,             ///< modified opcode, u2 index (and s2 increment for iinc)
    LOCAL_0 = 18,          ///< loads and stores of local 0 without operands
    LOCAL_1 = 19,
    LOCAL_2 = 20,
    LOCAL_3 = 21,
};

/// One entry of the opcode table.
struct OpcodeInfo {
    std::string_view mnemonic;
    OperandKind operandKind;
};

/// Opcode numbers the listing treats specially.
enum Opcode : uint8_t {
    OP_IINC = 132,
    OP_TABLESWITCH = 170,
    OP_LOOKUPSWITCH = 171,
    OP_WIDE = 196,
};

/// The table entry of an opcode byte. The table is constant data, complete
/// for all 256 byte values.
const OpcodeInfo& opcodeInfo(uint8_t opcode);

/// Length in bytes of an instruction of `kind` whose length does not depend
/// on its position or operands; 0 for the two switches and wide.
constexpr int fixedInstructionLength(OperandKind kind) {
    switch (kind) {
    case OperandKind::NONE:
    case OperandKind::LOCAL_0:
    case OperandKind::LOCAL_1:
    case OperandKind::LOCAL_2:
    case OperandKind::LOCAL_3:
        return 1;
    case OperandKind::LOCAL:
    case OperandKind::POOL_INDEX_BYTE:
    case OperandKind::ARRAY_TYPE:
    case OperandKind::BYTE_IMMEDIATE:
        return 2;
    case OperandKind::POOL_INDEX:
    case OperandKind::SHORT_IMMEDIATE:
    case OperandKind::BRANCH:
    case OperandKind::IINC:
        return 3;
    case OperandKind::MULTI_NEW_ARRAY:
        return 4;
    case OperandKind::BRANCH_WIDE:
    case OperandKind::INVOKE_INTERFACE:
        return 5;
    case OperandKind::TABLE_SWITCH:
    case OperandKind::LOOKUP_SWITCH:
    case OperandKind::WIDE:
        return 0;
    }
    return 0;
}

} // namespace classfile
