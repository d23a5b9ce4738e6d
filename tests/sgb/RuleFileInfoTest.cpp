#include "rulefileinfo/RuleFileInfoImpl.h"
#include "sgbtest/Decode.h"
#include "sgbtest/RuleFileWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sgbtest::Arg;
using sgbtest::Local;
using sgbtest::RuleAnnotation;
using sgbtest::RuleFileWriter;
using ::testing::ElementsAre;

const rulefileinfo::RuleFileInfoImpl& infoOf(const zulx::SGB& sgb) {
    return dynamic_cast<const rulefileinfo::RuleFileInfoImpl&>(*sgb.data->ruleFileInfo);
}

std::vector<std::wstring> names(const rulefileinfo::EntryImpl* entries, size_t count) {
    std::vector<std::wstring> result;
    for (size_t i = 0; i < count; ++i)
        result.push_back(entries[i].name);
    return result;
}

std::vector<std::wstring> annotationNames(const rulefileinfo::EntryImpl& entry) {
    std::vector<std::wstring> result;
    for (size_t i = 0; i < entry.numAnnotations; ++i)
        result.push_back(entry.annotations[i].name);
    return result;
}

TEST(RuleFileInfoTest, EntriesWithTypesParametersAndAnnotations) {
    RuleFileWriter f;
    f.fileAnnotations(
        {RuleFileWriter::version("1.10", "1.4"), {"@Description", {Arg::text("", "lots")}}});
    f.addAttr("height", "()D", {{"@Range", {Arg::number("min", 1), Arg::number("max", 40)}}});
    f.addAttr("name", "()Ljava/lang/String;");
    f.addRule("Lot", "(DLjava/lang/String;ZI)V",
              {{"width", "D"}, {"style", "Ljava/lang/String;"}, {"flat", "Z"}, {"n", "I"}});

    const auto sgb = sgbtest::decode(f.str());
    const auto& info = infoOf(*sgb);
    ASSERT_EQ(info.numAnnotations, 2u);
    EXPECT_EQ(info.annotations[0].name, L"@_VERSION");
    EXPECT_EQ(info.annotations[1].name, L"@Description");

    ASSERT_EQ(info.numAttributes, 2u);
    EXPECT_THAT(names(info.attributes.get(), 2), ElementsAre(L"height", L"name"));
    EXPECT_EQ(info.attributes[0].returnType, zul::AAT_FLOAT);
    EXPECT_EQ(info.attributes[1].returnType, zul::AAT_STR);
    EXPECT_THAT(annotationNames(info.attributes[0]), ElementsAre(L"_$ATTR", L"@Range"));

    ASSERT_EQ(info.numRules, 1u);
    const rulefileinfo::EntryImpl& lot = info.rules[0];
    EXPECT_EQ(lot.returnType, zul::AAT_VOID);
    ASSERT_EQ(lot.numParameters, 4u);
    const struct {
        zul::AnnotationArgumentType type;
        const wchar_t* name;
    } params[] = {{zul::AAT_FLOAT, L"width"},
                  {zul::AAT_STR, L"style"},
                  {zul::AAT_BOOL, L"flat"},
                  {zul::AAT_INT, L"n"}};
    for (size_t p = 0; p < 4; ++p) {
        EXPECT_EQ(lot.parameters[p].type, params[p].type);
        EXPECT_EQ(lot.parameters[p].name, params[p].name);
        EXPECT_EQ(lot.parameters[p].numAnnotations, 0u);
    }
    EXPECT_EQ(lot.order, -4.0);
}

TEST(RuleFileInfoTest, ManyEntriesMayShareOneLongAnnotationText) {
    // The pool holds the text once, however many annotations use it.
    const std::string text(1000, 'd');
    for (const size_t count : {1u, 200u, 400u}) {
        RuleFileWriter f;
        for (size_t i = 0; i < count; ++i)
            f.addAttr("a" + std::to_string(i), "()D", {{"@Doc", {Arg::text("", text)}}});
        const auto sgb = sgbtest::decode(f.str());
        const auto& info = infoOf(*sgb);
        ASSERT_EQ(info.numAttributes, count);
        for (size_t i = 0; i < count; ++i) {
            ASSERT_EQ(info.attributes[i].numAnnotations, 2u);
            const auto& doc = info.attributes[i].annotations[1];
            ASSERT_EQ(doc.numArguments, 1u);
            EXPECT_EQ(doc.arguments[0].strValue, std::wstring(text.begin(), text.end()));
        }
    }
}

TEST(RuleFileInfoTest, EntryNamesKeepTheFirstDollarOnly) {
    RuleFileWriter f;
    const struct {
        const char* method;
        const wchar_t* entry;
    } cases[] = {
        {"a$b$c", L"a$b.c"},
        {"plain", L"plain"},
        {"x$", L"x$"},
        {"$lead$mid$$end", L"$lead.mid..end"},
    };
    for (const auto& c : cases)
        f.addAttr(c.method, "()D");
    const auto sgb = sgbtest::decode(f.str());
    const auto& info = infoOf(*sgb);
    ASSERT_EQ(info.numAttributes, std::size(cases));
    std::vector<std::wstring> expected;
    for (const auto& c : cases)
        expected.push_back(c.entry);
    std::vector<std::wstring> actual = names(info.attributes.get(), info.numAttributes);
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    EXPECT_EQ(actual, expected);
}

TEST(RuleFileInfoTest, ParameterNamesFallBackToTheParamForm) {
    RuleFileWriter f;
    sgbtest::MethodSpec noTable;
    noTable.name = "NoTable";
    noTable.descriptor = "(DD)V";
    noTable.withLocals = false;
    noTable.containers = {{{"_$RULE", {}}}};
    f.addMethod(noTable);
    sgbtest::MethodSpec shortTable = noTable;
    shortTable.name = "ShortTable";
    shortTable.withLocals = true;
    shortTable.locals = {{"first", "D"}};
    f.addMethod(shortTable);
    sgbtest::MethodSpec noCode = noTable;
    noCode.name = "NoCode";
    noCode.withCode = false;
    f.addMethod(noCode);

    const auto sgb = sgbtest::decode(f.str());
    const auto& info = infoOf(*sgb);
    ASSERT_EQ(info.numRules, 3u);
    for (size_t r = 0; r < 3; ++r) {
        const auto& rule = info.rules[r];
        ASSERT_EQ(rule.numParameters, 2u);
        const std::wstring first = rule.name == L"ShortTable" ? L"first" : L"param0";
        EXPECT_EQ(rule.parameters[0].name, first) << rule.name;
        EXPECT_EQ(rule.parameters[1].name, L"param1") << rule.name;
    }
}

TEST(RuleFileInfoTest, OrderStartRuleAndGroup) {
    RuleFileWriter f;
    const std::vector<Local> two{{"a", "D"}, {"b", "D"}};
    f.addRule("Two", "(DD)V", two);
    f.addRule("Start", "(DD)V", two, {{"$StartRule", {}}});
    f.addRule("StartWithArg", "(DD)V", two, {{"$StartRule", {Arg::number("", 1)}}});
    f.addRule("Ordered", "()V", {}, {{"$Order", {Arg::number("", 3.5)}}});
    f.addRule("OrderedByText", "()V", {}, {{"$Order", {Arg::text("", "3")}}});
    f.addRule("OrderedThenStart", "()V", {},
              {{"$Order", {Arg::number("", 2)}}, {"$StartRule", {}}});
    f.addRule("StartThenOrdered", "()V", {},
              {{"$StartRule", {}}, {"$Order", {Arg::number("", 2)}}});
    f.addRule(
        "Grouped", "()V", {},
        {{"$Group",
          {Arg::text("", "Wall"), Arg::number("", 9), Arg::text("", "s"), Arg::number("", 5)}}});
    f.addRule("GroupNoFloat", "()V", {}, {{"$Group", {Arg::text("", "Roof")}}});

    const auto sgb = sgbtest::decode(f.str());
    const auto& info = infoOf(*sgb);
    ASSERT_EQ(info.numRules, 9u);
    const struct {
        const wchar_t* name;
        double order;
        double groupOrder;
        const wchar_t* group;
    } expected[] = {
        {L"Two", -2, std::numeric_limits<double>::max(), L""},
        {L"Start", 999998, std::numeric_limits<double>::max(), L""},
        {L"StartWithArg", -2, std::numeric_limits<double>::max(), L""},
        {L"Ordered", 3.5, std::numeric_limits<double>::max(), L""},
        {L"OrderedByText", 0, std::numeric_limits<double>::max(), L""},
        {L"OrderedThenStart", 1000002, std::numeric_limits<double>::max(), L""},
        {L"StartThenOrdered", 2, std::numeric_limits<double>::max(), L""},
        {L"Grouped", 0, 5, L"Walls"},
        {L"GroupNoFloat", 0, std::numeric_limits<double>::max(), L""},
    };
    for (const auto& e : expected) {
        const rulefileinfo::EntryImpl* entry = nullptr;
        for (size_t r = 0; r < info.numRules; ++r)
            if (info.rules[r].name == e.name)
                entry = &info.rules[r];
        ASSERT_NE(entry, nullptr) << e.name;
        EXPECT_EQ(entry->order, e.order) << e.name;
        EXPECT_EQ(entry->groupOrder, e.groupOrder) << e.name;
        EXPECT_EQ(entry->group, e.group) << e.name;
    }
}

TEST(RuleFileInfoTest, EntriesAreSortedByGroupOrderGroupOrderAndName) {
    RuleFileWriter f;
    auto group = [](const char* name, double order) {
        return RuleAnnotation{"$Group", {Arg::text("", name), Arg::number("", order)}};
    };
    auto order = [](double value) { return RuleAnnotation{"$Order", {Arg::number("", value)}}; };
    f.addRule("Zeta", "()V", {}, {order(1)});
    f.addRule("Alpha", "()V", {}, {order(1)});
    f.addRule("Early", "()V", {}, {order(-5)});
    f.addRule("GroupB1", "()V", {}, {group("B", 1)});
    f.addRule("GroupA1", "()V", {}, {group("A", 1)});
    f.addRule("GroupA1Late", "()V", {}, {group("A", 1), order(7)});
    f.addRule("Group0", "()V", {}, {group("Z", 0)});
    f.addRule("NotANumber", "()V", {}, {order(std::numeric_limits<double>::quiet_NaN())});
    f.addAttr("attrB", "()D");
    f.addAttr("attrA", "()D", {order(-1)});

    const auto sgb = sgbtest::decode(f.str());
    const auto& info = infoOf(*sgb);
    EXPECT_THAT(names(info.rules.get(), info.numRules),
                ElementsAre(L"Group0", L"GroupA1", L"GroupA1Late", L"GroupB1", L"Early", L"Alpha",
                            L"Zeta", L"NotANumber"));
    EXPECT_THAT(names(info.attributes.get(), info.numAttributes), ElementsAre(L"attrA", L"attrB"));
}

TEST(RuleFileInfoTest, CountingPassCountsEveryMarkerInEveryContainer) {
    RuleFileWriter f;
    // One method, two containers, a rule marker in each and an attribute
    // marker in the second: three entries are counted, one is filled.
    sgbtest::MethodSpec m;
    m.name = "Twice";
    m.containers = {{{"_$RULE", {}}, {"@Hint", {}}}, {{"_$RULE", {}}, {"_$ATTR", {}}}};
    f.addMethod(m);
    f.addRule("Once", "()V");
    // A method without container annotations yields no entry.
    sgbtest::MethodSpec other;
    other.name = "Other";
    f.addMethod(other);

    const auto sgb = sgbtest::decode(f.str());
    const auto& info = infoOf(*sgb);
    ASSERT_EQ(info.numRules, 3u);
    ASSERT_EQ(info.numAttributes, 1u);
    // The filled entries sort before the ones never filled.
    EXPECT_THAT(names(info.rules.get(), 3), ElementsAre(L"Once", L"Twice", L""));
    EXPECT_THAT(annotationNames(info.rules[1]), ElementsAre(L"_$RULE", L"@Hint"));
    EXPECT_EQ(info.rules[2].returnType, zul::AAT_UNKNOWN);
    EXPECT_EQ(info.attributes[0].name, L"");
}

TEST(RuleFileInfoTest, UnreferencedMarkedMethodsStillBecomeEntries) {
    RuleFileWriter f;
    f.addRule("Lonely", "()V");
    const auto sgb = sgbtest::decode(f.str());
    EXPECT_TRUE(sgb->data->methodIndex.empty());
    EXPECT_EQ(infoOf(*sgb).numRules, 1u);
}

TEST(RuleFileInfoTest, EmptyFileGivesEmptyInformation) {
    RuleFileWriter f;
    const auto sgb = sgbtest::decode(f.str());
    const auto& info = infoOf(*sgb);
    EXPECT_EQ(info.numAttributes, 0u);
    EXPECT_EQ(info.numRules, 0u);
    EXPECT_EQ(info.numAnnotations, 0u);
    EXPECT_EQ(info.attributes, nullptr);
}

} // namespace
