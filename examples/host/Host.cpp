// A host that decodes one compiled rule file: it loads the loader, scans the
// plugin directory of the zul installation that CMake found, and asks the
// manager for a stream adaptor and a decoder.
#include "zulx/Extension.h"
#include "zulx/ExtensionManager.h"
#include "zulx/Log.h"
#include "zulx/SGB.h"
#include "zulx/StatusException.h"
#include "zulx/URI.h"

#include <dlfcn.h>

#include <iostream>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: zul-host-example RULEFILE\n";
        return 2;
    }
    // Warnings and errors of the manager, the plugins and the decoder.
    zulx::setLogSink(
        [](zul::LogLevel level, const std::string& text) {
            std::cerr << '[' << static_cast<int>(level) << "] " << text << '\n';
        },
        zul::LOG_WARNING);

    // ZUL_LOADER and ZUL_PLUGIN_DIR come from the package (CMakeLists.txt).
    void* loader = dlopen(ZUL_LOADER, RTLD_NOW | RTLD_LOCAL);
    void* entry = loader ? dlsym(loader, "init") : nullptr;
    if (!entry) {
        std::cerr << "cannot load the loader: " << dlerror() << '\n';
        return 1;
    }
    const auto init = reinterpret_cast<zulx::LoaderInitFunction>(entry);

    int status = 1;
    {
        std::unique_ptr<zulx::ExtensionManager> manager(init(nullptr));
        const wchar_t* paths[] = {L"" ZUL_PLUGIN_DIR};
        manager->addPluginPaths(paths, 1); // registers the SGB decoder, loads plugins

        // Every extension is released at the end of this block, before the
        // manager: the manager unloads the code of the plugins.
        try {
            const auto uri = zulx::URI::create(std::string(argv[1]));
            const auto adaptor = manager->createStreamAdaptor(uri);
            const auto stream = adaptor->createStream(uri);
            const auto decoder = manager->createMatchingDecoder(zul::CT_SGB, uri);
            zulx::ContentPtrVector results;
            decoder->decode(results, *stream, nullptr, L"");
            const auto sgb =
                results.empty() ? nullptr : std::dynamic_pointer_cast<zulx::SGB>(results.back());
            if (!sgb) {
                std::cerr << argv[1] << ": the decoder returned no compiled rules\n";
            } else {
                std::cout << argv[1] << ": " << sgb->data->constants.size() << " constants, "
                          << sgb->data->errors.size() << " errors, " << sgb->data->warnings.size()
                          << " warnings\n";
                status = sgb->data->errors.empty() ? 0 : 1;
            }
        } catch (const zulx::StatusException& e) {
            std::cerr << argv[1] << ": status " << e.getStatus() << " (" << e.what() << ")\n";
        } catch (const std::exception& e) {
            // No adaptor or decoder for the URI (std::invalid_argument), a
            // file that cannot be opened or read (std::runtime_error).
            std::cerr << argv[1] << ": " << e.what() << '\n';
        }
    }
    dlclose(loader);
    return status;
}
