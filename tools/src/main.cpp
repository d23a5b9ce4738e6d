// zul: a command-line host for the loader. It loads the loader library with
// dlopen and calls `init`, exactly as the runtime's core does.
#include "Context.h"

#include <iostream>

int main(int argc, char** argv) {
    zultool::Context context;
    int status = 0;

    CLI::App app{"zul - load extensions and decode compiled rule files"};
    app.name("zul");
    app.fallthrough(); // global options may follow the subcommand
    app.require_subcommand(1);
    app.set_version_flag(
        "--version", [&context] { return context.versionText(); },
        "Print the version of zul and of the host API, the loader's path");
    app.add_option("--loader", context.loaderPath,
                   "Loader library to load (default: the one installed beside zul)");
    app.add_option("--log-level", context.logLevel,
                   "Show log records of this level and above on standard error")
        ->check(CLI::Range(0, 1000));

    zultool::addExtensionsCommand(app, context, status);
    zultool::addDumpCommand(app, context, status);
    zultool::addDecodeCommands(app, context, status);
    zultool::addProbeCommand(app, context, status);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::string message = e.what();
        const size_t eol = message.find('\n');
        if (eol != std::string::npos)
            message.erase(eol);
        std::cerr << "zul: " << message << " (see zul --help)" << std::endl;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "zul: " << e.what() << std::endl;
        return 1;
    }
    return status;
}
