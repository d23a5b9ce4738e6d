#include "Context.h"

#include <iostream>

namespace zultool {

void addExtensionsCommand(CLI::App& app, Context& context, int& status) {
    auto* cmd = app.add_subcommand("extensions", "Scan plugin paths and list the extensions");
    cmd->callback([&context, &status] {
        context.installLogSink();
        auto manager = context.createManager();
        const std::wstring dir =
            std::wstring(context.defaultPluginDir().begin(), context.defaultPluginDir().end());
        const wchar_t* paths[] = {dir.c_str()};
        manager->addPluginPaths(paths, 1);
        status = 0;
    });
}

} // namespace zultool
