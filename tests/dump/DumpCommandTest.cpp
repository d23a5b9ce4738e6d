// zul dump as a command: every file is dumped or reported, and the status
// says whether all of them could be read.
#include "DumpHelpers.h"

#include "testsupport/Command.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

using dumptest::classWriter;
using testsupport::Bytes;
using testsupport::ClassWriter;

namespace {

using Result = testsupport::CommandResult;

class DumpCommand : public testing::Test {
protected:
    Result run(const std::vector<std::string>& args) {
        std::string command = "'" + std::string(ZUL_COMMAND) + "' dump";
        for (const std::string& a : args)
            command += " '" + a + "'";
        return testsupport::runCommand(command);
    }

    testsupport::TempDir mDir;
};

TEST_F(DumpCommand, UnreadableFilesAreReportedAfterTheOthersAreDumped) {
    const std::string good = std::string(ZUL_DUMP_DATA_DIR) + "/classes/dump/Switches.class";
    const std::string missing = mDir.file("missing.class");
    const std::string garbage = mDir.write("garbage.class", "hello, world");
    ClassWriter w = classWriter();
    w.majorVersion = 51;
    const std::string tooNew = mDir.write("new.class", w.str());
    ClassWriter t = classWriter();
    const std::string truncated = mDir.write("cut.class", t.str().substr(0, 20));

    const Result r = run({good, missing, garbage, tooNew, truncated, mDir.path(), good});
    EXPECT_EQ(r.status, 1);
    const std::string head = "Classfile " + good + "\nmagic=0xcafebabe\n";
    EXPECT_EQ(r.out.rfind(head, 0), 0u);
    EXPECT_NE(r.out.find(head, 1), std::string::npos) << "the last file is dumped too";
    EXPECT_NE(r.err.find("zul: " + missing + ": No such file or directory\n"), std::string::npos);
    EXPECT_NE(
        r.err.find("zul: " + garbage + ": SGB file contains invalid magic word '0x68656c6c'\n"),
        std::string::npos);
    EXPECT_NE(r.err.find("zul: " + tooNew +
                         ": SGB file contains bytecode of version 51.0, not supported.\n"),
              std::string::npos);
    EXPECT_NE(r.err.find("zul: " + truncated + ": unexpected end of input"), std::string::npos);
    EXPECT_NE(r.err.find("zul: " + mDir.path() + ": Is a directory\n"), std::string::npos);
}

TEST_F(DumpCommand, AllReadableMeansStatusZero) {
    const std::string good = std::string(ZUL_DUMP_DATA_DIR) + "/classes/dump/Constants.class";
    const Result r = run({good});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find(" ldc2_w #"), std::string::npos);
    const Result brief = run({"--no-code", good});
    EXPECT_EQ(brief.status, 0);
    EXPECT_EQ(brief.out.find(" ldc2_w #"), std::string::npos);
    EXPECT_NE(brief.out.find("code={\n          }"), std::string::npos);
}

TEST_F(DumpCommand, BadIndicesAndBranchTargetsDoNotStopTheDump) {
    ClassWriter w = classWriter();
    w.interfaces = {w.classNamed("java/lang/Runnable")};
    const uint16_t bad = w.rawEntry(8, Bytes().u2(4000));
    const uint16_t nameless = w.classEntry(0);
    w.addMethod(0x0009, "m", "()V",
                {w.code(1, 300,
                        {0x12, static_cast<uint8_t>(bad), 0xBB, 0, static_cast<uint8_t>(nameless),
                         0xA7, 0x80, 0x00, 0xC4, 0x15, 0xFF},
                        {{0, 50, 60, 4000}}, {w.localVariableTable({{0, 1, 4000, 4001, 3}})})});
    w.addAttribute(w.sourceFile("Bad.java"));
    const std::string path = mDir.write("bad.class", w.str());
    const Result r = run({path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << "diagnostic lines of the records are held back";
    EXPECT_NE(r.out.find("\n      0 ldc #" + std::to_string(bad) + " <error: "), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("[0]={start_pc=0; end_pc=50; handler_pc=60; catch_type=4000}\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("class attributes:\n  [0] name=SourceFile"), std::string::npos);
}

TEST_F(DumpCommand, NeedsAFile) {
    const Result r = run({});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("zul: "), std::string::npos);
}

} // namespace
