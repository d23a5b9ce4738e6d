// Runs `zul probe` as an integrator does, on libraries that crash, hang or
// exit while loading or unloading and on the extension management's test
// tree, and checks the one-line verdict of every library.
#include "testsupport/Command.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <cstdlib>
#include <map>
#include <string>

namespace fs = boost::filesystem;

namespace {

struct ProbeRun : testsupport::CommandResult {
    /// File name of each library -> its line after the path.
    std::map<std::string, std::string> verdicts;
};

ProbeRun probe(const std::string& arguments) {
    // A crash must reach the probe as the signal it is, not as a sanitizer's
    // report and exit.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string options = std::string(asan ? asan : "") + ":handle_segv=0";
    ::setenv("ASAN_OPTIONS", options.c_str(), 1);

    ProbeRun run{testsupport::runCommand(std::string(ZUL_COMMAND) + " probe " + arguments), {}};
    for (const std::string& line : testsupport::lines(run.out)) {
        const size_t path = line.find('/');
        const size_t end = line.find("  ", path);
        if (path == std::string::npos || end == std::string::npos)
            continue;
        const std::string file = fs::path(line.substr(path, end - path)).filename().string();
        run.verdicts[file] = line.substr(0, line.find(' ')) + ":" + line.substr(end + 2);
    }
    return run;
}

/// The verdict line of the library whose file name contains `name`.
std::string verdictOf(const ProbeRun& run, const std::string& name) {
    std::string found;
    for (const auto& v : run.verdicts)
        if (v.first.find(name) != std::string::npos)
            found = v.second;
    return found;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(ProbeCommandTest, ReportsLibrariesThatCrashHangOrExitAndGoesOn) {
    const ProbeRun run = probe("--timeout 2 " PP_TREE);
    ASSERT_EQ(run.status, 1) << run.out << run.err; // not every library was accepted
    ASSERT_EQ(run.verdicts.size(), 4u) << run.out;

    const struct {
        const char* library;
        const char* verdict;
        const char* detail;
    } cases[] = {
        {"crash-in-register", "crashed:", "signal 11 ("},
        {"crash-in-register", "crashed:", "while loading and registering"},
        {"hang-in-register", "hung:", "no answer within 2 s while loading and registering, killed"},
        {"exit-in-register", "crashed:", "exited with status 3 while loading and registering"},
        // Past registration the probe knows the ids; the crash comes later.
        {"crash-in-unregister", "crashed:", "decoders: probe.crash-in-unregister; then signal 11"},
        {"crash-in-unregister", "crashed:", "while unregistering and unloading"},
    };
    for (const auto& c : cases) {
        const std::string line = verdictOf(run, c.library);
        EXPECT_EQ(line.rfind(c.verdict, 0), 0u) << c.library << ": " << line;
        EXPECT_TRUE(has(line, c.detail)) << c.library << ": " << line;
    }
    EXPECT_TRUE(has(run.out, "probed 4 libraries: 0 accepted, 0 rejected, 3 crashed, 1 hung"))
        << run.out;
}

TEST(ProbeCommandTest, ReportsTheLoadersVerdictOnTheTestExtensionTree) {
    ASSERT_TRUE(fs::is_directory(ZT_TREE)) << ZT_TREE;
    const ProbeRun run = probe("--timeout 20 " ZT_TREE "/good " ZT_TREE "/bad");
    ASSERT_EQ(run.status, 1) << run.out << run.err;

    const struct {
        const char* library;
        const char* verdict;
        const char* detail;
    } cases[] = {
        {"zt_decoders", "accepted:", "decoders: "},
        {"zt_decoders", "accepted:", "test.decoder.geo.a"},
        {"zt_encoders", "accepted:", "encoders: "},
        {"zt_adaptors", "accepted:", "adaptors: "},
        {"zt_deep", "accepted:", ""},
        {"not-a-library.so", "rejected:", "failed to load library: "},
        {"zt_minor_mismatch", "rejected:", "NOT loaded due to api version mismatch"},
        {"zt_major_mismatch", "rejected:", "NOT loaded due to api version mismatch"},
        {"zt_missing_minor", "rejected:", "getVersionMinor"},
        {"zt_throwing.so", "rejected:", "registration failed on purpose"},
        {"zt_throwing_unknown", "rejected:", "(unknown reason)"},
        {"zt_recursive", "rejected:", "load each other more than"},
        // A failure while unregistering is logged by the manager, not fatal.
        {"zt_unregister_throws", "accepted:", ""},
        {"zt_no_unregister", "accepted:", ""},
    };
    for (const auto& c : cases) {
        const std::string line = verdictOf(run, c.library);
        EXPECT_EQ(line.rfind(c.verdict, 0), 0u) << c.library << ": " << line << "\n" << run.out;
        EXPECT_TRUE(has(line, c.detail)) << c.library << ": " << line;
    }
    // Discovery follows the manager's rules: ".SO" is no extension library.
    EXPECT_EQ(verdictOf(run, "zt_upper"), "") << run.out;
    EXPECT_FALSE(has(run.out, "SGBDecoder")) << "the built-in decoder is not the library's";
}

TEST(ProbeCommandTest, AnInvalidPathFailsTheRunButNotTheOtherPaths) {
    const ProbeRun run =
        probe("--timeout 5 /no/such/plugin/path " PP_TREE "/libexit-in-register.so");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.err, "invalid plugin path '/no/such/plugin/path'")) << run.err;
    EXPECT_EQ(verdictOf(run, "exit-in-register").rfind("crashed:", 0), 0u) << run.out;
}

TEST(ProbeCommandTest, AFileWithAnotherSuffixIsNoLibrary) {
    const ProbeRun run = probe(std::string(ZUL_COMMAND));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.verdicts.empty()) << run.out;
    EXPECT_TRUE(has(run.out, "probed 0 libraries")) << run.out;
}

} // namespace
