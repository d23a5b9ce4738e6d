// zul dump as a command: every file is dumped or reported, and the status
// says whether all of them could be read and dumped.
#include "DumpHelpers.h"

#include "testsupport/Command.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

using dumptest::classWriter;
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
    // Reads, but its constant value names a method reference whose class slot holds text.
    ClassWriter u = classWriter();
    const uint16_t notAClass = u.utf8("a/B");
    const uint16_t badRef = u.refEntry(10, notAClass, u.nameAndType("run", "()V"));
    u.addField(0x0008, "f", "I", {u.constantValue(badRef)});
    const std::string undumpable = mDir.write("undumpable.class", u.str());

    const Result r =
        run({good, missing, garbage, tooNew, truncated, mDir.path(), undumpable, good});
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
    // One line of its own; the record's diagnostic line and its partial dump are held back.
    EXPECT_NE(r.err.find("zul: " + undumpable + ": not dumpable: Reading SGB error:  pool[" +
                         std::to_string(notAClass) + "] != CPEClass\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("CPERef"), std::string::npos);
    EXPECT_EQ(r.out.find("Classfile " + undumpable), std::string::npos);
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

TEST_F(DumpCommand, NeedsAFile) {
    const Result r = run({});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("zul: "), std::string::npos);
}

} // namespace
