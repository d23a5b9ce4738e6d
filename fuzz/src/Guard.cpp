#include "fuzz/Guard.h"

#include "zulx/StatusException.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <typeinfo>

namespace fuzz {
namespace {

std::string gLastError;

} // namespace

void finding(const std::string& what) {
    // stdio, not std::cerr: the targets silence std::cerr because the reader
    // writes a diagnostic line for every bad header.
    std::fprintf(stderr, "FUZZ FINDING: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void classifyCurrentException(const char* what, bool onlyRuntimeErrors) {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        // Bad input must fail on its counts and lengths before memory is
        // sized from them.
        finding(std::string(what) + ": std::bad_alloc");
    } catch (const std::runtime_error& e) {
        gLastError = e.what();
    } catch (const std::length_error& e) {
        if (onlyRuntimeErrors)
            finding(std::string(what) + ": std::length_error: " + e.what());
        gLastError = e.what();
    } catch (const zulx::StatusException& e) {
        if (onlyRuntimeErrors)
            finding(std::string(what) + ": zulx::StatusException: " + e.what());
        gLastError = e.what();
    } catch (const std::exception& e) {
        finding(std::string(what) + ": undocumented exception " + typeid(e).name() + ": " +
                e.what());
    } catch (...) {
        finding(std::string(what) + ": exception not derived from std::exception");
    }
}

const std::string& lastError() {
    return gLastError;
}

} // namespace fuzz
