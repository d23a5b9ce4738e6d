#pragma once

// Symbols of the host core library that other modules (the loader, extension
// libraries, applications) link against. Everything else stays hidden.
#if defined(ZUL_CORE_BUILDING)
#define ZUL_CORE_API __attribute__((visibility("default")))
#else
#define ZUL_CORE_API __attribute__((visibility("default")))
#endif
