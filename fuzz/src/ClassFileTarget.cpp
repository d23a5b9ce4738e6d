#include "fuzz/Guard.h"
#include "fuzz/Targets.h"

#include "classfile/ClassInfo.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <sstream>

namespace fuzz {
namespace {

/// A stream buffer that cannot seek and hands its bytes out a few at a time,
/// like a pipe: the reader cannot learn how much input is left.
class PipeBuf : public std::streambuf {
public:
    PipeBuf(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

protected:
    int_type underflow() override {
        if (mPos >= mSize)
            return traits_type::eof();
        const size_t n = std::min(sizeof mChunk, mSize - mPos);
        std::memcpy(mChunk, mData + mPos, n);
        mPos += n;
        setg(mChunk, mChunk, mChunk + n);
        return traits_type::to_int_type(mChunk[0]);
    }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mPos = 0;
    char mChunk[7] = {};
};

/// What must not depend on whether the reader knew the input's size.
std::array<size_t, 5> shapeOf(const classfile::ClassInfo& c) {
    return {c.pool().size(), c.interfaces.size(), c.fields.size(), c.methods.size(),
            c.attributes.size()};
}

} // namespace

bool runClassFile(const uint8_t* data, size_t size) {
    // The reader takes two paths: with the remaining input known it checks
    // counts against it up front, otherwise storage grows as bytes arrive.
    // Both must agree on every input.
    std::array<size_t, 5> seekable{}, pipe{};
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const bool seekableOk =
        guarded("read (seekable)", [&] { seekable = shapeOf(classfile::ClassInfo(in)); });
    PipeBuf buf(data, size);
    std::istream piped(&buf);
    const bool pipeOk =
        guarded("read (pipe)", [&] { pipe = shapeOf(classfile::ClassInfo(piped)); });
    if (seekableOk != pipeOk)
        finding(std::string("the reader ") + (seekableOk ? "accepts" : "rejects") +
                " the input from a seekable stream but " + (pipeOk ? "accepts" : "rejects") +
                " it from a pipe");
    if (seekable != pipe)
        finding("the reader builds different classes from a seekable stream and a pipe");
    return seekableOk;
}

} // namespace fuzz
