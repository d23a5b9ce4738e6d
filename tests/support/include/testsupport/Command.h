#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

/// How a command run through the shell ended and what it wrote.
struct CommandResult {
    int status = -1;       ///< exit status, or 128 + the signal that ended it
    bool signaled = false; ///< ended by a signal (itself or the shell's child)
    std::string out;
    std::string err;
};

/// Runs `command` with /bin/sh and captures both output streams. Each call
/// has files of its own, so test cases may run in parallel processes.
inline CommandResult runCommand(const std::string& command) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = tmp && *tmp ? tmp : "/tmp";
    std::string paths[2] = {dir + "/zul-test-out-XXXXXX", dir + "/zul-test-err-XXXXXX"};
    for (std::string& path : paths) {
        const int fd = ::mkstemp(&path[0]);
        if (fd >= 0)
            ::close(fd);
    }
    const std::string full = "( " + command + " ) >'" + paths[0] + "' 2>'" + paths[1] + "'";
    const int raw = std::system(full.c_str());
    CommandResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    r.signaled = WIFSIGNALED(raw) || r.status > 128;
    std::string* texts[2] = {&r.out, &r.err};
    for (int i = 0; i < 2; ++i) {
        std::ifstream in(paths[i], std::ios::binary);
        texts[i]->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::remove(paths[i].c_str());
    }
    return r;
}

} // namespace testsupport
