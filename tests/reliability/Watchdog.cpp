#include "Watchdog.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace reliability {
namespace {

// Written before each decode and read only by the signal handler.
char gWhat[256];

void onAlarm(int) {
    static const char kHead[] = "\nWATCHDOG: no result within the time limit for ";
    ssize_t ignored = ::write(STDERR_FILENO, kHead, sizeof kHead - 1);
    ignored = ::write(STDERR_FILENO, gWhat, ::strnlen(gWhat, sizeof gWhat));
    ignored = ::write(STDERR_FILENO, "\n", 1);
    static_cast<void>(ignored);
    ::_exit(1);
}

} // namespace

Watchdog::Watchdog(unsigned seconds) : mSeconds(seconds) {
    struct sigaction action = {};
    action.sa_handler = onAlarm;
    ::sigaction(SIGALRM, &action, nullptr);
}

Watchdog::~Watchdog() {
    ::alarm(0);
    ::signal(SIGALRM, SIG_DFL);
}

void Watchdog::arm(const std::string& what) {
    ::alarm(0);
    std::strncpy(gWhat, what.c_str(), sizeof gWhat - 1);
    gWhat[sizeof gWhat - 1] = 0;
    ::alarm(mSeconds);
}

} // namespace reliability
