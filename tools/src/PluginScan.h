#pragma once

#include <boost/filesystem/path.hpp>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zultool {

/// A log record: level and text.
using LogRecord = std::pair<int, std::string>;

/// Appends the extension libraries that a plugin path names, found by the
/// rules of addPluginPaths. False when the path does not exist or cannot be
/// walked; the reason is written to `problem`.
bool findLibraries(const std::string& path, std::vector<boost::filesystem::path>& out,
                   std::string& problem);

/// True when `path` is itself an extension library file (not a directory).
bool isExtensionLibrary(const boost::filesystem::path& path);

/// The loader's record that says why it refused a library, or nullptr. The
/// loader catches every failure of a library and only logs it.
const LogRecord* rejection(const std::vector<LogRecord>& records);

/// The ids of the last "Available Extensions:" listing among `records`.
std::set<std::string> listedIds(const std::vector<LogRecord>& records);

/// The built-in decoder that every listing adds.
extern const char* const kBuiltinDecoder;

} // namespace zultool
