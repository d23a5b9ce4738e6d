// `zul decode` on damaged rule files, run as a user runs it: a file that
// cannot be read ends the command with status 1 and one message line, never
// with a signal, and a good file named after it is still decoded.
#include "Inputs.h"

#include "testsupport/ClassWriter.h"
#include "testsupport/Command.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace reliability {
namespace {

using testsupport::lines;

testsupport::CommandResult runZul(const std::string& arguments) {
    return testsupport::runCommand(std::string(ZUL_COMMAND) + " " + arguments);
}

class DecodeCommandTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

/// Damaged variants of the example rule files that the decoder rejects:
/// cuts at a spread of lengths and random damage (fixed seed).
std::vector<std::string> rejectedVariants() {
    std::vector<std::string> variants;
    std::mt19937 random(0xDEC0DE);
    for (const Input& input : wellFormedInputs()) {
        if (input.name.find(".sgb") == std::string::npos)
            continue;
        const std::string& bytes = input.bytes;
        for (size_t cut : {size_t{0}, size_t{3}, size_t{9}, bytes.size() / 3, bytes.size() - 1})
            variants.push_back(bytes.substr(0, cut));
        for (int found = 0, tries = 0; found < 8 && tries < 1000; ++tries) {
            const std::string damaged = mutate(mutate(bytes, random), random);
            if (!decode(damaged).ok) {
                variants.push_back(damaged);
                ++found;
            }
        }
    }
    return variants;
}

TEST_F(DecodeCommandTest, ADamagedFileEndsWithStatusOneAndOneMessageLine) {
    const std::vector<std::string> variants = rejectedVariants();
    ASSERT_GE(variants.size(), 20u);
    for (size_t i = 0; i < variants.size(); ++i) {
        const std::string file = dir.write("damaged" + std::to_string(i) + ".sgb", variants[i]);
        const testsupport::CommandResult run = runZul("decode --xml-per-file " + file);
        ASSERT_FALSE(run.signaled) << file;
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_EQ(run.out, "") << file;
        // The reader may write diagnostic lines first; the command's own
        // message is one line, the last, naming the file.
        const std::vector<std::string> errLines = lines(run.err);
        ASSERT_FALSE(errLines.empty()) << file;
        const std::string& message = errLines.back();
        EXPECT_EQ(message.rfind("zul: " + file + ": ", 0), 0u) << message;
        EXPECT_GT(message.size(), ("zul: " + file + ": ").size()) << message;
        int commandLines = 0;
        for (const std::string& line : errLines)
            commandLines += line.rfind("zul: ", 0) == 0 ? 1 : 0;
        EXPECT_EQ(commandLines, 1) << file;
    }
}

TEST_F(DecodeCommandTest, AGoodFileAfterADamagedOneIsStillDecoded) {
    const Input* example = nullptr;
    for (const Input& input : wellFormedInputs())
        if (input.name.find(".sgb") != std::string::npos && decode(input.bytes).ok)
            example = &input;
    ASSERT_NE(example, nullptr);
    const std::string bad =
        dir.write("bad.sgb", example->bytes.substr(0, example->bytes.size() / 2));
    const std::string good = dir.write("good.sgb", example->bytes);

    const testsupport::CommandResult run = runZul("decode --xml-per-file " + bad + " " + good);
    EXPECT_FALSE(run.signaled);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out.rfind("<rulefileinfo>", 0), 0u) << run.out;
    // The good file's warnings may follow; the one failure line names the bad file.
    std::vector<std::string> failures;
    for (const std::string& line : lines(run.err))
        if (line.rfind("zul: ", 0) == 0)
            failures.push_back(line);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].rfind("zul: " + bad + ": ", 0), 0u) << failures[0];
}

TEST_F(DecodeCommandTest, TextFromTheFileCannotBreakTheMessageLine) {
    // The message names an enum class that the table lacks, taken from the
    // file as it is: with a line break and a tab in it.
    testsupport::ClassWriter w;
    w.thisClass = w.classNamed("T");
    w.superClass = w.classNamed("java/lang/Object");
    w.fieldRef("com/ulno/gc/Bad\nLine\tEnd", "x", "I");
    const std::string file = dir.write("newline.sgb", w.str());

    const testsupport::CommandResult run = runZul("decode --xml-per-file " + file);
    EXPECT_FALSE(run.signaled);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "zul: " + file + ": No enum 'Bad\\nLine\\tEnd' found in map!\n");
}

} // namespace
} // namespace reliability
