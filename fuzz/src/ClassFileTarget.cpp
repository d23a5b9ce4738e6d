#include "fuzz/Guard.h"
#include "fuzz/Streams.h"
#include "fuzz/Targets.h"

#include "classfile/ClassInfo.h"

#include <istream>
#include <memory>
#include <string>

namespace fuzz {
namespace {

// What must not depend on whether the reader knew the input's size.
struct Shape {
    size_t poolSize = 0;
    size_t interfaces = 0;
    size_t fields = 0;
    size_t methods = 0;
    size_t attributes = 0;
    bool operator==(const Shape& o) const {
        return poolSize == o.poolSize && interfaces == o.interfaces && fields == o.fields &&
               methods == o.methods && attributes == o.attributes;
    }
};

template <typename Buf>
bool readWith(const uint8_t* data, size_t size, const char* what, Shape& shape) {
    Buf buf(data, size);
    std::istream in(&buf);
    return guarded(what, [&] {
        const classfile::ClassInfo cls(in);
        shape = {cls.pool().size(), cls.interfaces.size(), cls.fields.size(), cls.methods.size(),
                 cls.attributes.size()};
    });
}

} // namespace

void runClassFile(const uint8_t* data, size_t size) {
    // The reader takes two paths: with the remaining input known it checks
    // counts against it up front, otherwise storage grows as bytes arrive.
    // Both must agree on every input.
    Shape seekable, pipe;
    const bool seekableOk = readWith<MemoryBuf>(data, size, "read (seekable)", seekable);
    const bool pipeOk = readWith<PipeBuf>(data, size, "read (pipe)", pipe);
    if (seekableOk != pipeOk)
        finding(std::string("the reader ") + (seekableOk ? "accepts" : "rejects") +
                " the input from a seekable stream but " + (pipeOk ? "accepts" : "rejects") +
                " it from a pipe");
    if (seekableOk && !(seekable == pipe))
        finding("the reader builds different classes from a seekable stream and a pipe");
}

} // namespace fuzz
