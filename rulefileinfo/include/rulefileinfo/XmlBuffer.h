#pragma once

#include "util/Text.h"
#include "zul/Status.h"

#include <cstddef>
#include <string>

namespace rulefileinfo {

/// Turns the exception being handled into log records and a status: call it
/// only inside a catch block. `operation` names the failed call in the log
/// ("AnnotationImpl::toXML"); the status goes to *status when it is not null.
/// Never throws.
void handleToXMLException(const char* operation, zul::Status* status) noexcept;

/// The body of a toXML: renders the whole text with `render(std::string&)`
/// into a fresh string, hands it over with the two-call buffer protocol (cut
/// and status 24 when the buffer is too small) and turns any exception into a
/// logged status. Returns `buffer`.
template <typename Render>
const char* renderToBuffer(const char* operation, char* buffer, size_t* size, zul::Status* status,
                           Render&& render) noexcept {
    try {
        std::string text;
        render(text);
        util::copyToBuffer(text, buffer, size, status);
    } catch (...) {
        handleToXMLException(operation, status);
    }
    return buffer;
}

} // namespace rulefileinfo
