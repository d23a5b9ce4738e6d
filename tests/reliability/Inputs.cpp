#include "Inputs.h"

#include "AllocationCounter.h"

#include "testsupport/ClassWriter.h"

#include <boost/filesystem.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace fs = boost::filesystem;

namespace reliability {
namespace {

void collect(const fs::path& root, const std::string& extension, std::vector<Input>& out) {
    std::vector<fs::path> paths;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        if (fs::is_regular_file(entry.path()) && entry.path().extension() == extension)
            paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        std::ifstream file(path.string(), std::ios::binary);
        out.push_back(
            {fs::relative(path, root.parent_path()).generic_string(),
             std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())});
    }
}

/// A class with entries of every tag and attributes of every layout that the
/// reader knows, nested annotations and element values of every kind included.
std::string richClass() {
    using EV = testsupport::ElementValueSpec;
    testsupport::ClassWriter w;
    w.thisClass = w.classNamed("T");
    w.superClass = w.classNamed("java/lang/Object");
    w.unicode("uni");
    w.floating(2.5f);
    const uint16_t big = w.longValue(1LL << 40);
    const uint16_t num = w.integer(7);
    const uint16_t str = w.string("text");
    const uint16_t mref = w.methodRef("T", "run", "(I)V");
    w.interfaceMethodRef("p/I", "go", "()V");
    const uint16_t iface = w.classNamed("p/I");
    w.interfaces = {iface};
    const auto inner = w.annotation("LIn;", {{"v", EV::constant('J', big)}});
    const uint16_t e = w.utf8("LE;");
    const uint16_t one = w.utf8("ONE");
    const uint16_t cls = w.utf8("LT;");
    const auto ann =
        w.annotation("LA;", {{"e", EV::enumValue(e, one)},
                             {"c", EV::classValue(cls)},
                             {"a", EV::array({EV::constant('I', num), EV::nested(inner)})},
                             {"q", EV::bare('q')}});
    w.addField(0x19, "K", "I", {w.constantValue(num), w.synthetic(), w.deprecated()});
    w.addField(0x02, "f", "J", {w.annotations({ann}), w.annotations({inner}, false)});
    const auto code = w.code(
        2, 3, {0x2A, 0x12, static_cast<uint8_t>(str), 0xB6, 0, static_cast<uint8_t>(mref), 0xB1},
        {{0, 5, 6, iface}},
        {w.lineNumberTable({{0, 1}, {4, 2}}),
         w.localVariableTable({w.local(0, 7, "this", "LT;", 0), w.local(1, 6, "n", "I", 1)}),
         w.stackMap({{4, {{7, 2}, {1, 0}, {8, 1}}, {{5, 0}}}}),
         w.attribute("StackMapTable", {1, 2, 3})});
    w.addMethod(0x01, "run", "(I)V",
                {code, w.exceptions({iface}), w.parameterAnnotations({{ann}, {}}),
                 w.parameterAnnotations({{inner}}, false)});
    w.addAttribute(w.sourceFile("T.java"));
    w.addAttribute(w.innerClasses({{iface, 2, 1, 0x0009}}));
    w.addAttribute(w.annotations({ann}));
    return w.str();
}

} // namespace

const std::vector<Input>& wellFormedInputs() {
    static const std::vector<Input> inputs = [] {
        std::vector<Input> all;
        collect(ZUL_EXAMPLES_DIR, ".sgb", all);
        collect(ZUL_TEST_DATA_DIR, ".class", all);
        all.push_back({"rich class", richClass()});
        return all;
    }();
    return inputs;
}

bool runWithinBudget(bool (*run)(const uint8_t*, size_t), const std::string& bytes,
                     const std::string& what) {
    const PeakScope scope;
    const bool accepted = run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    // Intact inputs peak at under 10 times their size. The allowance covers
    // the reader's block cache, reservations of at most a thousand records
    // for counts that a stream of unknown size cannot check, and reads of
    // long texts in 64 KiB steps.
    EXPECT_LE(scope.peak(), 256 * 1024 + 64 * bytes.size())
        << what << ": " << bytes.size() << " bytes of input";
    return accepted;
}

} // namespace reliability
