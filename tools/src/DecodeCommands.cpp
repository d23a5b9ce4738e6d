// Temporary: this subcommand arrives with its issue.
#include "Context.h"

namespace zultool {

void addDecodeCommands(CLI::App&, Context&, int&) {}

} // namespace zultool
