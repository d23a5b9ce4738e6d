#include "util/RuntimeErrorST.h"

namespace util {
namespace {

// This build has no stack-capture facility; the object stands in for one so
// that a real capture can replace it without touching callers.
struct StackTraceFacility {
    std::string trace() const { return "<Stacktrace not available>"; }
};

const StackTraceFacility& facility() {
    static const StackTraceFacility instance;
    return instance;
}

} // namespace

std::string getStackTrace() {
    return facility().trace();
}

RuntimeErrorST::RuntimeErrorST(const std::string& message)
    : std::runtime_error(message), stackTrace(getStackTrace()) {}

} // namespace util
