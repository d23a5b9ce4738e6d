#pragma once

#include <boost/filesystem/path.hpp>

#include <string>

namespace loader {

/// The platform's dynamic loading, and nothing else: every other part of the
/// loader sees a module only as an opaque handle. Every failure is a
/// std::runtime_error whose text ends with the system's error text.

/// Loads the module at `path` with every symbol resolved at once.
void* loadSharedLibrary(const boost::filesystem::path& path);
/// The address of the exported function `name` of a loaded module.
void* getSharedLibraryFunction(void* handle, const char* name);
/// Unloads the module unless `handle` is null; then sets `handle` to null. On
/// failure the handle is left unchanged.
void unloadSharedLibrary(void*& handle);
/// The system's text for the last dynamic-loading error of this thread.
std::string getSystemErrorText();

} // namespace loader
