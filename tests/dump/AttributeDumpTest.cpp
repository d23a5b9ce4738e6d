// The dump of every attribute, exactly: blanks, brackets and line breaks.
#include "DumpHelpers.h"

#include <gtest/gtest.h>

#include <functional>

using namespace classfile;
using dumptest::classWriter;
using dumptest::num;
using dumptest::printed;
using dumptest::readClass;
using testsupport::AnnotationSpec;
using testsupport::AttributeBytes;
using testsupport::Bytes;
using testsupport::ClassWriter;
using testsupport::ElementValueSpec;
using testsupport::StackMapFrame;

namespace {

/// The dump of the first class attribute of a class written by `w`, which
/// has `a` as its only class attribute.
std::string classAttributeDump(ClassWriter& w, const AttributeBytes& a) {
    w.addAttribute(a);
    const auto cls = readClass(w.str());
    return printed(*cls->attributes.at(0));
}

std::string header(const std::string& name, size_t length) {
    return "name=" + name + "; attribute_length=" + num(length);
}

TEST(AttributeDump, SimpleAttributes) {
    struct Case {
        std::string name;
        std::function<AttributeBytes(ClassWriter&)> make;
        std::function<std::string(ClassWriter&)> rest;
        size_t length;
    };
    const std::vector<Case> cases = {
        {"Synthetic", [](ClassWriter& w) { return w.synthetic(); },
         [](ClassWriter&) { return std::string(); }, 0},
        {"Deprecated", [](ClassWriter& w) { return w.deprecated(); },
         [](ClassWriter&) { return std::string(); }, 0},
        {"Exceptions",
         [](ClassWriter& w) { return w.exceptions({w.classNamed("java/io/IOException")}); },
         [](ClassWriter&) { return std::string(); }, 4},
        {"ConstantValue", [](ClassWriter& w) { return w.constantValue(w.integer(42)); },
         [](ClassWriter& w) { return ", constant_value_index=" + num(w.integer(42)) + " [42]"; },
         2},
        {"SourceFile", [](ClassWriter& w) { return w.sourceFile("T.java"); },
         [](ClassWriter& w) {
             return "; source_file_index=" + num(w.utf8("T.java")) + " [T.java]";
         },
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClassWriter w = classWriter();
        const AttributeBytes a = c.make(w);
        EXPECT_EQ(classAttributeDump(w, a), header(c.name, c.length) + c.rest(w));
    }
}

TEST(AttributeDump, ConstantValueWithAMissingSlotShowsItsNumberOnly) {
    ClassWriter w = classWriter();
    EXPECT_EQ(classAttributeDump(w, w.constantValue(4000)),
              header("ConstantValue", 2) + ", constant_value_index=4000");
}

TEST(AttributeDump, InnerClassRowsAndFlagWords) {
    ClassWriter w = classWriter();
    const uint16_t inner = w.classNamed("T$In");
    const uint16_t outer = w.thisClass;
    const uint16_t name = w.utf8("In");
    const AttributeBytes a =
        w.innerClasses({{inner, outer, name, 0x0009}, {inner, 0, 0, 0x0FFF}, {inner, 0, 0, 0}});
    // A row: each index with its text in brackets unless it names nothing.
    const auto row = [&](size_t i, uint16_t outerIndex, const char* outerText, uint16_t nameIndex,
                         const char* nameText, const std::string& flags) {
        const auto field = [](const char* label, uint16_t index, const char* text) {
            return "              " + std::string(label) + "=" + num(index) +
                   (*text ? " [" + std::string(text) + "]" : "") + ";\n";
        };
        return "\n            [" + num(i) + "]={\n" +
               field("inner_class_info_index", inner, "T$In") +
               field("outer_class_info_index", outerIndex, outerText) +
               field("inner_name_index", nameIndex, nameText) +
               "              inner_class_access_flags=" + flags + ";\n            }";
    };
    EXPECT_EQ(classAttributeDump(w, a),
              header("InnerClasses", 26) + "; number_of_classes=3;\n          classes={" +
                  row(0, outer, "T", name, "In", "public static ") +
                  row(1, 0, "", 0, "",
                      "public private protected static final synchronized volatile transient "
                      "native interface abstract strict ") +
                  row(2, 0, "", 0, "", "") + "}");
}

TEST(AttributeDump, InnerClassFlagsBeyondTheKnownOnesAreIgnored) {
    ClassWriter w = classWriter();
    const std::string dump = classAttributeDump(w, w.innerClasses({{0, 0, 0, 0xF408}}));
    EXPECT_NE(dump.find("inner_class_access_flags=static abstract ;\n"), std::string::npos) << dump;
    // Index 0 names no entry: its brackets are written, empty.
    EXPECT_NE(dump.find("inner_class_info_index=0 [];\n"), std::string::npos) << dump;
}

TEST(AttributeDump, LineNumberTableIsLeftOpen) {
    ClassWriter w = classWriter();
    EXPECT_EQ(classAttributeDump(w, w.lineNumberTable({{0, 10}, {7, 65535}})),
              header("LineNumberTable", 10) +
                  "; line_number_table_length=2;\n          line_number_table={"
                  "\n            [0]={start_pc=0; line_number=10}"
                  "\n            [1]={start_pc=7; line_number=65535}");
    ClassWriter empty = classWriter();
    EXPECT_EQ(classAttributeDump(empty, empty.lineNumberTable({})),
              header("LineNumberTable", 2) +
                  "; line_number_table_length=0;\n          line_number_table={");
}

TEST(AttributeDump, LocalVariableRows) {
    ClassWriter w = classWriter();
    const auto self = w.local(0, 5, "this", "LT;", 0);
    const auto count = w.local(2, 3, "count", "J", 1);
    const std::string dump = classAttributeDump(w, w.localVariableTable({self, count}));
    const auto row = [](size_t i, const testsupport::LocalVariableRow& r, const char* name,
                        const char* descriptor) {
        const std::string next = ";\n            ";
        return "\n          [" + num(i) + "]={\n            start_pc=" + num(r.startPc) + next +
               "length=" + num(r.length) + next + "name_index=" + num(r.nameIndex) + " [" + name +
               "]" + next + "descriptor_index=" + num(r.descriptorIndex) + " [" + descriptor + "]" +
               next + "index=" + num(r.index) + ";\n          };";
    };
    EXPECT_EQ(dump, header("LocalVariableTable", 22) +
                        "; localVariableTableLength=2; localVariableTable={" +
                        row(0, self, "this", "LT;") + row(1, count, "count", "J") +
                        "\n      }\n    }");
    ClassWriter empty = classWriter();
    EXPECT_EQ(classAttributeDump(empty, empty.localVariableTable({})),
              header("LocalVariableTable", 2) +
                  "; localVariableTableLength=0; localVariableTable={\n      }\n    }");
}

TEST(AttributeDump, StackMapEntriesShowOffsetAndVerificationTypes) {
    ClassWriter w = classWriter();
    const uint16_t string = w.classNamed("java/lang/String");
    const StackMapFrame first{3, {{0}, {1}, {2}, {3}, {4}}, {{5}, {6}}};
    const StackMapFrame second{17, {{7, string}, {7, 900}}, {{8, 12}}};
    const AttributeBytes a = w.stackMap({first, second, {0, {}, {}}});
    EXPECT_EQ(classAttributeDump(w, a),
              header("StackMap", a.body.size()) +
                  "; numberOfEntries=3; entries={"
                  "\n          [0]={\n"
                  "            offset=3;\n"
                  "            locals=[bogus, integer, float, double, long];\n"
                  "            stack=[null, initObject];\n"
                  "          };"
                  "\n          [1]={\n"
                  "            offset=17;\n"
                  "            locals=[object #" +
                  num(string) +
                  " [java/lang/String], object #900];\n"
                  "            stack=[newObject @12];\n"
                  "          };"
                  "\n          [2]={\n"
                  "            offset=0;\n"
                  "            locals=[];\n"
                  "            stack=[];\n"
                  "          };"
                  "\n      }\n    }");
}

TEST(AttributeDump, UnknownAttributeIsHexSixteenBytesALine) {
    ClassWriter w = classWriter();
    Bytes body;
    for (uint8_t b = 0; b < 17; ++b)
        body.u1(b * 15);
    EXPECT_EQ(classAttributeDump(w, w.attribute("Custom", body)),
              "\n00 0F 1E 2D 3C 4B 5A 69 78 87 96 A5 B4 C3 D2 E1 \nF0 ");
    ClassWriter empty = classWriter();
    EXPECT_EQ(classAttributeDump(empty, empty.attribute("StackMapTable", Bytes())), "");
}

// The invisible kind shares the layout.
TEST(AttributeDump, AnnotationsWithEveryElementValueTag) {
    for (const bool visible : {true, false}) {
        SCOPED_TRACE(visible);
        ClassWriter w = classWriter();
        const uint16_t i7 = w.integer(7);
        const uint16_t str = w.utf8("text");
        const AnnotationSpec inner =
            w.annotation("LIn;", {{"x", ElementValueSpec::constant('I', i7)}});
        const uint16_t stringType = w.utf8("Ljava/lang/String;");
        const uint16_t fancy = w.utf8("FANCY");
        const AnnotationSpec outer = w.annotation(
            "LOut;", {{"b", ElementValueSpec::constant('B', i7)},
                      {"s", ElementValueSpec::constant('s', str)},
                      {"k", ElementValueSpec::classValue(stringType)},
                      {"e", ElementValueSpec::enumValue(w.utf8("LKind;"), fancy)},
                      {"n", ElementValueSpec::nested(inner)},
                      {"a", ElementValueSpec::array({ElementValueSpec::constant('I', i7),
                                                     ElementValueSpec::constant('s', str)})},
                      {"q", ElementValueSpec::bare('?')},
                      {"none", ElementValueSpec::array({})}});
        const AnnotationSpec empty = w.annotation("LEmpty;", {});
        const AttributeBytes a = w.annotations({outer, empty}, visible);
        const std::string outerDump =
            "type_index=" + num(w.utf8("LOut;")) +
            " [LOut;]; num_element_value_pairs=8; element_value_pairs="
            " [0]={name=b; tag='B' [7]};"
            " [1]={name=s; tag='s' [text]};"
            " [2]={name=k; tag='c' [Ljava/lang/String;]};"
            " [3]={name=e; tag='e' [LKind; FANCY]};"
            " [4]={name=n; tag='@' [type_index=" +
            num(w.utf8("LIn;")) +
            " [LIn;]; num_element_value_pairs=1; element_value_pairs= [0]={name=x; tag='I' [7]};]};"
            " [5]={name=a; tag='['; num_values=2; values= [0]={tag='I' [7]}; [1]={tag='s' "
            "[text]};};"
            " [6]={name=q; tag='?'};"
            " [7]={name=none; tag='['; num_values=0; values=};";
        const std::string emptyDump = "type_index=" + num(w.utf8("LEmpty;")) +
                                      " [LEmpty;]; num_element_value_pairs=0; element_value_pairs=";
        const size_t length = a.body.size();
        EXPECT_EQ(
            classAttributeDump(w, a),
            header(visible ? "RuntimeVisibleAnnotations" : "RuntimeInvisibleAnnotations", length) +
                "; num_annotations=2; annotations={"
                "\n          [0]={\n" +
                outerDump +
                "          };"
                "\n          [1]={\n" +
                emptyDump +
                "          };"
                "\n      }\n    }");
    }
}

TEST(AttributeDump, ParameterAnnotationsListEachParametersAnnotations) {
    for (const bool visible : {true, false}) {
        SCOPED_TRACE(visible);
        ClassWriter w = classWriter();
        const AnnotationSpec a = w.annotation("LA;", {});
        const uint16_t one = w.integer(1);
        const AnnotationSpec b = w.annotation("LB;", {{"v", ElementValueSpec::constant('Z', one)}});
        const AttributeBytes attr = w.parameterAnnotations({{}, {a, b}}, visible);
        const std::string aDump = "type_index=" + num(w.utf8("LA;")) +
                                  " [LA;]; num_element_value_pairs=0; "
                                  "element_value_pairs=";
        const std::string bDump = "type_index=" + num(w.utf8("LB;")) +
                                  " [LB;]; num_element_value_pairs=1; element_value_pairs= "
                                  "[0]={name=v; tag='Z' [1]};";
        w.addMethod(1, "m", "(II)V", {attr});
        const auto cls = readClass(w.str());
        EXPECT_EQ(printed(*cls->methods.at(0)->attributes.at(0)),
                  header(visible ? "RuntimeVisibleParameterAnnotations"
                                 : "RuntimeInvisibleParameterAnnotations",
                         attr.body.size()) +
                      "; num_parametes=2; parameter_annotations={"
                      "\n          [0]={\n          };"
                      "\n          [1]={\n" +
                      aDump + bDump +
                      "          };"
                      "\n      }\n    }");
    }
}

TEST(AttributeDump, ElementValuesWithMissingSlotsShowNoText) {
    ClassWriter w = classWriter();
    AnnotationSpec a;
    a.typeIndex = 3000;
    a.pairs.push_back({2999, ElementValueSpec::constant('I', 2998)});
    a.pairs.push_back({0, ElementValueSpec::enumValue(2997, w.utf8("X"))});
    a.pairs.push_back({0, ElementValueSpec::classValue(0)});
    const std::string dump = classAttributeDump(w, w.annotations({a}));
    EXPECT_NE(dump.find("\ntype_index=3000; num_element_value_pairs=3; element_value_pairs="
                        " [0]={name=; tag='I'}; [1]={name=; tag='e'}; [2]={name=; tag='c'};"),
              std::string::npos)
        << dump;
}

} // namespace

namespace {

// Groups digits in threes with a comma, as some locales do.
struct Thousands : std::numpunct<char> {
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(AttributeDump, NumbersFollowTheStreamFormatting) {
    ClassWriter w = classWriter();
    w.addAttribute(w.lineNumberTable({{4660, 65535}}));
    const auto cls = readClass(w.str());
    const Attribute& a = *cls->attributes.at(0);

    std::ostringstream hex;
    hex << std::hex;
    a.print(hex);
    EXPECT_EQ(hex.str(), "name=LineNumberTable; attribute_length=6; line_number_table_length=1;\n"
                         "          line_number_table={\n            [0]={start_pc=1234; "
                         "line_number=ffff}");

    std::ostringstream grouped;
    grouped.imbue(std::locale(grouped.getloc(), new Thousands));
    a.print(grouped);
    EXPECT_EQ(grouped.str(),
              "name=LineNumberTable; attribute_length=6; line_number_table_length=1;\n"
              "          line_number_table={\n            [0]={start_pc=4,660; "
              "line_number=65,535}");
}

} // namespace
