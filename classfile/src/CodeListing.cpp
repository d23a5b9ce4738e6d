// The bytecode listing: one line per instruction, "pc mnemonic operands",
// driven by the opcode table.
#include "classfile/CodeListing.h"
#include "DumpText.h"

#include "classfile/Attributes.h"
#include "classfile/ConstantPool.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

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

// The operand texts of local slots made so far in one listing: a slot always
// names the same first table row, so its text is made once. The slots of
// the short forms are kept in a table, the few wide ones in a map.
class LocalTexts {
public:
    /// The text of `slot`, or null when it has not been made yet.
    const std::string* find(uint32_t slot) const {
        if (slot < kDirect)
            return slot < mKnown.size() && mKnown[slot] ? &mDirect[slot] : nullptr;
        const auto found = mWide.find(slot);
        return found == mWide.end() ? nullptr : &found->second;
    }
    void add(uint32_t slot, std::string text) {
        if (slot >= kDirect) {
            mWide.emplace(slot, std::move(text));
            return;
        }
        if (mKnown.size() <= slot) {
            const size_t size = std::min<size_t>(kDirect, (slot | 15) + 1);
            mKnown.resize(size);
            mDirect.resize(size);
        }
        mKnown[slot] = true;
        mDirect[slot] = std::move(text);
    }

private:
    static constexpr uint32_t kDirect = 256;
    std::vector<bool> mKnown;
    std::vector<std::string> mDirect;
    std::unordered_map<uint32_t, std::string> mWide;
};

// What one listing reads, and the operand texts it has made so far.
struct Listing {
    const AttributeCode& code;
    PoolTextCache* poolTexts;
    LocalTexts localTexts;
};

void appendBracketed(TextBuffer& out, std::string_view text) {
    out.append(" <", 2);
    out.append(text);
    out.push('>');
}

void appendPoolText(TextBuffer& out, Listing& listing, uint32_t index) {
    const ConstantPoolEntry* entry = listing.code.pool->find(index);
    if (entry == nullptr)
        return;
    if (listing.poolTexts != nullptr)
        appendBracketed(out, listing.poolTexts->describe(*entry, index));
    else
        appendBracketed(out, entry->describe());
}

void appendPoolOperand(TextBuffer& out, Listing& listing, uint32_t index) {
    out.push('#');
    out.number(index);
    appendPoolText(out, listing, index);
}

void appendLocal(TextBuffer& out, Listing& listing, uint32_t slot) {
    if (const std::string* known = listing.localTexts.find(slot)) {
        if (!known->empty())
            appendBracketed(out, *known);
        return;
    }
    const LocalVariableInfo* row = listing.code.findLocalVariable(slot);
    if (row == nullptr) {
        listing.localTexts.add(slot, std::string());
        return;
    }
    std::string text = localDescription(*row);
    if (!text.empty())
        appendBracketed(out, text);
    listing.localTexts.add(slot, std::move(text));
}

void appendTarget(TextBuffer& out, size_t pc, int64_t offset) {
    out.number(static_cast<int64_t>(pc) + offset);
}

size_t missing(TextBuffer& out, size_t size) {
    out.append(kMissingOperand);
    return size;
}

size_t formatTableSwitch(TextBuffer& out, const Operands& in, size_t pc) {
    size_t pos = switchTableStart(pc);
    if (!in.has(pos, 12))
        return missing(out, in.size);
    const int32_t defaultOffset = in.s4(pos);
    const int32_t low = in.s4(pos + 4);
    const int32_t high = in.s4(pos + 8);
    pos += 12;
    out.number(low);
    out.append(" to ");
    out.number(high);
    out.append(" default=");
    appendTarget(out, pc, defaultOffset);
    const int64_t count = int64_t(high) - low + 1;
    for (int64_t j = 0; j < count; ++j, pos += 4) {
        out.append("\n            ");
        if (!in.has(pos, 4))
            return missing(out, in.size);
        out.number(low + j);
        out.append(": ");
        appendTarget(out, pc, in.s4(pos));
    }
    return pos;
}

size_t formatLookupSwitch(TextBuffer& out, const Operands& in, size_t pc) {
    size_t pos = switchTableStart(pc);
    if (!in.has(pos, 8))
        return missing(out, in.size);
    const int32_t defaultOffset = in.s4(pos);
    const int32_t npairs = in.s4(pos + 4);
    pos += 8;
    out.number(npairs);
    out.append(": default=");
    appendTarget(out, pc, defaultOffset);
    for (int32_t j = 0; j < npairs; ++j, pos += 8) {
        out.append("\n            ");
        if (!in.has(pos, 8))
            return missing(out, in.size);
        out.number(in.s4(pos));
        out.append(": ");
        appendTarget(out, pc, in.s4(pos + 4));
    }
    return pos;
}

size_t formatWide(TextBuffer& out, const Operands& in, size_t pc) {
    if (!in.has(pc + 1, 1)) {
        out.append("wide ");
        return missing(out, in.size);
    }
    const uint8_t modified = static_cast<uint8_t>(in.u1(pc + 1));
    out.append(opcodeInfo(modified).mnemonic);
    out.append("_w ");
    const size_t length = modified == OP_IINC ? 6 : 4;
    if (!in.has(pc, length))
        return missing(out, in.size);
    out.number(in.u2(pc + 2));
    if (modified == OP_IINC) {
        out.push(' ');
        out.number(static_cast<int16_t>(in.u2(pc + 4)));
    }
    return pc + length;
}

size_t format(const OpcodeInfo& op, Listing& listing, const uint8_t* bytes, size_t size, size_t pc,
              TextBuffer& out) {
    const Operands in{bytes, size};
    if (op.operandKind == OperandKind::WIDE)
        return formatWide(out, in, pc);
    out.append(op.mnemonic);
    out.push(' ');

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
        out.push('#');
        out.number(index);
        out.append(" dim #");
        out.number(in.u1(pc + 3));
        appendPoolText(out, listing, index);
        break;
    }
    case OperandKind::INVOKE_INTERFACE:
        out.append("(args ");
        out.number(in.u1(pc + 3));
        out.append(") ");
        appendPoolOperand(out, listing, in.u2(pc + 1));
        break;
    case OperandKind::LOCAL:
        out.number(in.u1(pc + 1));
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
        out.number(static_cast<int8_t>(in.u1(pc + 1)));
        break;
    case OperandKind::SHORT_IMMEDIATE:
        out.number(static_cast<int16_t>(in.u2(pc + 1)));
        break;
    case OperandKind::IINC:
        out.number(in.u1(pc + 1));
        out.push(' ');
        out.number(static_cast<int8_t>(in.u1(pc + 2)));
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
            out.append(kArrayTypes[type - 4]);
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

const std::string& PoolTextCache::describe(const ConstantPoolEntry& entry, uint32_t index) {
    if (mSlots.size() <= index)
        mSlots.resize(std::max<size_t>(index + 1, entry.pool->size()));
    Slot& slot = mSlots[index];
    if (!slot.known) {
        slot.text = entry.describe();
        slot.known = true;
    }
    return slot.text;
}

size_t formatInstruction(const OpcodeInfo& op, const AttributeCode& code, const uint8_t* bytes,
                         size_t size, size_t pc, std::string& out) {
    Listing listing{code, nullptr, {}};
    TextBuffer text;
    const size_t next = format(op, listing, bytes, size, pc, text);
    out.append(text.view());
    return next;
}

void listInstructions(TextBuffer& out, const AttributeCode& code, int32_t limit, ListingMode mode,
                      PoolTextCache* cache) {
    if (mode == ListingMode::NONE)
        return;
    Listing listing{code, cache, {}};
    const uint8_t* bytes = code.code.data();
    const size_t size =
        std::min(code.code.size(), static_cast<size_t>(std::max(code.code_length, 0)));
    const size_t end = std::min(size, static_cast<size_t>(std::max(limit, 0)));
    size_t pc = 0;
    while (pc < end) {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, pc);
        const size_t width = static_cast<size_t>(result.ptr - digits);
        out.push('\n');
        if (width < 7)
            out.append(7 - width, ' ');
        out.append(digits, width);
        out.push(' ');
        pc = format(opcodeInfo(bytes[pc]), listing, bytes, size, pc, out);
    }
}

std::string AttributeCode::listCode(int32_t limit) const {
    TextBuffer out;
    listInstructions(out, *this, limit, ListingMode::LIST, nullptr);
    return out.str();
}

} // namespace classfile
