// zul probe: load each extension library in a child process of its own and
// report what happened, so that an integrator finds the library that would
// bring a host down before any host loads it.
//
// The child loads the library through a fresh manager, exactly as a host
// would, captures the loader's log records to learn why a library was
// refused, and reports to the parent through a pipe, one JSON object per
// line: the phase it enters ("load", "list", "unload"), then its verdict and
// the ids the library registered. The parent reads with a time limit; a child
// that dies by a signal or does not finish in time is reported with the phase
// it was in and never stops the probe.
#include "Context.h"
#include "PluginScan.h"

#include "zulx/Log.h"
#include "zulx/Utf.h"

#include <boost/filesystem.hpp>
#include <nlohmann/json.hpp>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = boost::filesystem;

namespace zultool {
namespace {

using Clock = std::chrono::steady_clock;
using json = nlohmann::json;

// ---- the child --------------------------------------------------------------

void send(int fd, const json& message) {
    // Paths and the loader's messages need not be UTF-8.
    const std::string line = message.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

json idList(const std::vector<std::wstring>& ids) {
    json list = json::array();
    for (const std::wstring& id : ids)
        list.push_back(zulx::wideToUtf8(id));
    return list;
}

[[noreturn]] void runChild(Context& context, const fs::path& library, int fd) {
    // Whatever the library prints must not mix with the report on stdout.
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    // The library may log from threads of its own.
    auto records = std::make_shared<std::vector<LogRecord>>();
    auto mutex = std::make_shared<std::mutex>();
    zulx::setLogSink(
        [records, mutex](zul::LogLevel level, const std::string& text) {
            std::lock_guard<std::mutex> lock(*mutex);
            records->emplace_back(static_cast<int>(level), text);
        },
        zul::LOG_TRACE);
    // The records since the last call.
    const auto take = [&] {
        std::lock_guard<std::mutex> lock(*mutex);
        std::vector<LogRecord> taken;
        taken.swap(*records);
        return taken;
    };

    try {
        auto manager = context.createManager();
        send(fd, {{"phase", "load"}});
        manager->loadExtensionLibrary(library);
        const std::vector<LogRecord> loadRecords = take();
        const LogRecord* refusal = rejection(loadRecords);
        const std::string reason = refusal ? refusal->second : std::string();
        std::vector<std::wstring> decoders, encoders;
        manager->listDecoderIds(decoders);
        manager->listEncoderIds(encoders);

        // Stream adaptors appear only in the listing, which also asks every
        // factory for its merit and description: library code runs there too.
        // The listing adds the built-in decoder, which is not the library's
        // unless the library registered that id itself.
        send(fd, {{"phase", "list"}});
        manager->addPluginPaths(nullptr, 0);
        std::set<std::string> others = listedIds(take());
        for (const auto* list : {&decoders, &encoders})
            for (const std::wstring& id : *list)
                others.erase(zulx::wideToUtf8(id));
        if (std::find(decoders.begin(), decoders.end(), zulx::utf8ToWide(kBuiltinDecoder)) ==
            decoders.end())
            others.erase(kBuiltinDecoder);

        json result = {{"verdict", reason.empty() ? "accepted" : "rejected"}};
        if (!reason.empty())
            result["reason"] = reason;
        result["decoders"] = idList(decoders);
        result["encoders"] = idList(encoders);
        result["adaptors"] = others;
        send(fd, result);

        send(fd, {{"phase", "unload"}});
        manager.reset();
        send(fd, {{"phase", "done"}});
    } catch (const std::exception& e) {
        send(fd, {{"error", e.what()}});
    } catch (...) {
        send(fd, {{"error", "unknown exception"}});
    }
    // No destructors and no exit handlers of the library: the report is sent.
    std::fflush(nullptr);
    ::_exit(0);
}

// ---- the parent -------------------------------------------------------------

struct Outcome {
    std::string phase; ///< the last phase the child entered
    json result;       ///< the verdict message, or null
    std::string error; ///< the child's own failure, or empty
    bool done = false; ///< the child finished every phase
    bool timedOut = false;
    int waitStatus = 0;
};

void absorb(const std::string& line, Outcome& outcome) {
    const json message = json::parse(line, nullptr, false);
    if (!message.is_object())
        return;
    if (message.contains("phase")) {
        outcome.phase = message["phase"].get<std::string>();
        outcome.done = outcome.phase == "done";
    } else if (message.contains("verdict")) {
        outcome.result = message;
    } else if (message.contains("error")) {
        outcome.error = message["error"].get<std::string>();
    }
}

/// Reads the child's messages until its last one, until it closes the pipe
/// (a process the library started may hold it open) or until the time is up.
void readMessages(int fd, Clock::time_point deadline, Outcome& outcome) {
    std::string pending;
    char chunk[4096];
    while (!outcome.done) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            outcome.timedOut = true;
            return;
        }
        pollfd p = {fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR)
            return;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        pending.append(chunk, static_cast<size_t>(n));
        for (size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            absorb(pending.substr(0, eol), outcome);
            pending.erase(0, eol + 1);
        }
    }
}

/// Reaps the child, killing it when it has not ended by the deadline.
void reap(pid_t pid, Clock::time_point deadline, Outcome& outcome) {
    for (;;) {
        const pid_t r = ::waitpid(pid, &outcome.waitStatus, WNOHANG);
        if (r == pid || (r < 0 && errno != EINTR))
            return;
        if (outcome.timedOut || Clock::now() >= deadline) {
            outcome.timedOut = true;
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &outcome.waitStatus, 0) < 0 && errno == EINTR) {
            }
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::string during(const std::string& phase) {
    if (phase == "load")
        return "while loading and registering";
    if (phase == "list")
        return "while listing its factories";
    if (phase == "unload")
        return "while unregistering and unloading";
    return "before loading";
}

std::string ids(const json& result) {
    std::string text;
    for (const char* kind : {"decoders", "encoders", "adaptors"}) {
        if (!result.contains(kind) || result[kind].empty())
            continue;
        std::string list;
        for (const auto& id : result[kind])
            list += (list.empty() ? "" : ", ") + id.get<std::string>();
        text += (text.empty() ? "" : "; ") + std::string(kind) + ": " + list;
    }
    return text.empty() ? "no extensions" : text;
}

/// What went wrong with a child that did not finish, or empty.
std::string failure(const Outcome& outcome, double timeout) {
    char text[160];
    if (outcome.timedOut) {
        std::snprintf(text, sizeof text, "no answer within %g s %s, killed", timeout,
                      during(outcome.phase).c_str());
    } else if (WIFSIGNALED(outcome.waitStatus)) {
        const int sig = WTERMSIG(outcome.waitStatus);
        std::snprintf(text, sizeof text, "signal %d (%s) %s", sig, ::strsignal(sig),
                      during(outcome.phase).c_str());
    } else if (!outcome.done) {
        std::snprintf(text, sizeof text, "exited with status %d %s",
                      WIFEXITED(outcome.waitStatus) ? WEXITSTATUS(outcome.waitStatus) : -1,
                      during(outcome.phase).c_str());
    } else {
        return {};
    }
    return text;
}

struct Tally {
    int accepted = 0, rejected = 0, crashed = 0, hung = 0;
};

/// One line per library: verdict, path, then the ids, the loader's reason or
/// what killed the child (a crash after a verdict is appended to it). As
/// JSON, one object per line with the same verdict and detail and the ids.
void report(const fs::path& library, const Outcome& outcome, double timeout, bool asJson,
            Tally& tally) {
    const std::string problem = failure(outcome, timeout);
    const bool rejected = !outcome.result.is_null() && outcome.result["verdict"] == "rejected";
    std::string verdict, detail;
    if (!outcome.error.empty()) {
        verdict = "crashed";
        detail = "the probe failed: " + outcome.error;
    } else if (rejected) {
        verdict = "rejected";
        detail = outcome.result["reason"].get<std::string>();
    } else {
        verdict = problem.empty() ? "accepted" : outcome.timedOut ? "hung" : "crashed";
        if (!outcome.result.is_null())
            detail = ids(outcome.result);
    }
    if (!problem.empty() && outcome.error.empty())
        detail += (detail.empty() ? "" : "; then ") + problem;

    int& counter = verdict == "accepted"   ? tally.accepted
                   : verdict == "rejected" ? tally.rejected
                   : verdict == "hung"     ? tally.hung
                                           : tally.crashed;
    ++counter;
    if (asJson) {
        nlohmann::ordered_json record = {
            {"library", library.string()}, {"verdict", verdict}, {"detail", detail}};
        for (const char* kind : {"decoders", "encoders", "adaptors"})
            record[kind] = outcome.result.is_object() && outcome.result.contains(kind)
                               ? outcome.result[kind]
                               : json::array();
        std::printf("%s\n", record.dump(-1, ' ', false, json::error_handler_t::replace).c_str());
    } else {
        // One line per library, whatever the path or the loader's message holds.
        std::printf("%-9s %s  %s\n", verdict.c_str(), oneLine(library.string()).c_str(),
                    oneLine(detail).c_str());
    }
    std::fflush(stdout);
}

Outcome probe(Context& context, const fs::path& library, double timeout) {
    Outcome outcome;
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error(std::string("cannot create a pipe: ") + std::strerror(errno));
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw std::runtime_error(std::string("cannot start a child process: ") +
                                 std::strerror(errno));
    }
    if (pid == 0) {
        ::close(fds[0]);
        runChild(context, library, fds[1]);
    }
    ::close(fds[1]);
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(timeout));
    readMessages(fds[0], deadline, outcome);
    ::close(fds[0]);
    reap(pid, deadline, outcome);
    return outcome;
}

} // namespace

void addProbeCommand(CLI::App& app, Context& context, int& status) {
    auto* cmd = app.add_subcommand(
        "probe", "Load each extension library under the paths in a child process and report "
                 "whether it is accepted, rejected, crashes or hangs");
    auto paths = std::make_shared<std::vector<std::string>>();
    auto timeout = std::make_shared<double>(10.0);
    cmd->add_option("paths", *paths, "Extension library files or directories to scan")->required();
    cmd->add_option("--timeout", *timeout, "Seconds each library may take (default 10)")
        ->check(CLI::Range(0.01, 86400.0));
    auto asJson = std::make_shared<bool>(false);
    cmd->add_flag("--json", *asJson, "Print one JSON object per library instead of a line");
    cmd->callback([&context, &status, paths, timeout, asJson] {
        // Fails here, once, when the loader itself cannot be loaded; the
        // children inherit the loaded module.
        context.createManager().reset();

        bool valid = true;
        std::vector<fs::path> libraries;
        for (const std::string& path : *paths) {
            std::string problem;
            if (!findLibraries(path, libraries, problem)) {
                std::cerr << "zul probe: " << problem << std::endl;
                valid = false;
            }
        }

        Tally tally;
        for (const fs::path& library : libraries)
            report(library, probe(context, library, *timeout), *timeout, *asJson, tally);
        if (!*asJson)
            std::printf("probed %zu librar%s: %d accepted, %d rejected, %d crashed, %d hung\n",
                        libraries.size(), libraries.size() == 1 ? "y" : "ies", tally.accepted,
                        tally.rejected, tally.crashed, tally.hung);
        std::fflush(stdout);
        // A pipeline learns from the status that a library would not serve a host.
        const bool allAccepted = tally.accepted == static_cast<int>(libraries.size());
        status = valid && allAccepted ? 0 : 1;
    });
}

} // namespace zultool
