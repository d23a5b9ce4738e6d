// Temporary: these subcommands arrive with their issues.
#include "Context.h"

namespace zultool {

void addDumpCommand(CLI::App&, Context&, int&) {}
void addDecodeCommands(CLI::App&, Context&, int&) {}
void addProbeCommand(CLI::App&, Context&, int&) {}

} // namespace zultool
