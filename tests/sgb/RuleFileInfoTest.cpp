// The rule file information that a translation builds from the annotations,
// and the version check that reads it.
#include "classfile/ClassInfo.h"
#include "rulefileinfo/RuleFileInfoImpl.h"
#include "sgb/AnnotationConverter.h"
#include "sgbtest/Decode.h"
#include "sgbtest/RuleFileWriter.h"
#include "util/Text.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

using rulefileinfo::AnnotationImpl;
using rulefileinfo::EntryImpl;
using sgbtest::Arg;
using sgbtest::MethodSpec;
using sgbtest::RuleAnnotation;
using sgbtest::RuleFileWriter;
using testsupport::ElementValueSpec;

const rulefileinfo::RuleFileInfoImpl& infoOf(const std::shared_ptr<zulx::SGB>& sgb) {
    return dynamic_cast<const rulefileinfo::RuleFileInfoImpl&>(*sgb->data->ruleFileInfo);
}

// "name(type key bool float str)..." of each annotation, each followed by a blank.
std::string describe(const std::unique_ptr<AnnotationImpl[]>& list, size_t count) {
    std::ostringstream out;
    for (size_t i = 0; i < count; ++i) {
        out << util::toUTF8(list[i].name);
        for (size_t a = 0; a < list[i].numArguments; ++a) {
            const auto& arg = list[i].arguments[a];
            out << '(' << arg.type << ' ' << util::toUTF8(arg.key) << ' ' << arg.boolValue << ' '
                << arg.floatValue << ' ' << util::toUTF8(arg.strValue) << ')';
        }
        out << (list[i].numArguments == 0 && list[i].arguments ? "(empty array) " : " ");
    }
    return out.str();
}

// "returnType name(type name ...)@order/groupOrder group" of each entry (the
// group part only when set), each followed by a blank.
std::string describe(const std::unique_ptr<EntryImpl[]>& list, size_t count) {
    std::ostringstream out;
    out.precision(10);
    for (size_t i = 0; i < count; ++i) {
        const EntryImpl& e = list[i];
        out << e.returnType << ' ' << util::toUTF8(e.name) << '(';
        for (size_t p = 0; p < e.numParameters; ++p)
            out << (p ? " " : "") << e.parameters[p].type << ' '
                << util::toUTF8(e.parameters[p].name);
        out << ")@" << e.order;
        if (e.groupOrder != std::numeric_limits<double>::max() || !e.group.empty())
            out << '/' << e.groupOrder << ' ' << util::toUTF8(e.group);
        out << ' ';
    }
    return out.str();
}

// "compiler language" versions, then " E:error"s and " W:warning"s.
std::string versionsAndMessages(const RuleFileWriter& f) {
    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& r = *sgb->data;
    std::string text =
        std::to_string(r.compilerVersionMajor) + "." + std::to_string(r.compilerVersionMinor) +
        " " + std::to_string(r.languageVersionMajor) + "." + std::to_string(r.languageVersionMinor);
    for (const std::wstring& e : r.errors)
        text += " E:" + util::toUTF8(e);
    for (const std::wstring& w : r.warnings)
        text += " W:" + util::toUTF8(w);
    return text;
}

TEST(RuleFileInfoTest, EntriesParametersAndAnnotationsOfADecodedFile) {
    RuleFileWriter f;
    // The last key of the first "@_VERSION" counts.
    f.fileAnnotations(
        {{"@_VERSION",
          {Arg::text("sglc", "2.0"), Arg::text("sgl", "1.4"), Arg::text("sglc", "1.10")}},
         {"@_VERSION", {Arg::text("sglc", "3.0")}},
         // Every array is read whatever the argument's type ('x' is unsupported).
         {"@Full",
          {Arg::number("min", 0.25), Arg::boolean("open", true), {'x', "odd", true, 3.0, "s"}}}});
    f.addAttr("height", "()D", {{"@Range", {Arg::number("min", 1), Arg::number("max", 0.5)}}});
    f.addEntry("_$RULE", "Lot", "(DLjava/lang/String;ZI)V",
               {{"width", "D"}, {"style", "Ljava/lang/String;"}, {"flat", "Z"}, {"n", "I"}});
    // Without a local-variable table, or with a short one, parameters get
    // the generic names.
    f.addMethod({"NoTable", "(DD)V", 9, 4, {0xB1}, true, false, {}, {{{"_$RULE", {}}}}});
    f.addMethod({"Short", "(DD)V", 9, 4, {0xB1}, true, true, {{"first", "D"}}, {{{"_$RULE", {}}}}});
    f.addMethod({"NoCode", "(Z)Z", 9, 4, {}, false, false, {}, {{{"_$RULE", {}}}}});
    // Every marker in every container is counted, but a method is one entry,
    // filled from the container of its first marker; the entries never
    // filled sort last.
    MethodSpec twice;
    twice.name = "Twice";
    twice.containers = {{{"_$RULE", {}}, {"@Hint", {}}}, {{"_$RULE", {}}, {"_$ATTR", {}}}};
    f.addMethod(twice);

    EXPECT_EQ(versionsAndMessages(f), "1.10 1.4");
    const auto sgb = sgbtest::decode(f.str());
    EXPECT_TRUE(sgb->data->methodIndex.empty()); // entries need no method reference
    const auto& info = infoOf(sgb);
    EXPECT_EQ(describe(info.annotations, info.numAnnotations),
              "@_VERSION(3 sglc 0 0 2.0)(3 sgl 0 0 1.4)(3 sglc 0 0 1.10) @_VERSION(3 sglc 0 0 3.0) "
              "@Full(2 min 0 0.25 )(1 open 1 0 )(5 odd 1 3 s) ");
    EXPECT_EQ(describe(info.attributes, info.numAttributes),
              "2 height()@-0 5 ()@1.797693135e+308 ");
    EXPECT_EQ(describe(info.attributes[0].annotations, info.attributes[0].numAnnotations),
              "_$ATTR @Range(2 min 0 1 )(2 max 0 0.5 ) ");
    EXPECT_EQ(describe(info.rules, info.numRules),
              "0 Lot(2 width 3 style 1 flat 4 n)@-4 0 NoTable(2 param0 2 param1)@-2 "
              "0 Short(2 first 2 param1)@-2 1 NoCode(1 param0)@-1 0 Twice()@-0 "
              "5 ()@1.797693135e+308 ");
    EXPECT_EQ(describe(info.rules[4].annotations, info.rules[4].numAnnotations), "_$RULE @Hint ");
}

TEST(RuleFileInfoTest, OrderAndGroupFromAnnotationsAndTheSortOfEntries) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto order = [](double value) {
        return RuleAnnotation{"$Order", {Arg::number("", value)}};
    };
    const auto group = [](const char* name, double rank) {
        return RuleAnnotation{"$Group", {Arg::text("", name), Arg::number("", rank)}};
    };
    const RuleAnnotation start{"$StartRule", {}};
    // Added out of order, so that a sort that keeps the method order where
    // it should compare names shows.
    const std::vector<std::pair<const char*, std::vector<RuleAnnotation>>> rules = {
        {"Zeta", {order(1)}},
        {"Alpha", {order(1)}},
        {"\u0460a", {order(3)}}, // U+0460 sorts after U+03A9, whatever follows
        {"\u03A9b", {order(3)}},
        {"Start", {start}},
        {"StartWithArg", {{"$StartRule", {Arg::number("", 1)}}}},
        {"OrderedByText", {{"$Order", {Arg::text("", "3")}}}},
        {"OrderThenStart", {order(2), start}},
        {"Walls",
         {{"$Group",
           {Arg::text("", "Wa"), Arg::number("", 9), Arg::text("", "ll"), Arg::number("", 5)}}}},
        {"GroupNoFloat", {{"$Group", {Arg::text("", "Roof")}}}},
        {"NanB", {order(nan)}},
        {"NanA", {order(nan)}},
        {"GroupB1", {group("B", 1)}},
        {"GroupA1", {group("A", 1)}},
        {"NanGroupA", {group("A", nan)}},
        // Names alike in their first sixteen characters or more.
        {"LongPrefixNameABC", {order(4)}},
        {"RoofShapeB", {order(4)}},
        {"LongPrefixNameAB", {order(4)}},
        {"RoofShapeA", {order(4)}},
        {"LongPrefixNameAA9", {order(4)}},
    };
    RuleFileWriter f;
    for (const auto& [name, annotations] : rules)
        f.addEntry("_$RULE", name, "()V", {}, annotations);
    // Entries equal in every key keep their method order.
    f.addEntry("_$RULE", "Twin", "(Z)V", {}, {order(4)});
    f.addEntry("_$RULE", "Twin", "()V", {}, {order(4)});
    f.addAttr("attrA", "()D", {order(-1)});
    f.addAttr("$a$$b", "()D"); // every "$" after the first: "."

    const auto sgb = sgbtest::decode(f.str());
    const auto& info = infoOf(sgb);
    EXPECT_EQ(describe(info.rules, info.numRules),
              "0 GroupA1()@-0/1 A 0 GroupB1()@-0/1 B 0 Walls()@-0/5 Wall 0 GroupNoFloat()@-0 "
              "0 OrderedByText()@-0 0 StartWithArg()@-0 0 Alpha()@1 0 Zeta()@1 0 \u03A9b()@3 "
              "0 \u0460a()@3 0 LongPrefixNameAA9()@4 0 LongPrefixNameAB()@4 "
              "0 LongPrefixNameABC()@4 0 RoofShapeA()@4 0 RoofShapeB()@4 0 Twin(1 param0)@4 "
              "0 Twin()@4 0 Start()@1000000 "
              "0 OrderThenStart()@1000002 0 NanA()@nan 0 NanB()@nan 0 NanGroupA()@-0/nan A ");
    EXPECT_EQ(describe(info.attributes, info.numAttributes), "2 attrA()@-1 2 $a..b()@-0 ");
}

TEST(RuleFileInfoTest, ManyEntriesMayShareOneLongAnnotationText) {
    // The pool holds the text once, however many annotations use it; the
    // translation's expansion limit must let such a file through.
    RuleFileWriter f;
    for (size_t i = 0; i < 400; ++i)
        f.addAttr("a" + std::to_string(i), "()D",
                  {{"@Doc", {Arg::text("", std::string(1000, 'd'))}}});
    const auto sgb = sgbtest::decode(f.str());
    ASSERT_EQ(infoOf(sgb).numAttributes, 400u);
    EXPECT_EQ(infoOf(sgb).attributes[399].annotations[1].arguments[0].strValue.size(), 1000u);
}

ElementValueSpec arrayOf(char tag, std::vector<uint16_t> indexes) {
    std::vector<ElementValueSpec> values;
    for (uint16_t i : indexes)
        values.push_back(ElementValueSpec::constant(tag, i));
    return ElementValueSpec::array(values);
}

TEST(AnnotationConverterTest, ArgumentsFromTheParallelArraysOfEveryContainer) {
    RuleFileWriter f;
    auto& w = f.w;
    const auto onlyName =
        w.annotation("LX;", {{"name", ElementValueSpec::constant('s', w.utf8("@Name"))}});
    // The first non-empty array met sets the argument count (3); a short
    // "names" clears the remaining keys, other short arrays leave defaults
    // or what an earlier array of the same name set, and constants of an
    // unexpected kind give defaults too.
    const uint16_t fChar = w.integer('f');
    const uint16_t sChar = w.integer('s');
    const uint16_t text = w.utf8("value");
    const uint16_t number = w.doubleValue(4.5);
    const uint16_t integer = w.integer(7);
    const uint16_t k0 = w.utf8("k0");
    const uint16_t zero = w.integer(0);
    const uint16_t mixedName = w.utf8("@Mixed");
    const auto mixed = w.annotation("LX;", {{"bvals", ElementValueSpec::array({})},
                                            {"svals", arrayOf('s', {text, integer, text})},
                                            {"types", arrayOf('C', {fChar, sChar, fChar})},
                                            {"names", arrayOf('s', {k0})},
                                            {"dvals", arrayOf('D', {number, integer})},
                                            {"bvals", arrayOf('Z', {integer, number, zero})},
                                            {"svals", arrayOf('s', {k0})},
                                            {"name", ElementValueSpec::constant('s', mixedName)}});
    // Container types are compared over their first 28 characters.
    std::vector<testsupport::AnnotationSpec> containers;
    for (const auto& [type, nested] :
         std::vector<std::pair<std::string, testsupport::AnnotationSpec>>{
             {"Lcom/ulno/gc/SGLAnnotations", f.encode({"@Short", {}})},
             {"Lcom/ulno/gc/SGLAnnotations;Extra", onlyName},
             {"Lcom/ulno/gc/SGLAnnotations;", mixed},
         })
        containers.push_back(w.annotation(
            type, {{"value", ElementValueSpec::array({ElementValueSpec::nested(nested)})}}));
    w.addAttribute(w.annotations(containers));

    const auto sgb = sgbtest::decode(f.str());
    EXPECT_EQ(describe(infoOf(sgb).annotations, infoOf(sgb).numAnnotations),
              "@Name @Mixed(2 k0 1 4.5 k0)(3  0 0 )(2  0 0 value) ");

    // The one-off forms of the converter's operations agree with it.
    std::istringstream in(f.str());
    const classfile::ClassInfo cls(in);
    std::string seen, scratch;
    for (const auto& a :
         classfile::findAttribute<classfile::AttributeRuntimeVisibleAnnotations>(cls.attributes)
             ->annotations) {
        seen += sgb::isContainerAnnotation(cls.pool(), *a) ? "C" : "-";
        sgb::forEachNested(*a, [&](const classfile::AnnotationInfo& nested) {
            rulefileinfo::AnnotationImpl converted;
            sgb::convertAnnotation(cls.pool(), converted, nested);
            seen += std::string(sgb::nestedAnnotationName(cls.pool(), nested, scratch)) + "=" +
                    util::toUTF8(converted.name) + std::to_string(converted.numArguments) + " ";
        });
    }
    EXPECT_EQ(seen, "-@Short=@Short0 C@Name=@Name0 C@Mixed=@Mixed3 ");
}

TEST(VersionTest, CompilerVersionGivesErrorsAndWarnings) {
    const struct {
        const char* sglc;
        std::string expected; // versions, then errors ("E:") and warnings ("W:")
    } cases[] = {
        {"1.11",
         "1.11 1.3 W:Potentially unsupported SGLC version 1.11 : newer than current (1.10)"},
        {"2.0", "2.0 1.3 E:Unsupported SGLC version 2.0 : major number larger than current (1.10)"},
    };
    for (const auto& c : cases) {
        RuleFileWriter f;
        f.fileAnnotations({RuleFileWriter::version(c.sglc, "1.3")});
        EXPECT_EQ(versionsAndMessages(f), c.expected);
    }
}

} // namespace
