#include "fuzz/Guard.h"

#include "zulx/StatusException.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <stdexcept>
#include <typeinfo>

namespace fuzz {

void finding(const std::string& what) {
    // stdio, not std::cerr: the targets silence std::cerr because the reader
    // writes a diagnostic line for every bad header.
    std::fprintf(stderr, "FUZZ FINDING: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void classifyCurrentException(const char* what) {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        // Bad input must fail on its counts and lengths before memory is
        // sized from them.
        finding(std::string(what) + ": std::bad_alloc");
    } catch (const std::runtime_error&) {
    } catch (const std::length_error&) {
    } catch (const zulx::StatusException&) {
    } catch (const std::exception& e) {
        finding(std::string(what) + ": undocumented exception " + typeid(e).name() + ": " +
                e.what());
    } catch (...) {
        finding(std::string(what) + ": exception not derived from std::exception");
    }
}

} // namespace fuzz
