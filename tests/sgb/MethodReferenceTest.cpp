#include "sgb/Enum.h"
#include "sgbtest/Decode.h"
#include "sgbtest/RuleFileWriter.h"
#include "testsupport/LogCapture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

using sgbtest::Local;
using sgbtest::methodAt;
using sgbtest::payload;
using sgbtest::RuleFileWriter;
using sgbtest::tagAt;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(MethodReferenceTest, DefinedMethodBecomesAFullMethodRecord) {
    RuleFileWriter f;
    sgbtest::MethodSpec helper;
    helper.name = "Lot$helper";
    helper.descriptor = "(DLjava/lang/String;Z)D";
    helper.access = 0x0008; // static, not public
    helper.maxStack = 7;
    helper.code = {0x18, 0x00, 0xAF};
    helper.locals = {{"height", "D"}, {"label", "Ljava/lang/String;"}, {"flag", "Z"}, {"n", "I"}};
    f.addMethod(helper);
    f.addRule("Lot", "()V");
    const uint16_t ref = f.ownCall("Lot$helper", "(DLjava/lang/String;Z)D");

    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    ASSERT_EQ(tagAt(record, ref), 3);
    const zulx::MethodRecord& m = methodAt(record, ref);
    EXPECT_EQ(m.index, ref);
    EXPECT_EQ(m.position, 0);
    EXPECT_EQ(m.kind, 0);
    EXPECT_EQ(m.maxStack, 7);
    EXPECT_EQ(m.paramCount, 3);
    EXPECT_EQ(m.localSlots, 5); // D counts twice
    EXPECT_THAT(m.localTypes, ElementsAre(1, 2, 0, 0));
    EXPECT_THAT(m.code, ElementsAre(0x18, 0x00, 0xAF));
    EXPECT_EQ(m.isPublic, 0);
    EXPECT_EQ(m.name, L"Lot$helper");
    EXPECT_EQ(m.baseName, L"Lot");
    EXPECT_EQ(m.descriptor, L"(DLjava/lang/String;Z)D");
    EXPECT_EQ(m.valid, 1);
    EXPECT_EQ(record.methodIndex.at(L"Lot$helper(DLjava/lang/String;Z)D"), ref);
    EXPECT_THAT(record.errors, IsEmpty());
}

TEST(MethodReferenceTest, WithoutLocalVariableTableOrCodeLessIsRecordedAndNothingReported) {
    RuleFileWriter f;
    sgbtest::MethodSpec m;
    m.name = "plain";
    m.descriptor = "(DD)V";
    m.withLocals = false;
    f.addMethod(m);
    m.name = "declared";
    m.withCode = false;
    f.addMethod(m);
    const uint16_t ref = f.ownCall("plain", "(DD)V");
    const uint16_t declaredRef = f.ownCall("declared", "(DD)V");

    const auto sgb = sgbtest::decode(f.str());
    const zulx::MethodRecord& record = methodAt(*sgb->data, ref);
    EXPECT_EQ(record.paramCount, 0);
    EXPECT_EQ(record.localSlots, 0);
    EXPECT_THAT(record.localTypes, IsEmpty());
    EXPECT_EQ(record.baseName, L""); // no "$" in the name
    EXPECT_EQ(record.isPublic, 1);
    const zulx::MethodRecord& declared = methodAt(*sgb->data, declaredRef);
    EXPECT_EQ(declared.position, 1);
    EXPECT_EQ(declared.maxStack, -1);
    EXPECT_THAT(declared.code, IsEmpty());
    EXPECT_EQ(declared.valid, 0);
    EXPECT_THAT(sgb->data->errors, IsEmpty());
}

TEST(MethodReferenceTest, UnsupportedLocalTypesClearTheValidFlag) {
    testsupport::LogCapture log;
    RuleFileWriter f;
    sgbtest::MethodSpec m;
    m.name = "wide";
    m.descriptor = "(JD)V";
    m.locals = {{"big", "J"}, {"x", "D"}, {"small", "F"}};
    f.addMethod(m);
    const uint16_t ref = f.ownCall("wide", "(JD)V");

    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    const zulx::MethodRecord& method = methodAt(record, ref);
    EXPECT_EQ(method.valid, 0);
    EXPECT_THAT(method.localTypes, ElementsAre(0, 1, 0)); // unsupported ones stay 0
    EXPECT_EQ(method.localSlots, 2);                      // and add no slots
    EXPECT_EQ(method.paramCount, 2);
    EXPECT_THAT(record.errors,
                ElementsAre(L"Datatype 'J' not supported.", L"Datatype 'F' not supported."));
    EXPECT_TRUE(log.contains(1, "Datatype 'J' not supported."));
    EXPECT_TRUE(log.contains(4, "SGB file contains error 'Datatype 'F' not supported.'"));
}

TEST(MethodReferenceTest, BodilessMethodsOfTheOwnClass) {
    testsupport::LogCapture log;
    RuleFileWriter f;
    const uint16_t rule = f.ownCall("Missing$rule", "(D)V");
    const uint16_t function = f.ownCall("missingFunction", "()D");

    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    const struct {
        uint16_t index;
        const wchar_t* name;
        const wchar_t* baseName;
        const wchar_t* descriptor;
        uint8_t valid;
    } cases[] = {
        {rule, L"Missing$rule", L"Missing", L"(D)V", 1},
        {function, L"missingFunction", L"", L"()D", 0},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(tagAt(record, c.index), 3);
        const zulx::MethodRecord& m = methodAt(record, c.index);
        EXPECT_EQ(m.index, c.index);
        EXPECT_EQ(m.position, -1);
        EXPECT_EQ(m.kind, 1);
        EXPECT_EQ(m.maxStack, -1);
        EXPECT_EQ(m.paramCount, 0);
        EXPECT_EQ(m.localSlots, 0);
        EXPECT_THAT(m.localTypes, IsEmpty());
        EXPECT_THAT(m.code, IsEmpty());
        EXPECT_EQ(m.isPublic, 1);
        EXPECT_EQ(m.name, c.name);
        EXPECT_EQ(m.baseName, c.baseName);
        EXPECT_EQ(m.descriptor, c.descriptor);
        EXPECT_EQ(m.valid, c.valid);
        EXPECT_EQ(record.methodIndex.at(std::wstring(c.name) + c.descriptor), c.index);
    }
    const std::wstring error =
        L"Illegal method 'missingFunction()D' with undefined body  - not a rule (not void).";
    EXPECT_THAT(record.errors, ElementsAre(error));
    EXPECT_TRUE(log.contains(
        1, "Illegal method 'missingFunction()D' with undefined body  - not a rule (not void)."));
}

TEST(MethodReferenceTest, BuiltinsResolveToTheirIds) {
    RuleFileWriter f;
    const uint16_t abs = f.builtinCall("abs", "(D)D");
    const uint16_t last = f.builtinCall("_$setStyleSelector", "(II)V");
    const uint16_t shape = f.builtinCall("_$createShape", "(Ljava/lang/String;)V");
    const uint16_t unknown = f.builtinCall("abs", "(I)I");

    testsupport::LogCapture log;
    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    ASSERT_EQ(tagAt(record, abs), 4);
    EXPECT_EQ(payload<int32_t>(record, abs), 0);
    ASSERT_EQ(tagAt(record, last), 4);
    EXPECT_EQ(payload<int32_t>(record, last), 339);
    ASSERT_EQ(tagAt(record, shape), 5);
    EXPECT_EQ(record.constants[shape]->payload, nullptr);

    ASSERT_EQ(tagAt(record, unknown), 3);
    const zulx::MethodRecord& m = methodAt(record, unknown);
    EXPECT_EQ(m.kind, 1);
    EXPECT_EQ(m.position, -1);
    EXPECT_EQ(m.valid, 0);
    EXPECT_EQ(record.methodIndex.at(L"abs(I)I"), unknown);
    EXPECT_THAT(record.errors, ElementsAre(L"Non-recognized builtin method 'abs(I)I'."));
    EXPECT_TRUE(log.contains(1, "Non-recognized builtin method 'abs(I)I'."));
}

TEST(MethodReferenceTest, BuiltinsClassMayShareTheSlashOfPrefixAndSuffix) {
    RuleFileWriter f("rules/Short", "com/ulno/Builtins");
    const uint16_t abs = f.builtinCall("abs", "(D)D");
    const auto sgb = sgbtest::decode(f.str());
    EXPECT_EQ(tagAt(*sgb->data, abs), 4);
}

TEST(MethodReferenceTest, GetHandleReferencesAreListedSortedExceptTheStringForm) {
    RuleFileWriter f;
    const uint16_t dd = f.builtinCall("_$getHandle", "(DD)D");
    const uint16_t byName = f.builtinCall("_$getHandle", "(Ljava/lang/String;)D");
    const uint16_t dz = f.builtinCall("_$getHandle", "(DZ)D");
    const uint16_t ds = f.builtinCall("_$getHandle", "(DLjava/lang/String;)D");

    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    for (uint16_t i : {dd, byName, dz, ds})
        EXPECT_EQ(tagAt(record, i), 4) << i;
    EXPECT_EQ(payload<int32_t>(record, byName), 325);
    std::vector<int32_t> expected{dd, dz, ds};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(record.handleRefs, expected);
}

TEST(MethodReferenceTest, EachValueOfReferenceAppendsItsEnumTypeName) {
    RuleFileWriter f;
    const uint16_t first = f.enumConversion("AreaSelector");
    // A second reference to the same conversion needs its own pool entry.
    const uint16_t second = f.w.rawEntry(
        10, testsupport::Bytes()
                .u2(f.w.classNamed("com/ulno/gc/AreaSelector"))
                .u2(f.w.nameAndType("valueOf", "(Ljava/lang/String;)Lcom/ulno/gc/AreaSelector;")));
    const uint16_t other = f.enumConversion("Scale");
    ASSERT_NE(first, second);

    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    EXPECT_THAT(record.enumTypeNames, ElementsAre("AreaSelector", "AreaSelector", "Scale"));
    ASSERT_EQ(tagAt(record, first), 6);
    ASSERT_EQ(tagAt(record, second), 6);
    EXPECT_EQ(payload<int32_t>(record, first), 0);
    EXPECT_EQ(payload<int32_t>(record, second), 1);
    EXPECT_EQ(payload<int32_t>(record, other), 2);
}

TEST(MethodReferenceTest, UnknownMethodsAreReportedWithTheirClassIndex) {
    testsupport::LogCapture log;
    RuleFileWriter f;
    const uint16_t ref = f.w.methodRef("java/lang/Math", "max", "(DD)D");
    const uint16_t cls = f.w.classNamed("java/lang/Math");

    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    ASSERT_EQ(tagAt(record, ref), 3);
    EXPECT_EQ(methodAt(record, ref).valid, 0);
    EXPECT_EQ(methodAt(record, ref).kind, 1);
    const std::wstring error =
        L"Non-recognized method 'max(DD)D' (classIndex " + std::to_wstring(cls) + L").";
    EXPECT_THAT(record.errors, ElementsAre(error));
}

TEST(MethodReferenceTest, DefinedMethodWinsOverEveryOtherCase) {
    // A method defined in the file is case 1 even when the reference names
    // another class, and even for a builtin's name.
    RuleFileWriter f;
    sgbtest::MethodSpec m;
    m.name = "abs";
    m.descriptor = "(D)D";
    f.addMethod(m);
    const uint16_t ref = f.builtinCall("abs", "(D)D");
    const auto sgb = sgbtest::decode(f.str());
    ASSERT_EQ(tagAt(*sgb->data, ref), 3);
    EXPECT_EQ(methodAt(*sgb->data, ref).kind, 0);
}

TEST(MethodReferenceTest, FieldReferencesToTheOwnClassAreListed) {
    RuleFileWriter f;
    const uint16_t height = f.ownField("height");
    const uint16_t name = f.ownField("name", "Ljava/lang/String;");
    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    EXPECT_THAT(record.ownFieldRefs, ElementsAre(height, name));
    EXPECT_EQ(tagAt(record, height), -1);
    EXPECT_EQ(tagAt(record, name), -1);
}

TEST(MethodReferenceTest, OwnFieldsAreRecognisedByTheLiteralIndexTwoOnly) {
    // this_class points elsewhere; the field's class entry still sits at 2.
    RuleFileWriter f;
    const uint16_t ref = f.ownField("height");
    f.w.thisClass = f.w.classNamed("rules/Other");
    const auto sgb = sgbtest::decode(f.str());
    EXPECT_THAT(sgb->data->ownFieldRefs, ElementsAre(ref));
}

TEST(MethodReferenceTest, EnumConstantsCarryValueAndName) {
    RuleFileWriter f;
    const struct {
        const char* cls;
        const char* keyword;
        int32_t value;
        const wchar_t* name;
    } cases[] = {
        {"AreaSelector", "world$west", 29, L"AreaSelector.world$west"},
        {"Comp", "street$side", 47, L"Comp.street$side"},
        {"Scale", "abs", -1, L"Scale.abs"}, // unknown keyword: stored as -1
    };
    std::vector<uint16_t> refs;
    for (const auto& c : cases)
        refs.push_back(f.enumConstant(c.cls, c.keyword));
    // A class without package is its own simple name.
    const uint16_t bare = f.w.fieldRef("Mode", "rel", "LMode;");

    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    for (size_t i = 0; i < refs.size(); ++i) {
        ASSERT_EQ(tagAt(record, refs[i]), 7);
        const auto& value = payload<std::shared_ptr<::SGB::Enum>>(record, refs[i]);
        EXPECT_EQ(value->value, cases[i].value);
        EXPECT_EQ(value->name, cases[i].name);
    }
    EXPECT_EQ(payload<std::shared_ptr<::SGB::Enum>>(record, bare)->value, 1);
    EXPECT_THAT(record.errors, IsEmpty());
}

TEST(MethodReferenceTest, UnknownEnumClassEndsTheDecodeAndLeavesResultsAlone) {
    RuleFileWriter f;
    f.enumConstant("X", "a");
    const std::string bytes = f.str();

    sgb::SGBDecoder decoder;
    zulx::ContentPtrVector results(2);
    std::istringstream in(bytes);
    try {
        decoder.decode(results, in, nullptr, L"");
        ADD_FAILURE() << "decode did not throw";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "No enum 'X' found in map!");
    }
    EXPECT_EQ(results.size(), 2u);
}

TEST(MethodReferenceTest, ConstantsAreStoredAtTheirPoolIndexes) {
    RuleFileWriter f;
    const uint16_t text = f.w.string("h\xC3\xA9llo");
    const uint16_t number = f.w.doubleValue(2.5);
    const uint16_t integer = f.w.integer(-3);
    const uint16_t single = f.w.floating(1.5f);
    const uint16_t wide = f.w.longValue(7);
    const uint16_t after = f.w.integer(99);

    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    EXPECT_EQ(*payload<std::shared_ptr<std::wstring>>(record, text), L"h\u00E9llo");
    EXPECT_EQ(payload<double>(record, number), 2.5);
    EXPECT_EQ(payload<int32_t>(record, integer), -3);
    EXPECT_EQ(tagAt(record, single), -1); // floats and longs store nothing
    EXPECT_EQ(tagAt(record, wide), -1);
    EXPECT_EQ(payload<int32_t>(record, after), 99);
    EXPECT_EQ(record.constants.size(), after + 1u);
    EXPECT_EQ(record.constants[0], nullptr);
    EXPECT_EQ(record.constants[1], nullptr); // the class name text
}

} // namespace
