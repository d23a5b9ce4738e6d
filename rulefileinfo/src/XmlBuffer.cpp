#include "rulefileinfo/XmlBuffer.h"

#include "util/Log.h"
#include "util/RuntimeErrorST.h"
#include "zulx/StatusException.h"

#include <boost/format.hpp>

#include <exception>
#include <new>
#include <string>

namespace rulefileinfo {
namespace {

// The finished message is handed to the formatter as its format text, the
// way every caught exception of a host-facing call is reported.
void logCaught(const char* operation, const std::exception& e) {
    const std::string text =
        (boost::format("%s failed, exception caught: '%s'") % operation % e.what()).str();
    util::Log<zul::LOG_ERROR>(text.c_str());
}

} // namespace

void handleToXMLException(const char* operation, zul::Status* status) noexcept {
    if (!operation)
        operation = "toXML";
    zul::Status result = zul::STATUS_UNSPECIFIED_ERROR;
    // The status must reach the caller even when logging itself fails, so the
    // status is decided before anything is logged and logging errors are
    // swallowed by the outer handler.
    try {
        if (!std::current_exception())
            throw std::logic_error("handleToXMLException called outside a catch block");
        try {
            throw;
        } catch (const util::RuntimeErrorST& e) {
            logCaught(operation, e);
            util::Log<zul::LOG_ERROR>("Stacktrace: %s") % e.stackTrace;
        } catch (const zulx::StatusException& e) {
            result = e.getStatus();
            logCaught(operation, e);
            util::Log<zul::LOG_ERROR>("Status code = %d = %s") % static_cast<int>(e.getStatus()) %
                zul::getStatusDescription(e.getStatus());
        } catch (const std::bad_alloc&) {
            // Out of memory: logging would most likely fail as well.
        } catch (const std::exception& e) {
            logCaught(operation, e);
        } catch (...) {
            util::Log<zul::LOG_ERROR>("%s failed, unknown exception caught.") % operation;
        }
    } catch (...) {
    }
    if (status)
        *status = result;
}

} // namespace rulefileinfo
