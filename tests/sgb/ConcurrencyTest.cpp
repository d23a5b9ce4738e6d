// Runs as its own process (one CTest test per case), so the decodes below are
// the first users of the built-in and enum tables.
#include "sgbtest/Decode.h"
#include "sgbtest/RecordText.h"
#include "sgbtest/RuleFileWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using sgbtest::Arg;
using sgbtest::RuleFileWriter;

std::string ruleFile(int variant) {
    RuleFileWriter f("rules/Variant" + std::to_string(variant));
    f.fileAnnotations({RuleFileWriter::version(variant == 2 ? "1.9" : "1.10", "1.0")});
    f.addAttr("height", "()D", {{"@Range", {Arg::number("min", variant), Arg::number("max", 9)}}});
    f.addRule("Lot", "(DD)V", {{"w", "D"}, {"d", "D"}}, {{"$StartRule", {}}});
    f.addRule("Facade", "(Ljava/lang/String;)V", {{"style", "Ljava/lang/String;"}},
              {{"$Group", {Arg::text("", "Walls"), Arg::number("", variant)}}});
    f.ownCall("Facade", "(Ljava/lang/String;)V");
    f.ownCall("Lot", "(DD)V");
    f.builtinCall("extrude", "(D)V");
    f.builtinCall("_$getHandle", "(DD)D");
    f.builtinCall("_$createShape", "()V");
    f.enumConstant("AreaSelector", variant == 1 ? "world$west" : "front");
    f.enumConstant("Setback", "uv$vMax");
    f.enumConversion("Comp");
    f.ownField("height");
    f.w.string("variant " + std::to_string(variant));
    return f.str();
}

TEST(ConcurrencyTest, EightThreadsDecodeSameAndDifferentFilesFromFirstUse) {
    constexpr size_t kThreads = 8;
    constexpr size_t kRounds = 20;
    const std::vector<std::string> files{ruleFile(0), ruleFile(1), ruleFile(2)};

    std::atomic<size_t> ready{0};
    std::vector<std::vector<std::string>> seen(kThreads);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            // Start together so that the first decodes race for the tables.
            ++ready;
            while (ready.load() < kThreads)
                std::this_thread::yield();
            for (size_t r = 0; r < kRounds; ++r) {
                const auto sgb = sgbtest::decode(files[(t + r) % files.size()]);
                seen[t].push_back(sgbtest::recordText(*sgb->data));
            }
        });
    for (std::thread& thread : threads)
        thread.join();

    std::vector<std::string> expected;
    for (const std::string& file : files)
        expected.push_back(sgbtest::recordText(*sgbtest::decode(file)->data));
    EXPECT_NE(expected[0], expected[1]);
    for (size_t t = 0; t < kThreads; ++t)
        for (size_t r = 0; r < kRounds; ++r)
            EXPECT_EQ(seen[t][r], expected[(t + r) % files.size()]) << t << " " << r;
}

} // namespace
