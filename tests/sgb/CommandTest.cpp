// Runs the built zul command on the example rule files.
#include "testsupport/Command.h"
#include "sgbtest/RuleFileWriter.h"

#include <nlohmann/json.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

using Outcome = testsupport::CommandResult;
using testsupport::lines;

// Runs zul from the examples directory so that file names are given as is.
Outcome zul(const std::string& arguments) {
    return testsupport::runCommand(std::string("cd '") + ZUL_EXAMPLES_DIR + "' && '" + ZUL_COMMAND +
                                   "' " + arguments);
}

std::vector<std::string> keys(const nlohmann::ordered_json& object) {
    std::vector<std::string> result;
    for (auto it = object.begin(); it != object.end(); ++it)
        result.push_back(it.key());
    return result;
}

void expectConstantSchema(const nlohmann::ordered_json& c) {
    if (c.is_null())
        return;
    const int tag = c.at("tag").get<int>();
    using Keys = std::vector<std::string>;
    switch (tag) {
    case 0:
        EXPECT_EQ(keys(c), (Keys{"tag", "value"}));
        EXPECT_TRUE(c["value"].is_string());
        break;
    case 1:
        EXPECT_EQ(keys(c), (Keys{"tag", "value"}));
        EXPECT_TRUE(c["value"].is_number() || c["value"].is_string());
        break;
    case 2:
    case 4:
    case 6:
        EXPECT_EQ(keys(c), (Keys{"tag", "value"}));
        EXPECT_TRUE(c["value"].is_number_integer());
        break;
    case 3: {
        EXPECT_EQ(keys(c), (Keys{"tag", "method"}));
        const auto& m = c["method"];
        EXPECT_EQ(keys(m), (Keys{"index", "position", "kind", "maxStack", "paramCount",
                                 "localSlots", "localTypes", "code", "public", "name", "baseName",
                                 "descriptor", "valid"}));
        EXPECT_TRUE(m["localTypes"].is_array());
        const std::string code = m["code"].get<std::string>();
        EXPECT_EQ(code.find_first_not_of("0123456789abcdef"), std::string::npos) << code;
        EXPECT_EQ(code.size() % 2, 0u);
        break;
    }
    case 5:
        EXPECT_EQ(keys(c), (Keys{"tag"}));
        break;
    case 7:
        EXPECT_EQ(keys(c), (Keys{"tag", "value", "name"}));
        break;
    default:
        ADD_FAILURE() << "unexpected tag " << tag;
    }
}

TEST(CommandTest, DecodeJsonFollowsTheSchemaForEveryExample) {
    const Outcome run = zul("decode --format json Building.sgb Park.sgb Tower.sgb");
    EXPECT_EQ(run.status, 0) << run.err;
    const auto docs = lines(run.out);
    ASSERT_EQ(docs.size(), 3u) << run.out;
    const char* files[] = {"Building.sgb", "Park.sgb", "Tower.sgb"};
    for (size_t i = 0; i < docs.size(); ++i) {
        const auto doc = nlohmann::ordered_json::parse(docs[i]);
        EXPECT_EQ(keys(doc),
                  (std::vector<std::string>{"file", "constants", "ownFieldRefs", "enumTypeNames",
                                            "handleRefs", "methodIndex", "compilerVersion",
                                            "languageVersion", "errors", "warnings"}));
        EXPECT_EQ(doc["file"], files[i]);
        ASSERT_FALSE(doc["constants"].empty());
        EXPECT_FALSE(doc["constants"].back().is_null()); // ends at the last stored index
        for (const auto& c : doc["constants"])
            expectConstantSchema(c);
        for (const auto& m : doc["methodIndex"].items()) {
            const auto& entry = doc["constants"].at(m.value().get<size_t>());
            EXPECT_EQ(entry["tag"], 3) << m.key();
        }
        EXPECT_EQ(doc["compilerVersion"].size(), 2u);
    }
    const auto building = nlohmann::ordered_json::parse(docs[0]);
    EXPECT_EQ(building["compilerVersion"].dump(), "[1,10]");
    EXPECT_EQ(building["languageVersion"].dump(), "[1,4]");
    EXPECT_TRUE(building["errors"].empty());
    EXPECT_EQ(building["handleRefs"].size(), 1u);
    const auto tower = nlohmann::ordered_json::parse(docs[2]);
    EXPECT_EQ(tower["errors"].size(), 4u);
}

TEST(CommandTest, DecodeJsonWritesNonFiniteNumbersAsText) {
    sgbtest::RuleFileWriter f;
    f.w.doubleValue(std::numeric_limits<double>::quiet_NaN());
    f.w.doubleValue(std::numeric_limits<double>::infinity());
    f.w.doubleValue(-std::numeric_limits<double>::infinity());
    f.w.doubleValue(-0.5);
    f.w.string("caf\xC3\xA9");
    const std::string path = ::testing::TempDir() + "zul_command_nonfinite.sgb";
    std::ofstream(path, std::ios::binary) << f.str();

    const Outcome run = zul("decode --format json '" + path + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    const auto doc = nlohmann::ordered_json::parse(run.out);
    std::vector<std::string> values;
    for (const auto& c : doc["constants"])
        if (!c.is_null())
            values.push_back(c["value"].dump());
    EXPECT_EQ(values, (std::vector<std::string>{"\"nan\"", "\"inf\"", "\"-inf\"", "-0.5",
                                                "\"caf\u00e9\""}));
}

TEST(CommandTest, DecodeXmlPrintsTheRuleFileInformation) {
    const Outcome run = zul("decode --xml-per-file Park.sgb");
    EXPECT_EQ(run.status, 0) << run.err;
    // Entries without order annotations sort by name.
    EXPECT_THAT(run.out, StartsWith("<rulefileinfo><attributes><entry returntype=\"bool\" "
                                    "name=\"paved\"><parameters></parameters>"));
    ASSERT_GT(run.out.size(), 16u);
    EXPECT_EQ(run.out.substr(run.out.size() - 16), "</rulefileinfo>\n");
}

TEST(CommandTest, DecodeGoesOnAfterAFileItCannotRead) {
    const Outcome run =
        zul("--log-level 5 decode --format none missing.sgb Park.sgb CheckExamples.cmake");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const auto errors = lines(run.err);
    ASSERT_EQ(errors.size(), 2u) << run.err;
    EXPECT_THAT(errors[0], StartsWith("zul: missing.sgb: "));
    EXPECT_THAT(errors[1], StartsWith("zul: CheckExamples.cmake: "));
}

TEST(CommandTest, UsageErrorsExitWithTwo) {
    for (const char* arguments : {"decode --format yaml Park.sgb", "decode", "check"})
        EXPECT_EQ(zul(arguments).status, 2) << arguments;
}

TEST(CommandTest, CheckReportsErrorsAndWarnings) {
    const Outcome clean = zul("--log-level 5 check Building.sgb Park.sgb");
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "Park.sgb: warning: Potentially problematic SGLC version 1.9 : "
                         "recompiling with current SGL Compiler (1.10) is recommended.\n");

    const Outcome broken = zul("--log-level 5 check Tower.sgb missing.sgb");
    EXPECT_EQ(broken.status, 1);
    const auto reported = lines(broken.out);
    ASSERT_EQ(reported.size(), 4u) << broken.out;
    for (const std::string& line : reported)
        EXPECT_THAT(line, StartsWith("Tower.sgb: error: "));
    EXPECT_THAT(broken.out, HasSubstr("Tower.sgb: error: Unsupported SGLC version 2.1 : major "
                                      "number larger than current (1.10)\n"));
    EXPECT_THAT(broken.err, HasSubstr("zul: missing.sgb: "));
}

} // namespace
