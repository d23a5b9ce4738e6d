#pragma once

#include "zulx/ExtensionManager.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zultool {

/// What every subcommand shares: the global options and the loader module.
class Context {
public:
    Context();
    ~Context();

    std::string loaderPath; ///< --loader; empty: the loader beside the command
    int logLevel = 3;       ///< --log-level: records of this level and above are shown

    /// Loads the loader library (once) and creates a manager through `init`,
    /// exactly as the host does. Throws std::runtime_error with a clear text.
    std::unique_ptr<zulx::ExtensionManager> createManager();
    /// createManager, then addPluginPaths with the default plugin directory
    /// (unless `withDefaultPlugins` is false) followed by `plugins`.
    std::unique_ptr<zulx::ExtensionManager> createManager(const std::vector<std::string>& plugins,
                                                          bool withDefaultPlugins);

    /// The plugin directory that ships beside the command.
    std::string defaultPluginDir() const;
    /// The loader library that ships beside the command.
    std::string defaultLoaderPath() const;

    /// The loader library that createManager loads: --loader or the default.
    std::string effectiveLoaderPath() const;
    /// effectiveLoaderPath made absolute, without "." and "..".
    std::string resolvedLoaderPath() const;
    /// What `zul --version` prints: the tool's version, the host API version
    /// and the loader's path.
    std::string versionText() const;

    /// Installs the log sink that prints records to standard error.
    void installLogSink();
    /// While holding, records that would be printed are kept instead; they
    /// are handed back by releaseLog, which stops holding.
    void holdLog();
    std::vector<std::pair<int, std::string>> releaseLog();
    /// Prints one record as the sink does.
    static void printRecord(int level, const std::string& text);

private:
    std::string executableDir() const;
    bool mHolding = false;
    std::vector<std::pair<int, std::string>> mHeld;
    void* mLoaderHandle = nullptr;
    zulx::LoaderInitFunction mInit = nullptr;
};

/// True for the file name "-", which stands for standard input.
inline bool isStdin(const std::string& file) {
    return file == "-";
}

/// `text` with its control characters written as \n, \r, \t or \xNN, so that a
/// message that quotes a file's contents stays on one line.
std::string oneLine(const std::string& text);

// Each subcommand registers itself on the application; its callback stores the
// exit status in `status`.
void addExtensionsCommand(CLI::App& app, Context& context, int& status);
void addDumpCommand(CLI::App& app, Context& context, int& status);
void addDecodeCommands(CLI::App& app, Context& context, int& status);
void addProbeCommand(CLI::App& app, Context& context, int& status);

} // namespace zultool
