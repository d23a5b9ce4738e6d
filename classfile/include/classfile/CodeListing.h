#pragma once

#include "classfile/Opcodes.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace classfile {

class AttributeCode;

/// Text written in place of operands that would run past the end of the code.
inline constexpr std::string_view kMissingOperand = "<missing operand>";

/// Writes the instruction whose opcode is at `pc` of `bytes` (`size` bytes of
/// `code`'s bytecode), shown with the table entry `op`, and returns the
/// position of the next instruction. Operands are never read past `size`:
/// those that would be are shown as kMissingOperand and the result is `size`.
/// Pool operands show the operand text of their slot unless the slot is
/// empty or outside the pool.
size_t formatInstruction(const OpcodeInfo& op, const AttributeCode& code, const uint8_t* bytes,
                         size_t size, size_t pc, std::string& out);

} // namespace classfile
