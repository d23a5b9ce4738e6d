// Separate decodes may run in parallel, and the tables built on first use
// (built-in operations, enum keywords) are built once under a guard: threads
// that decode the examples at the same moment, in a process that has decoded
// nothing yet, must agree with decodes on one thread; and one rule file
// information record, read-only once filled, renders the same XML on several
// threads at once. Runs under ThreadSanitizer (label "concurrency").
#include "sgb/CPEntry.h"
#include "sgb/Enum.h"
#include "sgb/SGBDecoder.h"
#include "zul/RuleFileInfo.h"
#include "zulx/SGB.h"
#include "zulx/Utf.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr size_t kThreads = 8;

std::shared_ptr<zulx::SGB> decode(const std::string& bytes) {
    std::istringstream in(bytes);
    zulx::ContentPtrVector results;
    sgb::SGBDecoder().decode(results, in, nullptr, L"");
    return std::dynamic_pointer_cast<zulx::SGB>(results.at(0));
}

std::string xmlOf(const zul::Object& object) {
    size_t size = 0;
    object.toXML(nullptr, &size);
    std::string text(size, '\0');
    object.toXML(&text[0], &size);
    return text;
}

/// The rule file information and what the tables decided: the built-in
/// ids, the enum values and the errors of unknown built-ins.
std::string digest(const zulx::SGB& sgb) {
    std::string text = xmlOf(*sgb.data->ruleFileInfo);
    for (const SGB::CPEntry* e : sgb.data->constants) {
        if (e && e->tag == SGB::CPEntry::BUILTIN)
            text += " builtin " + std::to_string(*static_cast<const int32_t*>(e->payload));
        if (e && e->tag == SGB::CPEntry::ENUM_VALUE)
            text += " enum " +
                    std::to_string(
                        (*static_cast<const std::shared_ptr<SGB::Enum>*>(e->payload))->value);
    }
    for (const std::wstring& error : sgb.data->errors)
        text += " error " + zulx::wideToUtf8(error);
    return text;
}

/// Runs `work` on kThreads threads released at the same moment.
template <typename Work>
void together(Work work) {
    std::atomic<size_t> ready{0};
    std::vector<std::thread> threads;
    for (size_t t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < kThreads)
                std::this_thread::yield();
            work(t);
        });
    for (std::thread& thread : threads)
        thread.join();
}

TEST(ConcurrencyTest, FirstDecodesAgreeAndOneRecordRendersAlikeOnEveryThread) {
    std::vector<std::string> files;
    for (const char* name : {"Building.sgb", "Park.sgb", "Tower.sgb"}) {
        std::ifstream in(std::string(ZUL_EXAMPLES_DIR) + "/" + name, std::ios::binary);
        files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    constexpr size_t kRounds = 6;
    std::vector<std::vector<std::string>> seen(kThreads);
    together([&](size_t t) {
        for (size_t r = 0; r < kRounds; ++r)
            seen[t].push_back(digest(*decode(files[(t + r) % files.size()])));
    });
    std::vector<std::string> alone;
    for (const std::string& file : files)
        alone.push_back(digest(*decode(file)));
    EXPECT_NE(alone[0], alone[1]);
    for (size_t t = 0; t < kThreads; ++t)
        for (size_t r = 0; r < kRounds; ++r)
            EXPECT_EQ(seen[t][r], alone[(t + r) % files.size()])
                << "thread " << t << ", round " << r;

    const std::shared_ptr<zulx::SGB> shared = decode(files[0]);
    const zul::RuleFileInfo& info = *shared->data->ruleFileInfo;
    ASSERT_GT(info.getNumAnnotations(), 0u);
    const std::string whole = xmlOf(info);
    const std::string annotation = xmlOf(*info.getAnnotation(0));
    std::vector<int> mismatches(kThreads, 0);
    together([&](size_t t) {
        for (int i = 0; i < 50; ++i)
            mismatches[t] += (xmlOf(info) == whole ? 0 : 1) +
                             (xmlOf(*info.getAnnotation(0)) == annotation ? 0 : 1);
    });
    EXPECT_EQ(mismatches, std::vector<int>(kThreads, 0));
}

} // namespace
