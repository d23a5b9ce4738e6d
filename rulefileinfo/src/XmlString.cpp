#include "rulefileinfo/XmlString.h"

#include "zulx/StatusException.h"

#include <cstring>

namespace rulefileinfo {
namespace {

// An object whose text grows between the size query and the copy is asked
// again, but not forever.
constexpr int kMaxAttempts = 4;

} // namespace

std::string toXMLString(const zul::Object& object) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        size_t needed = 0;
        zul::Status status = zul::STATUS_OK;
        object.toXML(nullptr, &needed, &status);
        if (status != zul::STATUS_OK && status != zul::STATUS_BUFFER_TO_SMALL)
            throw zulx::StatusException(status);
        if (needed == 0)
            return std::string();

        std::string text(needed, '\0');
        size_t size = needed;
        status = zul::STATUS_OK;
        object.toXML(&text[0], &size, &status);
        if (status == zul::STATUS_OK) {
            text.resize(strnlen(text.data(), needed));
            return text;
        }
        if (status != zul::STATUS_BUFFER_TO_SMALL)
            throw zulx::StatusException(status);
    }
    throw zulx::StatusException(zul::STATUS_BUFFER_TO_SMALL);
}

} // namespace rulefileinfo
