// zul dump: reads class files with the class-file reader and prints their
// dump. It needs no loader: the reader is linked into the command.
#include "Context.h"

#include "classfile/ClassDump.h"
#include "classfile/ClassInfo.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace zultool {

namespace {

struct DumpArgs {
    std::vector<std::string> files;
    bool noCode = false;
};

// Discards what is written to it.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// While a class is dumped, the records' text operations may write
// diagnostic lines (the entry-equality stub, a bad reference) to the
// standard error stream; a file that cannot be dumped is reported in one
// line of its own, so those lines are held back.
class QuietStderr {
public:
    QuietStderr() : mSaved(std::cerr.rdbuf(&mNull)) {}
    ~QuietStderr() { std::cerr.rdbuf(mSaved); }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    NullBuffer mNull;
    std::streambuf* mSaved;
};

// Dumps one file to standard output; false, after a message on standard
// error, when it cannot be read or dumped. A file that fails halfway through
// its dump shows none of it.
bool dumpFile(const std::string& path, const classfile::DumpOptions& options) {
    // A directory opens like a file here and then reads as empty.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::cerr << "zul: " << path << ": " << std::strerror(EISDIR) << std::endl;
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "zul: " << path << ": " << std::strerror(errno) << std::endl;
        return false;
    }
    std::unique_ptr<classfile::ClassInfo> cls;
    try {
        cls = std::make_unique<classfile::ClassInfo>(in);
    } catch (const std::exception& e) {
        std::cerr << "zul: " << oneLine(path) << ": " << oneLine(e.what()) << std::endl;
        return false;
    }
    std::ostringstream text;
    text << "Classfile " << path << '\n';
    try {
        QuietStderr quiet;
        classfile::dumpClass(text, *cls, options);
    } catch (const std::exception& e) {
        std::cerr << "zul: " << oneLine(path) << ": not dumpable: " << oneLine(e.what())
                  << std::endl;
        return false;
    }
    std::cout << text.str() << std::flush;
    return true;
}

} // namespace

void addDumpCommand(CLI::App& app, Context&, int& status) {
    auto args = std::make_shared<DumpArgs>();
    auto* cmd = app.add_subcommand("dump", "Print the contents of class files (SGB files)");
    cmd->add_flag("--no-code", args->noCode, "Leave out the instruction listings");
    cmd->add_option("FILE", args->files, "Class files to dump")->required();
    cmd->callback([args, &status] {
        classfile::DumpOptions options;
        options.listCode = !args->noCode;
        status = 0;
        for (const std::string& path : args->files)
            if (!dumpFile(path, options))
                status = 1;
    });
}

} // namespace zultool
