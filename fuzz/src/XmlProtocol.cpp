#include "XmlProtocol.h"

#include "fuzz/Guard.h"

#include <cstring>
#include <memory>

namespace fuzz {
namespace {

constexpr zul::Status kUnset = static_cast<zul::Status>(-12345);

std::string describe(const char* what, const char* check, size_t capacity) {
    return std::string(what) + "::toXML with a buffer of " + std::to_string(capacity) +
           " bytes: " + check;
}

} // namespace

void checkXmlCapacity(const zul::Object& object, const std::string& text, size_t capacity,
                      const char* what) {
    // Exactly `capacity` bytes, so that the sanitizer sees any write beyond.
    std::unique_ptr<char[]> buffer(capacity ? new char[capacity] : nullptr);
    if (capacity)
        std::memset(buffer.get(), 0x5A, capacity);
    size_t size = capacity;
    zul::Status status = kUnset;
    const char* returned = object.toXML(buffer.get(), &size, &status);

    const size_t needed = text.size() + 1;
    if (returned != buffer.get())
        finding(describe(what, "returned another pointer than the buffer", capacity));
    if (size != needed)
        finding(describe(what, "reported another size than the text needs", capacity));
    const zul::Status expected = capacity < needed ? zul::STATUS_BUFFER_TO_SMALL : zul::STATUS_OK;
    if (status != expected)
        finding(describe(what, "stored a wrong status", capacity));
    if (capacity == 0)
        return;
    if (buffer[capacity - 1] != 0)
        finding(describe(what, "left the last byte unterminated", capacity));
    // The copy behaves like strncpy: the text up to its first NUL, then zeros.
    const size_t copied = std::min(capacity - 1, text.size());
    const size_t stop = std::min(copied, std::strlen(text.c_str()));
    if (text.compare(0, stop, buffer.get(), stop) != 0)
        finding(describe(what, "copied other bytes than the text's", capacity));
    for (size_t i = copied; i < capacity; ++i)
        if (buffer[i] != 0)
            finding(describe(what, "did not zero the rest of the buffer", capacity));
}

std::string renderXml(const zul::Object& object, const char* what) {
    size_t size = 0;
    zul::Status status = kUnset;
    if (object.toXML(nullptr, &size, &status) != nullptr)
        finding(std::string(what) + "::toXML size query returned a pointer");
    if (status != zul::STATUS_BUFFER_TO_SMALL || size == 0)
        finding(std::string(what) + "::toXML size query did not report a size with status 24");

    const size_t needed = size;
    std::unique_ptr<char[]> buffer(new char[needed]);
    if (object.toXML(buffer.get(), &size, nullptr) != buffer.get() || size != needed)
        finding(std::string(what) + "::toXML without a status pointer changed its answer");
    std::string text(buffer.get(), needed - 1);
    if (buffer[needed - 1] != 0)
        finding(std::string(what) + "::toXML did not terminate a buffer of the size it asked for");
    // A second rendering must give the same text: nothing is cached between
    // the calls, and nothing may vary.
    checkXmlCapacity(object, text, needed, what);
    return text;
}

} // namespace fuzz
