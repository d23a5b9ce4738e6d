// Rewrites a class file compiled by a Java compiler into the pool layout of
// the rule compiler, which puts the rule file's own class entry at slot 2:
//   zul_move_own_class IN.class OUT.sgb
// The own class entry and whatever sits at slot 2 change places, and every
// pool index in the file (pool entries, header, members, attributes,
// bytecode operands, stack map types, annotations) follows them. Everything
// else is copied as the compiler wrote it. The result is read back with the
// class-file reader to check that its own class is at slot 2.
//
// Only the attributes a compiler writes for plain classes are known; any
// other makes the tool fail rather than copy pool indices it cannot see.
#include "classfile/ClassInfo.h"
#include "classfile/ConstantPool.h"
#include "classfile/Opcodes.h"
#include "classfile/PoolEntries.h"
#include "testsupport/ClassWriter.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using testsupport::AttributeBytes;
using testsupport::AttributeBytesList;
using testsupport::Bytes;

struct PoolSlot {
    uint8_t tag = 0;
    std::string payload; ///< the bytes after the tag, as read
    std::string text;    ///< a text entry's text
};

class Rewriter {
public:
    explicit Rewriter(std::string bytes) : mIn(std::move(bytes)) {}

    std::string run() {
        testsupport::ClassWriter w;
        if (u4() != 0xCAFEBABE)
            throw std::runtime_error("not a class file");
        w.minorVersion = u2();
        w.majorVersion = u2();
        readPool();
        w.accessFlags = u2();
        const uint16_t thisClass = u2();
        if (thisClass >= mPool.size() || mPool[thisClass].tag != classfile::TAG_CLASS)
            throw std::runtime_error("this_class is not a class entry");
        chooseSwap(thisClass);
        writePool(w);
        w.thisClass = map(thisClass);
        w.superClass = index();
        for (uint16_t n = u2(); n > 0; --n)
            w.interfaces.push_back(index());
        for (uint16_t n = u2(); n > 0; --n) {
            const uint16_t access = u2(), name = index(), descriptor = index();
            w.addField(access, name, descriptor, attributes());
        }
        for (uint16_t n = u2(); n > 0; --n) {
            const uint16_t access = u2(), name = index(), descriptor = index();
            w.addMethod(access, name, descriptor, attributes());
        }
        for (const AttributeBytes& a : attributes())
            w.addAttribute(a);
        if (mPos != mIn.size())
            throw std::runtime_error("bytes after the class file's end");
        return w.str();
    }

private:
    // ---- input ---------------------------------------------------------

    uint8_t u1() {
        if (mPos >= mIn.size())
            throw std::runtime_error("unexpected end of class file");
        return static_cast<uint8_t>(mIn[mPos++]);
    }
    uint16_t u2() {
        const uint16_t high = u1();
        return static_cast<uint16_t>(high << 8 | u1());
    }
    uint32_t u4() {
        const uint32_t high = u2();
        return high << 16 | u2();
    }
    std::string take(size_t n) {
        if (n > mIn.size() - mPos)
            throw std::runtime_error("unexpected end of class file");
        std::string out = mIn.substr(mPos, n);
        mPos += n;
        return out;
    }
    /// A pool index, renumbered.
    uint16_t index() { return map(u2()); }

    // ---- the pool ------------------------------------------------------

    void readPool() {
        const uint16_t count = u2();
        mPool.assign(count, PoolSlot{});
        for (uint16_t i = 1; i < count; ++i) {
            PoolSlot& slot = mPool[i];
            slot.tag = u1();
            switch (slot.tag) {
            case classfile::TAG_UTF8: {
                const uint16_t length = u2();
                slot.text = take(length);
                slot.payload = Bytes().u2(length).raw(slot.text).str();
                break;
            }
            case classfile::TAG_INTEGER:
            case classfile::TAG_FLOAT:
            case classfile::TAG_FIELDREF:
            case classfile::TAG_METHODREF:
            case classfile::TAG_INTERFACE_METHODREF:
            case classfile::TAG_NAME_AND_TYPE:
                slot.payload = take(4);
                break;
            case classfile::TAG_LONG:
            case classfile::TAG_DOUBLE:
                slot.payload = take(8);
                ++i; // the second slot stays empty
                break;
            case classfile::TAG_CLASS:
            case classfile::TAG_STRING:
                slot.payload = take(2);
                break;
            default:
                throw std::runtime_error("pool tag " + std::to_string(slot.tag) + " not handled");
            }
        }
    }

    void chooseSwap(uint16_t thisClass) {
        constexpr uint16_t kOwnClassSlot = 2;
        if (mPool.size() <= kOwnClassSlot)
            throw std::runtime_error("pool too small");
        const auto wide = [](uint8_t tag) {
            return tag == classfile::TAG_LONG || tag == classfile::TAG_DOUBLE || tag == 0;
        };
        if (wide(mPool[kOwnClassSlot].tag) || wide(mPool[kOwnClassSlot - 1].tag))
            throw std::runtime_error("slot 2 holds half of a two-slot entry");
        mSwapA = thisClass;
        mSwapB = kOwnClassSlot;
    }

    uint16_t map(uint16_t i) const { return i == mSwapA ? mSwapB : i == mSwapB ? mSwapA : i; }

    /// The payload of a pool entry with its own pool indices renumbered.
    std::string remapPayload(const PoolSlot& slot) const {
        const auto at = [&](size_t offset) {
            return static_cast<uint16_t>(static_cast<uint8_t>(slot.payload[offset]) << 8 |
                                         static_cast<uint8_t>(slot.payload[offset + 1]));
        };
        switch (slot.tag) {
        case classfile::TAG_CLASS:
        case classfile::TAG_STRING:
            return Bytes().u2(map(at(0))).str();
        case classfile::TAG_FIELDREF:
        case classfile::TAG_METHODREF:
        case classfile::TAG_INTERFACE_METHODREF:
        case classfile::TAG_NAME_AND_TYPE:
            return Bytes().u2(map(at(0))).u2(map(at(2))).str();
        default:
            return slot.payload;
        }
    }

    void writePool(testsupport::ClassWriter& w) const {
        for (uint16_t i = 1; i < mPool.size(); ++i) {
            const PoolSlot& slot = mPool[map(i)];
            if (slot.tag == 0)
                continue; // second half of a long or double, written with it
            const bool wide = slot.tag == classfile::TAG_LONG || slot.tag == classfile::TAG_DOUBLE;
            w.rawEntry(slot.tag, Bytes().raw(remapPayload(slot)), wide ? 2 : 1);
        }
    }

    // ---- attributes ----------------------------------------------------

    AttributeBytesList attributes() {
        AttributeBytesList list;
        for (uint16_t n = u2(); n > 0; --n)
            list.push_back(attribute());
        return list;
    }

    AttributeBytes attribute() {
        const uint16_t nameIndex = u2();
        const uint32_t length = u4();
        const size_t end = mPos + length;
        if (nameIndex >= mPool.size() || mPool[nameIndex].tag != classfile::TAG_UTF8)
            throw std::runtime_error("attribute name is not a text entry");
        const std::string& name = mPool[nameIndex].text;
        Bytes body;
        if (name == "Code")
            code(body);
        else if (name == "StackMapTable")
            stackMapTable(body);
        else if (name == "LocalVariableTable" || name == "LocalVariableTypeTable")
            table(body, {false, false, true, true, false});
        else if (name == "LineNumberTable")
            table(body, {false, false});
        else if (name == "SourceFile" || name == "Signature" || name == "ConstantValue")
            body.u2(index());
        else if (name == "Exceptions")
            table(body, {true});
        else if (name == "InnerClasses")
            table(body, {true, true, true, false});
        else if (name == "EnclosingMethod")
            body.u2(index()).u2(index());
        else if (name == "RuntimeVisibleAnnotations" || name == "RuntimeInvisibleAnnotations")
            annotationList(body);
        else if (name == "RuntimeVisibleParameterAnnotations" ||
                 name == "RuntimeInvisibleParameterAnnotations") {
            const uint8_t parameters = u1();
            body.u1(parameters);
            for (uint8_t p = 0; p < parameters; ++p)
                annotationList(body);
        } else if (name == "AnnotationDefault")
            elementValue(body);
        else if (name != "Deprecated" && name != "Synthetic")
            throw std::runtime_error("attribute " + name + " not handled");
        if (mPos != end)
            throw std::runtime_error("attribute " + name + " has an unexpected length");
        return AttributeBytes{map(nameIndex), std::move(body), std::nullopt};
    }

    /// A u2 row count, then rows of u2 columns; `isIndex` marks the pool
    /// index columns.
    void table(Bytes& out, const std::vector<bool>& isIndex) {
        const uint16_t rows = u2();
        out.u2(rows);
        for (uint16_t r = 0; r < rows; ++r)
            for (bool pool : isIndex)
                out.u2(pool ? index() : u2());
    }

    void code(Bytes& out) {
        out.u2(u2()).u2(u2());
        const uint32_t length = u4();
        out.u4(length);
        instructions(out, length);
        table(out, {false, false, false, true});
        const AttributeBytesList nested = attributes();
        out.u2(static_cast<uint32_t>(nested.size()));
        for (const AttributeBytes& a : nested)
            a.writeTo(out);
    }

    void instructions(Bytes& out, uint32_t length) {
        using classfile::OperandKind;
        const size_t start = mPos;
        while (mPos - start < length) {
            const size_t pc = mPos - start;
            const uint8_t op = u1();
            out.u1(op);
            const OperandKind kind = classfile::opcodeInfo(op).operandKind;
            switch (kind) {
            case OperandKind::POOL_INDEX:
                out.u2(index());
                break;
            case OperandKind::POOL_INDEX_BYTE: {
                const uint16_t moved = map(u1());
                if (moved > 0xFF)
                    throw std::runtime_error("ldc operand does not fit one byte");
                out.u1(moved);
                break;
            }
            case OperandKind::MULTI_NEW_ARRAY:
                out.u2(index()).u1(u1());
                break;
            case OperandKind::INVOKE_INTERFACE:
                out.u2(index()).u1(u1()).u1(u1());
                break;
            case OperandKind::TABLE_SWITCH:
            case OperandKind::LOOKUP_SWITCH: {
                out.raw(take((4 - (pc + 1) % 4) % 4));
                const uint32_t defaultOffset = u4();
                out.u4(defaultOffset);
                if (kind == OperandKind::TABLE_SWITCH) {
                    const uint32_t low = u4(), high = u4();
                    out.u4(low).u4(high);
                    out.raw(take(4 * (static_cast<size_t>(static_cast<int32_t>(high) -
                                                          static_cast<int32_t>(low)) +
                                      1)));
                } else {
                    const uint32_t pairs = u4();
                    out.u4(pairs);
                    out.raw(take(8 * static_cast<size_t>(pairs)));
                }
                break;
            }
            case OperandKind::WIDE: {
                const uint8_t modified = u1();
                out.u1(modified).raw(take(modified == classfile::OP_IINC ? 4 : 2));
                break;
            }
            default:
                out.raw(take(static_cast<size_t>(classfile::fixedInstructionLength(kind) - 1)));
            }
        }
        if (mPos - start != length)
            throw std::runtime_error("bytecode ends inside an instruction");
    }

    void stackMapTable(Bytes& out) {
        const uint16_t frames = u2();
        out.u2(frames);
        for (uint16_t f = 0; f < frames; ++f) {
            const uint8_t type = u1();
            out.u1(type);
            if (type < 64)
                continue;
            if (type < 128) {
                verificationTypes(out, 1);
            } else if (type < 247) {
                throw std::runtime_error("reserved stack map frame type");
            } else if (type == 247) {
                out.u2(u2());
                verificationTypes(out, 1);
            } else if (type < 252) {
                out.u2(u2());
            } else if (type < 255) {
                out.u2(u2());
                verificationTypes(out, type - 251);
            } else {
                out.u2(u2());
                const uint16_t locals = u2();
                out.u2(locals);
                verificationTypes(out, locals);
                const uint16_t stack = u2();
                out.u2(stack);
                verificationTypes(out, stack);
            }
        }
    }

    void verificationTypes(Bytes& out, unsigned count) {
        constexpr uint8_t kObject = 7, kUninitialized = 8;
        for (unsigned i = 0; i < count; ++i) {
            const uint8_t tag = u1();
            out.u1(tag);
            if (tag == kObject)
                out.u2(index());
            else if (tag == kUninitialized)
                out.u2(u2());
        }
    }

    void annotationList(Bytes& out) {
        const uint16_t count = u2();
        out.u2(count);
        for (uint16_t i = 0; i < count; ++i)
            annotation(out);
    }

    void annotation(Bytes& out) {
        out.u2(index());
        const uint16_t pairs = u2();
        out.u2(pairs);
        for (uint16_t p = 0; p < pairs; ++p) {
            out.u2(index());
            elementValue(out);
        }
    }

    void elementValue(Bytes& out) {
        const uint8_t tag = u1();
        out.u1(tag);
        switch (tag) {
        case 'e':
            out.u2(index()).u2(index());
            break;
        case '@':
            annotation(out);
            break;
        case '[': {
            const uint16_t count = u2();
            out.u2(count);
            for (uint16_t i = 0; i < count; ++i)
                elementValue(out);
            break;
        }
        default: // B C D F I J S Z s c: one pool index
            out.u2(index());
        }
    }

    std::string mIn;
    size_t mPos = 0;
    std::vector<PoolSlot> mPool;
    uint16_t mSwapA = 0, mSwapB = 0;
};

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(std::string("cannot read ") + path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: zul_move_own_class IN.class OUT.sgb\n";
        return 2;
    }
    try {
        const std::string out = Rewriter(readFile(argv[1])).run();
        std::istringstream check(out);
        const classfile::ClassInfo cls(check);
        if (cls.this_class != cls.pool().find(2))
            throw std::runtime_error("own class did not end up at slot 2");
        std::ofstream file(argv[2], std::ios::binary);
        file << out;
        if (!file.flush())
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::cerr << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
