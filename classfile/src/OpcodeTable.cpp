// The opcode table, expanded from Opcodes.def into constant data: it exists
// before any code runs and is never written.
#include "classfile/Opcodes.h"

#include <cstddef>

namespace classfile {

namespace {

constexpr OpcodeInfo kOpcodes[] = {
#define ZUL_OPCODE(code, mnemonic, kind) {mnemonic, OperandKind::kind},
#include "Opcodes.def"
};

constexpr unsigned kCodes[] = {
#define ZUL_OPCODE(code, mnemonic, kind) code,
#include "Opcodes.def"
};

// Each line of the data file must name the opcode it stands at.
constexpr bool codesInOrder() {
    for (size_t i = 0; i < sizeof kCodes / sizeof kCodes[0]; ++i)
        if (kCodes[i] != i)
            return false;
    return true;
}

static_assert(sizeof kOpcodes / sizeof kOpcodes[0] == 256, "one table entry per opcode byte");
static_assert(codesInOrder(), "Opcodes.def lists the opcodes in order 0 to 255");

} // namespace

const OpcodeInfo& opcodeInfo(uint8_t opcode) {
    return kOpcodes[opcode];
}

} // namespace classfile
