// The bytecode listing: one line per instruction, "pc mnemonic operands",
// driven by the opcode table.
#include "classfile/CodeListing.h"
#include "DumpText.h"

#include "classfile/Attributes.h"
#include "classfile/ConstantPool.h"

#include <algorithm>
#include <string>

namespace classfile {

namespace {

// Element types of newarray, indexed by array type 4 to 11.
constexpr std::string_view kArrayTypes[] = {"boolean", "char",  "float", "double",
                                            "byte",    "short", "int",   "long"};

// Reads big-endian operands at positions that the caller has checked.
struct Operands {
    const uint8_t* bytes;
    size_t size;

    bool has(size_t pos, size_t n) const { return pos <= size && n <= size - pos; }
    uint32_t u1(size_t pos) const { return bytes[pos]; }
    uint32_t u2(size_t pos) const { return uint32_t(bytes[pos]) << 8 | bytes[pos + 1]; }
    int32_t s4(size_t pos) const {
        return static_cast<int32_t>(uint32_t(bytes[pos]) << 24 | uint32_t(bytes[pos + 1]) << 16 |
                                    uint32_t(bytes[pos + 2]) << 8 | bytes[pos + 3]);
    }
};

// Where the switch tables start: the first position after the opcode that is
// a multiple of 4 from the start of the code.
size_t switchTableStart(size_t pc) {
    return (pc + 4) & ~size_t(3);
}

// What one listing reads: the Code attribute and how failing texts are shown.
struct Listing {
    const AttributeCode& code;
    bool tolerant;
};

// Appends " <" text ">" with the text that `describe` produces; an empty
// text appends nothing when `skipEmpty`. A tolerant listing shows a failure
// in place of the text and goes on.
template <typename F>
void appendOperandText(std::string& out, const Listing& listing, bool skipEmpty, F&& describe) {
    std::string text;
    if (!listing.tolerant) {
        text = describe();
    } else {
        try {
            text = describe();
        } catch (const std::exception& e) {
            out += " <error: ";
            out += e.what();
            out += '>';
            return;
        }
    }
    if (skipEmpty && text.empty())
        return;
    out += " <";
    out += text;
    out += '>';
}

void appendPoolText(std::string& out, const Listing& listing, uint32_t index) {
    if (const ConstantPoolEntry* entry = listing.code.pool->find(index))
        appendOperandText(out, listing, false, [entry] { return entry->describe(); });
}

void appendPoolOperand(std::string& out, const Listing& listing, uint32_t index) {
    out += '#';
    appendNumber(out, index);
    appendPoolText(out, listing, index);
}

void appendLocal(std::string& out, const Listing& listing, uint32_t slot) {
    if (const LocalVariableInfo* row = listing.code.findLocalVariable(slot))
        appendOperandText(out, listing, true, [row] { return localDescription(*row); });
}

void appendTarget(std::string& out, size_t pc, int64_t offset) {
    appendNumber(out, static_cast<int64_t>(pc) + offset);
}

size_t missing(std::string& out, size_t size) {
    out += kMissingOperand;
    return size;
}

size_t formatTableSwitch(std::string& out, const Operands& in, size_t pc) {
    size_t pos = switchTableStart(pc);
    if (!in.has(pos, 12))
        return missing(out, in.size);
    const int32_t defaultOffset = in.s4(pos);
    const int32_t low = in.s4(pos + 4);
    const int32_t high = in.s4(pos + 8);
    pos += 12;
    appendNumber(out, low);
    out += " to ";
    appendNumber(out, high);
    out += " default=";
    appendTarget(out, pc, defaultOffset);
    const int64_t count = int64_t(high) - low + 1;
    for (int64_t j = 0; j < count; ++j, pos += 4) {
        out += "\n            ";
        if (!in.has(pos, 4))
            return missing(out, in.size);
        appendNumber(out, low + j);
        out += ": ";
        appendTarget(out, pc, in.s4(pos));
    }
    return pos;
}

size_t formatLookupSwitch(std::string& out, const Operands& in, size_t pc) {
    size_t pos = switchTableStart(pc);
    if (!in.has(pos, 8))
        return missing(out, in.size);
    const int32_t defaultOffset = in.s4(pos);
    const int32_t npairs = in.s4(pos + 4);
    pos += 8;
    appendNumber(out, npairs);
    out += ": default=";
    appendTarget(out, pc, defaultOffset);
    for (int32_t j = 0; j < npairs; ++j, pos += 8) {
        out += "\n            ";
        if (!in.has(pos, 8))
            return missing(out, in.size);
        appendNumber(out, in.s4(pos));
        out += ": ";
        appendTarget(out, pc, in.s4(pos + 4));
    }
    return pos;
}

size_t formatWide(std::string& out, const Operands& in, size_t pc) {
    if (!in.has(pc + 1, 1)) {
        out += "wide ";
        return missing(out, in.size);
    }
    const uint8_t modified = static_cast<uint8_t>(in.u1(pc + 1));
    out += opcodeInfo(modified).mnemonic;
    out += "_w ";
    const size_t length = modified == OP_IINC ? 6 : 4;
    if (!in.has(pc, length))
        return missing(out, in.size);
    appendNumber(out, in.u2(pc + 2));
    if (modified == OP_IINC) {
        out += ' ';
        appendNumber(out, static_cast<int16_t>(in.u2(pc + 4)));
    }
    return pc + length;
}

size_t format(const OpcodeInfo& op, const Listing& listing, const uint8_t* bytes, size_t size,
              size_t pc, std::string& out) {
    const Operands in{bytes, size};
    if (op.operandKind == OperandKind::WIDE)
        return formatWide(out, in, pc);
    out += op.mnemonic;
    out += ' ';

    const int length = fixedInstructionLength(op.operandKind);
    if (length != 0 && !in.has(pc, static_cast<size_t>(length)))
        return missing(out, size);
    switch (op.operandKind) {
    case OperandKind::NONE:
        break;
    case OperandKind::POOL_INDEX:
        appendPoolOperand(out, listing, in.u2(pc + 1));
        break;
    case OperandKind::POOL_INDEX_BYTE:
        appendPoolOperand(out, listing, in.u1(pc + 1));
        break;
    case OperandKind::MULTI_NEW_ARRAY: {
        const uint32_t index = in.u2(pc + 1);
        out += '#';
        appendNumber(out, index);
        out += " dim #";
        appendNumber(out, in.u1(pc + 3));
        appendPoolText(out, listing, index);
        break;
    }
    case OperandKind::INVOKE_INTERFACE:
        out += "(args ";
        appendNumber(out, in.u1(pc + 3));
        out += ") ";
        appendPoolOperand(out, listing, in.u2(pc + 1));
        break;
    case OperandKind::LOCAL:
        appendNumber(out, in.u1(pc + 1));
        appendLocal(out, listing, in.u1(pc + 1));
        break;
    case OperandKind::LOCAL_0:
    case OperandKind::LOCAL_1:
    case OperandKind::LOCAL_2:
    case OperandKind::LOCAL_3:
        appendLocal(out, listing,
                    static_cast<uint32_t>(op.operandKind) -
                        static_cast<uint32_t>(OperandKind::LOCAL_0));
        break;
    case OperandKind::BYTE_IMMEDIATE:
        appendNumber(out, static_cast<int8_t>(in.u1(pc + 1)));
        break;
    case OperandKind::SHORT_IMMEDIATE:
        appendNumber(out, static_cast<int16_t>(in.u2(pc + 1)));
        break;
    case OperandKind::IINC:
        appendNumber(out, in.u1(pc + 1));
        out += ' ';
        appendNumber(out, static_cast<int8_t>(in.u1(pc + 2)));
        break;
    case OperandKind::BRANCH:
        appendTarget(out, pc, static_cast<int16_t>(in.u2(pc + 1)));
        break;
    case OperandKind::BRANCH_WIDE:
        appendTarget(out, pc, in.s4(pc + 1));
        break;
    case OperandKind::ARRAY_TYPE: {
        const uint32_t type = in.u1(pc + 1);
        if (type >= 4 && type <= 11)
            out += kArrayTypes[type - 4];
        break;
    }
    case OperandKind::TABLE_SWITCH:
        return formatTableSwitch(out, in, pc);
    case OperandKind::LOOKUP_SWITCH:
        return formatLookupSwitch(out, in, pc);
    case OperandKind::WIDE:
        break;
    }
    return pc + static_cast<size_t>(length);
}

} // namespace

size_t formatInstruction(const OpcodeInfo& op, const AttributeCode& code, const uint8_t* bytes,
                         size_t size, size_t pc, std::string& out) {
    return format(op, Listing{code, false}, bytes, size, pc, out);
}

std::string listInstructions(const AttributeCode& code, int32_t limit, ListingMode mode) {
    std::string out;
    if (mode == ListingMode::NONE)
        return out;
    const Listing listing{code, mode == ListingMode::TOLERANT};
    const uint8_t* bytes = code.code.data();
    const size_t size =
        std::min(code.code.size(), static_cast<size_t>(std::max(code.code_length, 0)));
    const size_t end = std::min(size, static_cast<size_t>(std::max(limit, 0)));
    // About twelve characters of text per byte of code, without operand texts.
    out.reserve(end * 12);
    size_t pc = 0;
    while (pc < end) {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, pc);
        const size_t width = static_cast<size_t>(result.ptr - digits);
        out += '\n';
        if (width < 7)
            out.append(7 - width, ' ');
        out.append(digits, result.ptr);
        out += ' ';
        pc = format(opcodeInfo(bytes[pc]), listing, bytes, size, pc, out);
    }
    return out;
}

std::string AttributeCode::listCode(int32_t limit) const {
    return listInstructions(*this, limit, ListingMode::STRICT);
}

} // namespace classfile
