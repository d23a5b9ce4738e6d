#pragma once

#include "util/Text.h"
#include "zul/Status.h"

#include <cstddef>
#include <ostream>
#include <sstream>

namespace rulefileinfo {

/// Turns the exception being handled into log records and a status: call it
/// only inside a catch block. `operation` names the failed call in the log
/// ("AnnotationImpl::toXML"); the status goes to *status when it is not null.
/// Never throws.
void handleToXMLException(const char* operation, zul::Status* status) noexcept;

/// The body of a toXML: renders the whole text with `render(std::ostream&)`
/// into a fresh stream, hands it over with the two-call buffer protocol (cut
/// and status 24 when the buffer is too small) and turns any exception into a
/// logged status. Returns `buffer`.
template <typename Render>
const char* renderToBuffer(const char* operation, char* buffer, size_t* size, zul::Status* status,
                           Render&& render) noexcept {
    try {
        std::ostringstream out;
        render(static_cast<std::ostream&>(out));
        util::copyToBuffer(out.str(), buffer, size, status);
    } catch (...) {
        handleToXMLException(operation, status);
    }
    return buffer;
}

} // namespace rulefileinfo
