// Listings of class files written by a Java compiler, compared with what the
// compiler's disassembler printed for them (tests/data/dump; regenerate.sh
// there rebuilds both). Each method's program counters, mnemonics, first
// operands and switch tables must agree.
#include "ReadHelpers.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <fstream>
#include <regex>
#include <set>
#include <tuple>

using namespace classfile;

namespace {

const std::string kDataDir = std::string(ZUL_DUMP_DATA_DIR) + "/classes/dump";

/// pc, mnemonic, and the first operand as both tools write it ("" when not
/// comparable).
using Instruction = std::tuple<long, std::string, std::string>;

/// One method's instructions, switch-table rows ("key: target") and
/// exception-table rows ("from to target type").
struct Method {
    std::vector<Instruction> instructions;
    std::vector<std::string> switchRows;
    std::vector<std::string> handlers;
};

// The two tools name these differently: the listing renames two opcodes, and
// the wide form of an instruction may or may not carry "_w".
std::string normalMnemonic(std::string m) {
    static const std::set<std::string> ownNames = {"ldc_w", "ldc2_w", "goto_w", "jsr_w"};
    if (m == "xxxunusedxxx")
        return "invokedynamic";
    if (m.size() > 2 && m.compare(m.size() - 2, 2, "_w") == 0 && ownNames.count(m) == 0)
        m.erase(m.size() - 2);
    return m;
}

// The first operand token, when both tools write it the same way: pool
// indices, locals, immediates, branch targets and array types.
std::string comparableOperand(const std::string& mnemonic, std::istringstream& rest) {
    std::string token;
    while (rest >> token) {
        if (token.rfind("//", 0) == 0 || token.rfind("<", 0) == 0)
            return "";
        if (mnemonic == "invokeinterface" && token[0] != '#')
            continue; // "(args n)" in the listing, the count after the index in the other
        if (mnemonic == "tableswitch" || mnemonic == "lookupswitch")
            return "";
        if (token.back() == ',')
            token.pop_back();
        return token;
    }
    return "";
}

// An instruction line matched as pc, mnemonic and the rest.
void addInstruction(Method& method, const std::smatch& m) {
    const std::string mnemonic = normalMnemonic(m[2]);
    std::istringstream rest(m[3].str());
    method.instructions.push_back({std::stol(m[1]), mnemonic, comparableOperand(mnemonic, rest)});
}

std::vector<Method> readDisassembly(const std::string& path) {
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    static const std::regex code(R"(^\s*Code:$)");
    static const std::regex instruction(R"(^\s*(\d+): ([a-z][a-z0-9_]*)(.*)$)");
    static const std::regex row(R"(^\s+(-?\d+): (\d+)$)");
    static const std::regex handler(R"(^\s+(\d+)\s+(\d+)\s+(\d+)\s+(?:Class (\S+)|(any))$)");
    std::vector<Method> methods;
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, code)) {
            methods.emplace_back();
            continue;
        }
        if (methods.empty())
            continue;
        if (std::regex_match(line, m, instruction)) {
            addInstruction(methods.back(), m);
        } else if (std::regex_match(line, m, row)) {
            methods.back().switchRows.push_back(m[1].str() + ": " + m[2].str());
        } else if (std::regex_match(line, m, handler)) {
            methods.back().handlers.push_back(m[1].str() + " " + m[2].str() + " " + m[3].str() +
                                              " " + (m[4].matched ? m[4].str() : m[5].str()));
        }
    }
    return methods;
}

// The exception rows of the Code dump, in the disassembler's form.
std::vector<std::string> dumpedHandlers(const AttributeCode& code) {
    static const std::regex item(
        R"(\[\d+\]=\{start_pc=(\d+); end_pc=(\d+); handler_pc=(\d+); catch_type=(?:0|\d+ \[(\S+)\])\}\n)");
    std::ostringstream out;
    code.print(out);
    const std::string text = out.str();
    std::vector<std::string> rows;
    for (std::sregex_iterator i(text.begin(), text.end(), item), end; i != end; ++i) {
        const std::smatch& m = *i;
        rows.push_back(m[1].str() + " " + m[2].str() + " " + m[3].str() + " " +
                       (m[4].matched ? m[4].str() : "any"));
    }
    return rows;
}

// The listing's lines: a right-aligned pc, the mnemonic ("anewarray class"
// for opcode 189) and its operands, or a switch row indented by 12 blanks.
Method parseListing(const std::string& text) {
    static const std::regex instruction(R"(^ *(\d+) ([a-z][a-z0-9_]*)(?: class)?(.*)$)");
    Method method;
    std::istringstream in(text);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (line.size() > 12 && line.compare(0, 12, std::string(12, ' ')) == 0)
            method.switchRows.push_back(line.substr(12));
        else if (std::regex_match(line, m, instruction))
            addInstruction(method, m);
    }
    return method;
}

TEST(RealClassListing, EveryMethodMatchesTheDisassembler) {
    std::vector<std::string> names;
    for (const auto& entry : boost::filesystem::directory_iterator(kDataDir))
        if (entry.path().extension() == ".class")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 6u);
    size_t compared = 0;
    size_t handlers = 0;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::ifstream file(kDataDir + "/" + name + ".class", std::ios::binary);
        const ClassInfo cls(file);
        const std::vector<Method> expected = readDisassembly(kDataDir + "/" + name + ".javap");
        std::vector<Method> actual;
        // Class operands ask the interface-test stub, which writes a line each time.
        testing::internal::CaptureStderr();
        for (const auto& method : cls.methods)
            if (const AttributeCode* code = method->code()) {
                actual.push_back(parseListing(code->listCode(code->code_length)));
                actual.back().handlers = dumpedHandlers(*code);
            }
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(actual.size(), expected.size()) << "methods with code";
        for (size_t i = 0; i < actual.size(); ++i) {
            SCOPED_TRACE("method with code " + std::to_string(i));
            EXPECT_EQ(actual[i].instructions, expected[i].instructions);
            EXPECT_EQ(actual[i].switchRows, expected[i].switchRows);
            EXPECT_EQ(actual[i].handlers, expected[i].handlers);
            handlers += actual[i].handlers.size();
            compared += actual[i].instructions.size();
        }
    }
    EXPECT_GT(compared, 1000u);
    EXPECT_GT(handlers, 8u);
}

} // namespace
