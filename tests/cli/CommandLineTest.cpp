// Runs the built zul as a user or a pipeline does and checks exit statuses,
// the split between standard output and standard error, the JSON and XML
// records and reading from standard input.
#include "testsupport/Command.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <nlohmann/json.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using Json = nlohmann::json;
using Result = testsupport::CommandResult;

const std::string kParkWarning = "Potentially problematic SGLC version 1.9 : recompiling with "
                                 "current SGL Compiler (1.10) is recommended.";

// Runs zul in the examples directory, so that file names are given as is.
Result zul(const std::string& arguments) {
    return testsupport::runCommand(std::string("cd '") + ZUL_EXAMPLES_DIR + "' && '" + ZUL_COMMAND +
                                   "' " + arguments);
}

std::vector<Json> jsonLines(const std::string& text) {
    std::vector<Json> records;
    for (const std::string& line : testsupport::lines(text))
        records.push_back(Json::parse(line)); // throws, failing the test, when not JSON
    return records;
}

struct Case {
    const char* arguments;
    int status;
    std::string out; ///< the exact standard output, unless empty
    std::string err; ///< a text that standard error contains, or "" for none at all
    std::function<void(const Result&)> more = nullptr;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << "zul " << c.arguments;
}

std::string loaderPath() {
    return ZUL_LOADER;
}

class ZulCommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(ZulCommandLine, Runs) {
    const Case& c = GetParam();
    const Result r = zul(c.arguments);
    EXPECT_FALSE(r.signaled);
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    if (!c.out.empty()) {
        EXPECT_EQ(r.out, c.out);
    }
    if (c.err.empty()) {
        EXPECT_EQ(r.err, "");
    } else {
        EXPECT_THAT(r.err, HasSubstr(c.err));
    }
    if (c.more)
        c.more(r);
}

const Case kCases[] = {
    // Standard input, by the class file's magic number or by --content-type.
    {"check - < Park.sgb", 0, "<stdin>: warning: " + kParkWarning + "\n", ""},
    {"check --content-type sgb - < Park.sgb", 0, "<stdin>: warning: " + kParkWarning + "\n", ""},
    {"decode --format json - < Building.sgb", 0, "", "",
     [](const Result& r) { EXPECT_EQ(jsonLines(r.out).at(0).at("file"), "<stdin>"); }},
    {"decode - < CheckExamples.cmake", 1, "", "zul: <stdin>: not a compiled rule file"},
    {"dump --no-code - < Park.sgb", 0, "", "",
     [](const Result& r) { EXPECT_THAT(r.out, StartsWith("Classfile -\n")); }},

    // Each diagnostic once: check's lines on stdout, no log record on stderr.
    {"check Tower.sgb", 1, "", "",
     [](const Result& r) { EXPECT_EQ(testsupport::lines(r.out).size(), 4u) << r.out; }},
    {"check --format json Tower.sgb Park.sgb missing.sgb", 1, "", "zul: missing.sgb: ",
     [](const Result& r) {
         const std::vector<Json> records = jsonLines(r.out);
         ASSERT_EQ(records.size(), 3u);
         EXPECT_EQ(records[0].at("errors").size(), 4u);
         EXPECT_EQ(
             records[1],
             (Json{{"file", "Park.sgb"}, {"errors", Json::array()}, {"warnings", {kParkWarning}}}));
         EXPECT_EQ(records[2].at("file"), "missing.sgb");
         EXPECT_TRUE(records[2].at("error").is_string());
     }},

    // A pipeline sees a record for every input, also one that fails.
    {"decode --format json Park.sgb missing.sgb", 1, "", "zul: missing.sgb: ",
     [](const Result& r) {
         const std::vector<Json> records = jsonLines(r.out);
         ASSERT_EQ(records.size(), 2u);
         EXPECT_EQ(records[0].at("file"), "Park.sgb");
         EXPECT_EQ(records[1].size(), 2u);
         EXPECT_EQ(records[1].at("file"), "missing.sgb");
         EXPECT_EQ(r.err, "zul: missing.sgb: " + records[1].at("error").get<std::string>() + "\n");
     }},
    {"decode Building.sgb Park.sgb missing.sgb", 1, "", "zul: missing.sgb: ",
     [](const Result& r) {
         // One well-formed document, one element per file naming the file.
         namespace pt = boost::property_tree;
         std::istringstream in(r.out);
         pt::ptree doc;
         ASSERT_NO_THROW(pt::read_xml(in, doc)) << r.out;
         std::vector<std::string> files;
         for (const auto& file : doc.get_child("rulefiles"))
             files.push_back(file.second.get<std::string>("<xmlattr>.file"));
         EXPECT_EQ(files, (std::vector<std::string>{"Building.sgb", "Park.sgb", "missing.sgb"}));
         EXPECT_EQ(doc.get_child("rulefiles").front().second.count("rulefileinfo"), 1u);
     }},
    {"decode --xml-per-file Building.sgb Park.sgb", 0, "", "[3] SGB file contains warning",
     [](const Result& r) {
         EXPECT_THAT(r.out, StartsWith("<rulefileinfo>"));
         const size_t second = r.out.find("</rulefileinfo>\n<rulefileinfo>");
         ASSERT_NE(second, std::string::npos);
         EXPECT_EQ(r.out.find("<rulefileinfo>", second + 17), std::string::npos);
     }},

    // Libraries named on the command line that the loader refuses.
    {"extensions --no-default-plugins --plugins " ZT_TREE "/bad/libzt_throwing.so", 1, "",
     "zul extensions: library '" ZT_TREE "/bad/libzt_throwing.so' was not accepted: "},
    {"extensions --no-default-plugins --plugins " ZT_TREE "/bad/libzt_minor_mismatch.so", 1, "",
     "NOT loaded due to api version mismatch",
     [](const Result& r) { EXPECT_EQ(testsupport::lines(r.err).size(), 1u) << r.err; }},
    {"extensions --no-default-plugins --plugins /no/such/plugins", 1, "",
     "Invalid plugin path: '/no/such/plugins'"},
    {"probe --json " ZT_TREE "/good/one/libzt_encoders.so " ZT_TREE "/bad/libzt_throwing.so", 1, "",
     "",
     [](const Result& r) {
         const std::vector<Json> records = jsonLines(r.out);
         ASSERT_EQ(records.size(), 2u);
         EXPECT_EQ(records[0].at("verdict"), "accepted");
         EXPECT_EQ(records[0].at("encoders").at(0), "test.encoder.csv");
         EXPECT_EQ(records[1].at("verdict"), "rejected");
         EXPECT_THAT(records[1].at("detail").get<std::string>(),
                     HasSubstr("registration failed on purpose"));
     }},

    // Where each extension comes from.
    {"extensions --json --no-default-plugins --plugins " ZT_TREE "/good/one", 0, "", "",
     [](const Result& r) {
         for (const Json& e : Json::parse(r.out)) {
             const std::string library = e.at("library");
             if (e.at("id") == "com.ulno.zul.core.SGBDecoder")
                 EXPECT_EQ(library, loaderPath());
             else if (e.at("kind") == "encoder")
                 EXPECT_EQ(library, ZT_TREE "/good/one/libzt_encoders.so");
             else
                 EXPECT_THAT(library, StartsWith(ZT_TREE "/good/one/two/"));
         }
     }},
    {"extensions --no-default-plugins com.ulno.zul.core.SGBDecoder", 0, "", "",
     [](const Result& r) {
         EXPECT_THAT(r.out, HasSubstr("kind:         decoder\n"));
         EXPECT_THAT(r.out, HasSubstr("content type: SGB\n"));
         EXPECT_THAT(r.out, HasSubstr("library:      " + loaderPath()));
     }},
    {"extensions --no-default-plugins no.such.id", 1, "",
     "zul extensions: no extension 'no.such.id'"},

    {"--version", 0,
     "zul " ZUL_VERSION "\nhost API " ZUL_API_VERSION " (host core " ZUL_VERSION ")\nloader " +
         loaderPath() + "\n",
     ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, ZulCommandLine, ::testing::ValuesIn(kCases));

} // namespace
