// Temporary: this subcommand arrives with its issue.
#include "Context.h"

namespace zultool {

void addProbeCommand(CLI::App&, Context&, int&) {}

} // namespace zultool
