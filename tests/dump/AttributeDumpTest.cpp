// The dump of every attribute, exactly: blanks, brackets and line breaks.
// The attributes are read from one class, so each layout must consume
// exactly its own bytes.
#include "ReadHelpers.h"

#include <gtest/gtest.h>

using namespace classfile;
using cftest::minimalWriter;
using cftest::num;
using cftest::printed;
using cftest::readClass;
using testsupport::AnnotationSpec;
using testsupport::AttributeBytes;
using testsupport::Bytes;
using testsupport::ClassWriter;
using EV = testsupport::ElementValueSpec;

namespace {

// The rows of an inner-class, local-variable and stack-map table, and an
// annotation, as their dumps write them.
std::string innerRow(size_t i, const std::string& inner, const std::string& outer,
                     const std::string& name, const std::string& flags) {
    return "\n            [" + num(i) + "]={\n              inner_class_info_index=" + inner +
           ";\n              outer_class_info_index=" + outer +
           ";\n              inner_name_index=" + name +
           ";\n              inner_class_access_flags=" + flags + ";\n            }";
}
std::string localRow(size_t i, const std::string& fields) {
    return "\n          [" + num(i) + "]={\n" + fields + "          };";
}
std::string frame(size_t i, int offset, const std::string& locals, const std::string& stack) {
    return "\n          [" + num(i) + "]={\n            offset=" + num(offset) +
           ";\n            locals=[" + locals + "];\n            stack=[" + stack +
           "];\n          };";
}
std::string annotation(uint16_t type, const std::string& name, const std::string& pairs,
                       size_t count) {
    return "type_index=" + num(type) + " [" + name + "]; num_element_value_pairs=" + num(count) +
           "; element_value_pairs=" + pairs;
}

TEST(AttributeDump, EveryAttributeAsTheRulesWriteIt) {
    ClassWriter w = minimalWriter(); // slots 1 to 4: "T", its class, "java/lang/Object", its class
    const uint16_t i42 = w.integer(42);
    const uint16_t source = w.utf8("T.java");
    const uint16_t inner = w.classNamed("T$In");
    const uint16_t in = w.utf8("In");
    const auto self = w.local(0, 5, "this", "LT;", 0);
    const uint16_t string = w.classNamed("java/lang/String");
    const uint16_t text = w.utf8("text");
    const uint16_t fancy = w.utf8("FANCY");
    const uint16_t kind = w.utf8("LKind;");
    const AnnotationSpec nested = w.annotation("LIn;", {{"x", EV::constant('I', i42)}});
    const AnnotationSpec outer =
        w.annotation("LOut;", {{"b", EV::constant('B', i42)},
                               {"s", EV::constant('s', text)},
                               {"k", EV::classValue(w.utf8("Ljava/lang/String;"))},
                               {"e", EV::enumValue(kind, fancy)},
                               {"n", EV::nested(nested)},
                               {"a", EV::array({EV::constant('I', i42), EV::constant('s', text)})},
                               {"q", EV::bare('?')},
                               {"t", EV::bare('t')},
                               {"A", EV::bare('A')},
                               {"none", EV::array({})}});
    const AnnotationSpec empty = w.annotation("LEmpty;", {});
    const AnnotationSpec flag = w.annotation("LB;", {{"v", EV::constant('Z', w.integer(1))}});

    const std::string outerDump = annotation(
        w.utf8("LOut;"), "LOut;",
        " [0]={name=b; tag='B' [42]}; [1]={name=s; tag='s' [text]};"
        " [2]={name=k; tag='c' [Ljava/lang/String;]}; [3]={name=e; tag='e' [LKind; FANCY]};"
        " [4]={name=n; tag='@' [" +
            annotation(w.utf8("LIn;"), "LIn;", " [0]={name=x; tag='I' [42]};", 1) +
            "]}; [5]={name=a; tag='['; num_values=2; values= [0]={tag='I' [42]}; [1]={tag='s' "
            "[text]};}; [6]={name=q; tag='?'}; [7]={name=t; tag='t'}; [8]={name=A; tag='A'};"
            " [9]={name=none; tag='['; num_values=0; values=};",
        10);
    const std::string emptyDump = annotation(w.utf8("LEmpty;"), "LEmpty;", "", 0);
    const std::string annotations = "; num_annotations=2; annotations={" + localRow(0, outerDump) +
                                    localRow(1, emptyDump) + "\n      }\n    }";
    const std::string parameters =
        "; num_parametes=2; parameter_annotations={\n          [0]={\n          };" +
        localRow(1,
                 emptyDump + annotation(w.utf8("LB;"), "LB;", " [0]={name=v; tag='Z' [1]};", 1)) +
        "\n      }\n    }";
    const std::string lvtField = ";\n            ";
    // These record their own length, whatever the header says.
    const auto overlong = [](AttributeBytes a) {
        a.length = 77;
        return a;
    };
    Bytes seventeen;
    for (uint8_t b = 0; b < 17; ++b)
        seventeen.u1(b * 15);
    const struct {
        AttributeBytes attr;
        std::string name; ///< of the header; "" for an attribute dumped without one
        std::string rest;
    } cases[] = {
        {overlong(w.synthetic()), "Synthetic", ""},
        {overlong(w.deprecated()), "Deprecated", ""},
        {w.exceptions({string}), "Exceptions", ""},
        {overlong(w.constantValue(i42)), "ConstantValue",
         ", constant_value_index=" + num(i42) + " [42]"},
        {w.constantValue(4000), "ConstantValue", ", constant_value_index=4000"},
        {overlong(w.sourceFile("T.java")), "SourceFile",
         "; source_file_index=" + num(source) + " [T.java]"},
        {w.innerClasses({{inner, 2, in, 0x0009}, {inner, 0, 0, 0x0FFF}, {0, 0, 0, 0xF408}}),
         "InnerClasses",
         "; number_of_classes=3;\n          classes={" +
             innerRow(0, num(inner) + " [T$In]", "2 [T]", num(in) + " [In]", "public static ") +
             innerRow(1, num(inner) + " [T$In]", "0", "0",
                      "public private protected static final synchronized volatile transient "
                      "native interface abstract strict ") +
             innerRow(2, "0 []", "0", "0", "static abstract ") + "}"},
        {w.lineNumberTable({{0, 10}, {7, 65535}}), "LineNumberTable",
         "; line_number_table_length=2;\n          line_number_table={"
         "\n            [0]={start_pc=0; line_number=10}"
         "\n            [1]={start_pc=7; line_number=65535}"},
        {w.localVariableTable({self}), "LocalVariableTable",
         "; localVariableTableLength=1; localVariableTable={" +
             localRow(0, "            start_pc=0" + lvtField + "length=5" + lvtField +
                             "name_index=" + num(self.nameIndex) + " [this]" + lvtField +
                             "descriptor_index=" + num(self.descriptorIndex) + " [LT;]" + lvtField +
                             "index=0;\n") +
             "\n      }\n    }"},
        {w.stackMap({{3, {{0}, {1}, {2}, {3}, {4}}, {{5}, {6}}},
                     {17, {{7, string}, {7, 900}}, {{8, 12}}}}),
         "StackMap",
         "; numberOfEntries=2; entries={" +
             frame(0, 3, "bogus, integer, float, double, long", "null, initObject") +
             frame(1, 17, "object #" + num(string) + " [java/lang/String], object #900",
                   "newObject @12") +
             "\n      }\n    }"},
        {w.attribute("Custom", seventeen), "",
         "\n00 0F 1E 2D 3C 4B 5A 69 78 87 96 A5 B4 C3 D2 E1 \nF0 "},
        {w.attribute("Code ", {1}), "", "\n01 "},
        {w.annotations({outer, empty}), "RuntimeVisibleAnnotations", annotations},
        {w.parameterAnnotations({{}, {empty, flag}}), "RuntimeVisibleParameterAnnotations",
         parameters},
    };
    for (const auto& c : cases)
        w.addAttribute(c.attr);
    const auto cls = readClass(w).cls;
    ASSERT_EQ(cls->attributes.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        const std::string head =
            c.name.empty() ? ""
                           : "name=" + c.name + "; attribute_length=" + num(c.attr.body.size());
        EXPECT_EQ(printed(*cls->attributes.at(i)), head + c.rest);
    }
    // An annotation and an element value dump on their own as they do inside.
    const auto* visible = findAttribute<AttributeRuntimeVisibleAnnotations>(cls->attributes);
    EXPECT_EQ(printed(*visible->annotations.at(1)), emptyDump);
    EXPECT_EQ(printed(*visible->annotations.at(0)->element_value_pairs.at(1)),
              "name=s; tag='s' [text]");
}

} // namespace
