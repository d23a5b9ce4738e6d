#include "TextWriter.h"

#include <ios>
#include <locale>

namespace classfile {

namespace {

// Whether the stream writes an integer exactly as to_chars does: decimal,
// no sign or base prefix, no padding, and no digit grouping in its locale.
bool plainNumbers(const std::ostream& out) {
    const std::ios::fmtflags flags = out.flags();
    const std::ios::fmtflags base = flags & std::ios::basefield;
    if ((base != std::ios::dec && base != std::ios::fmtflags(0)) ||
        (flags & (std::ios::showpos | std::ios::showbase)) || out.width() != 0)
        return false;
    return std::use_facet<std::numpunct<char>>(out.getloc()).grouping().empty();
}

} // namespace

TextWriter::TextWriter(std::ostream& out) : mOut(out), mDirect(!plainNumbers(out)) {}

TextWriter::~TextWriter() {
    try {
        flush();
    } catch (...) {
        // A stream set to throw on failure: the text is lost either way.
    }
}

TextWriter& TextWriter::operator<<(double value) {
    flush();
    mOut << value;
    return *this;
}

void TextWriter::flush() {
    if (mText.empty())
        return;
    const std::string_view text = mText.view();
    mOut.write(text.data(), static_cast<std::streamsize>(text.size()));
    mText.clear();
}

} // namespace classfile
