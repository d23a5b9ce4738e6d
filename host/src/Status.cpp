#include "zul/Status.h"
#include "zulx/StatusException.h"

namespace zul {

const char* getStatusDescription(int32_t status) {
    switch (status) {
    case STATUS_OK:
        return "Success";
    case STATUS_UNSPECIFIED_ERROR:
        return "Unspecified error";
    case STATUS_OUT_OF_MEM:
        return "Out of memory";
    case STATUS_NO_RULEFILE:
        return "No rule file";
    case STATUS_ILLEGAL_ARGUMENT:
        return "Illegal argument";
    case STATUS_FILE_NOT_FOUND:
        return "File not found";
    case STATUS_DECODER_NOT_FOUND:
        return "Decoder not found";
    case STATUS_ENCODER_NOT_FOUND:
        return "Encoder not found";
    case STATUS_BUFFER_TO_SMALL:
        return "Buffer too small";
    case STATUS_ILLEGAL_CONSTANT_POOL_NAME_INDEX:
        return "Illegal constant pool name index";
    default:
        return "Unknown status";
    }
}

} // namespace zul

namespace zulx {

StatusException::~StatusException() = default;

const char* StatusException::what() const noexcept {
    return zul::getStatusDescription(mStatus);
}

} // namespace zulx
