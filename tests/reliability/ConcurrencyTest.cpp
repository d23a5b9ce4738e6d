// Separate decodes may run in parallel, and the tables built on first use
// are built once under a guard: threads that decode the examples at the same
// moment, in a process that has not decoded anything yet, must agree with
// each other and with a decode on one thread. Runs under ThreadSanitizer.
#include "Inputs.h"

#include "sgb/SGBDecoder.h"
#include "zul/RuleFileInfo.h"
#include "zulx/SGB.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace reliability {
namespace {

constexpr size_t kThreads = 4;

std::shared_ptr<zulx::SGB> decodeObject(const std::string& bytes) {
    std::istringstream in(bytes);
    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results;
    decoder.decode(results, in, nullptr, L"");
    return std::dynamic_pointer_cast<zulx::SGB>(results.at(0));
}

std::string xmlOf(const zul::Object& object) {
    size_t size = 0;
    object.toXML(nullptr, &size);
    std::string text(size, '\0');
    object.toXML(&text[0], &size);
    return text;
}

/// The XML of every example that decodes, in input order ("" for the others).
std::vector<std::string> decodeAll() {
    std::vector<std::string> xml;
    for (const Input& input : wellFormedInputs()) {
        try {
            xml.push_back(xmlOf(*decodeObject(input.bytes)->data->ruleFileInfo));
        } catch (const std::runtime_error&) {
            xml.emplace_back();
        }
    }
    return xml;
}

/// Runs `work` on kThreads threads released at the same moment.
template <typename Work>
void together(Work work) {
    std::atomic<size_t> ready{0};
    std::vector<std::thread> threads;
    for (size_t t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < kThreads) {
            }
            work(t);
        });
    for (std::thread& thread : threads)
        thread.join();
}

TEST(ParallelDecodeTest, FirstDecodesOnSeveralThreadsAgree) {
    std::vector<std::vector<std::string>> results(kThreads);
    together([&](size_t t) { results[t] = decodeAll(); });

    const std::vector<std::string> alone = decodeAll();
    size_t decoded = 0;
    for (const std::string& xml : alone)
        decoded += xml.empty() ? 0u : 1u;
    EXPECT_GE(decoded, 3u) << "the examples decode";
    for (size_t t = 0; t < kThreads; ++t)
        EXPECT_EQ(results[t], alone) << "thread " << t;
}

TEST(ParallelDecodeTest, OneRecordRendersTheSameOnSeveralThreads) {
    std::shared_ptr<zulx::SGB> object;
    for (const Input& input : wellFormedInputs())
        if (input.name.find(".sgb") != std::string::npos)
            object = decodeObject(input.bytes);
    ASSERT_TRUE(object);
    const zul::RuleFileInfo& info = *object->data->ruleFileInfo;
    const std::string expected = xmlOf(info);

    std::vector<int> mismatches(kThreads, 0);
    together([&](size_t t) {
        for (int i = 0; i < 50; ++i) {
            mismatches[t] += xmlOf(info) == expected ? 0 : 1;
            if (info.getNumAnnotations() > 0)
                mismatches[t] += xmlOf(*info.getAnnotation(0)).empty() ? 1 : 0;
        }
    });
    for (size_t t = 0; t < kThreads; ++t)
        EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

} // namespace
} // namespace reliability
