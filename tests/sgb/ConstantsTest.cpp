#include "sgb/CPEntry.h"
#include "sgb/Enum.h"
#include "sgbtest/Decode.h"
#include "sgbtest/RuleFileWriter.h"
#include "testsupport/LogCapture.h"
#include "util/Text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using sgbtest::MethodSpec;
using sgbtest::RuleFileWriter;
using ::testing::ElementsAre;

// Constant entry `i` as "<tag> <payload>", or "-" when nothing is stored
// there. A method record (tag 3) reads "3 position kind maxStack paramCount
// localSlots public valid name baseName descriptor [localTypes] [code]".
std::string entryText(const zulx::RuleData& record, size_t i) {
    const ::SGB::CPEntry* e = i < record.constants.size() ? record.constants[i] : nullptr;
    if (!e)
        return "-";
    std::ostringstream out;
    out << e->tag << ' ';
    const void* p = e->payload;
    if (e->tag == 0) {
        out << util::toUTF8(**static_cast<const std::shared_ptr<std::wstring>*>(p));
    } else if (e->tag == 1) {
        out << *static_cast<const double*>(p);
    } else if (e->tag == 3) {
        const auto& m = *static_cast<const zulx::MethodRecord*>(p);
        out << m.position << ' ' << m.kind << ' ' << m.maxStack << ' ' << m.paramCount << ' '
            << m.localSlots << ' ' << int(m.isPublic) << ' ' << int(m.valid) << ' '
            << util::toUTF8(m.name) << ' ' << util::toUTF8(m.baseName) << ' '
            << util::toUTF8(m.descriptor) << " [";
        for (size_t t = 0; t < m.localTypes.size(); ++t)
            out << (t ? " " : "") << m.localTypes[t];
        out << "] [";
        for (size_t b = 0; b < m.code.size(); ++b)
            out << (b ? " " : "") << int(m.code[b]);
        out << ']';
    } else if (e->tag == 7) {
        const auto& v = **static_cast<const std::shared_ptr<::SGB::Enum>*>(p);
        out << v.value << ' ' << util::toUTF8(v.name);
    } else if (p) { // tags 2, 4 and 6 hold an integer, tag 5 nothing
        out << *static_cast<const int32_t*>(p);
    } else {
        out << "null";
    }
    return out.str();
}

// One rule file with a pool entry of every kind that the translation maps.
// Each row is the entry that a pool index must become (see entryText for the
// layout of a method record).
TEST(ConstantTranslationTest, EveryKindOfPoolEntry) {
    // "com/ulno/Builtins" shares the slash of prefix and suffix; of two
    // builtins classes the later one in the pool counts.
    RuleFileWriter f("rules/Example", "com/ulno/Builtins");
    const uint16_t staleBuiltins = f.w.methodRef("com/ulno/old/Builtins", "floor", "(D)D");
    // Own members are recognised by the literal class index 2, not this_class.
    f.w.thisClass = f.w.classNamed("rules/Other");

    const auto method = [](const char* name, const char* descriptor, bool withCode, bool withLocals,
                           std::vector<sgbtest::Local> locals) {
        return MethodSpec{name, descriptor, 0x0009, 4, {0xB1}, withCode, withLocals, locals, {}};
    };
    MethodSpec helper =
        method("Lot$helper", "(DLjava/lang/String;Z)D", true, true,
               {{"h", "D"}, {"label", "Ljava/lang/String;"}, {"flag", "Z"}, {"n", "I"}});
    helper.access = 0x0008; // static, not public
    helper.maxStack = 7;
    helper.code = {0x18, 0x00, 0xAF};
    f.addMethod(helper);
    f.addMethod(method("plain", "(DD)V", true, false, {}));
    f.addMethod(method("declared", "(DD)V", false, false, {}));
    f.addMethod(method("wide", "(JD)V", true, true, {{"big", "J"}, {"x", "D"}, {"f", "F"}}));
    // Defined here: wins over the builtin of that key.
    f.addMethod(method("abs", "(D)D", true, true, {}));
    // Of two methods of one name and descriptor, the later one is called.
    f.addMethod(method("twin", "()V", true, false, {}));
    MethodSpec laterTwin = method("twin", "()V", true, false, {});
    laterTwin.code = {0x00, 0xB1};
    f.addMethod(laterTwin);
    const uint16_t height = f.ownField("height");
    const uint16_t name = f.ownField("name", "Ljava/lang/String;");
    const uint16_t handleDD = f.builtinCall("_$getHandle", "(DD)D");
    const struct {
        uint16_t index;
        std::string text;
    } rows[] = {
        {staleBuiltins, "3 -1 1 -1 0 0 1 0 floor  (D)D [] []"},
        {f.ownCall("Lot$helper", "(DLjava/lang/String;Z)D"),
         "3 0 0 7 3 5 0 1 Lot$helper Lot (DLjava/lang/String;Z)D [1 2 0 0] [24 0 175]"},
        {f.ownCall("plain", "(DD)V"), "3 1 0 4 0 0 1 1 plain  (DD)V [] [177]"},
        {f.ownCall("declared", "(DD)V"), "3 2 0 -1 0 0 1 0 declared  (DD)V [] []"},
        {f.ownCall("wide", "(JD)V"), "3 3 0 4 2 2 1 0 wide  (JD)V [0 1 0] [177]"},
        {f.ownCall("Missing$rule", "(D)V"), "3 -1 1 -1 0 0 1 1 Missing$rule Missing (D)V [] []"},
        {f.ownCall("missingFunction", "()D"), "3 -1 1 -1 0 0 1 0 missingFunction  ()D [] []"},
        {f.builtinCall("abs", "(D)D"), "3 4 0 4 1 0 1 1 abs  (D)D [] [177]"},
        {f.ownCall("twin", "()V"), "3 6 0 4 0 0 1 1 twin  ()V [] [0 177]"},
        {f.builtinCall("_$setStyleSelector", "(II)V"), "4 339"},
        {f.builtinCall("_$createShape", "(Ljava/lang/String;)V"), "5 null"},
        {f.builtinCall("abs", "(I)I"), "3 -1 1 -1 0 0 1 0 abs  (I)I [] []"},
        {handleDD, "4 328"},
        {f.enumConversion("AreaSelector"), "6 0"},
        {f.enumConversion("Scale"), "6 1"},
        {height, "-"},
        {name, "-"},
        {f.enumConstant("AreaSelector", "world$west"), "7 29 AreaSelector.world$west"},
        {f.enumConstant("Scale", "abs"), "7 -1 Scale.abs"}, // unknown keyword
        {f.enumConstant("Scale", "w\xC3\xA9st"), "7 -1 Scale.w\xC3\xA9st"},
        {f.w.string("h\xC3\xA9llo"), "0 h\xC3\xA9llo"},
        // Texts are widened eight bytes at a time up to the first byte that
        // is not plain ASCII or the first zero byte, where widening stops.
        {f.w.string("plain ASCII for eight bytes, then \xC3\xA9"),
         "0 plain ASCII for eight bytes, then \xC3\xA9"},
        {f.w.string(std::string("sixteen bytes, a\0zero", 22)), "0 sixteen bytes, a"},
        {f.w.doubleValue(2.5), "1 2.5"},
        {f.w.longValue(7), "-"},
        {f.w.integer(99), "2 99"},
    };
    const std::string staleClass = std::to_string(f.w.classNamed("com/ulno/old/Builtins"));
    const std::vector<std::string> errors = {
        "Non-recognized method 'floor(D)D' (classIndex " + staleClass + ").",
        "Datatype 'J' not supported.",
        "Datatype 'F' not supported.",
        "Illegal method 'missingFunction()D' with undefined body  - not a rule (not void).",
        "Non-recognized builtin method 'abs(I)I'.",
    };
    const std::vector<std::string> warnings = {
        "Potentially unsupported SGLC version 0.0 : major number smaller than current (1.10)",
        "Potentially problematic SGLC version 0.0 : recompiling with current SGL Compiler (1.10) "
        "is recommended."};

    testsupport::LogCapture log;
    const auto sgb = sgbtest::decode(f.str());
    const zulx::RuleData& record = *sgb->data;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        EXPECT_EQ(entryText(record, row.index), row.text);
        if (row.text[0] == '3') {
            const auto& m =
                *static_cast<const zulx::MethodRecord*>(record.constants[row.index]->payload);
            EXPECT_EQ(m.index, row.index);
            EXPECT_EQ(record.methodIndex.at(m.name + m.descriptor), row.index);
        }
    }
    EXPECT_EQ(record.constants.size(), rows[std::size(rows) - 1].index + 1u); // the last entry
    EXPECT_THAT(record.ownFieldRefs, ElementsAre(height, name));
    EXPECT_THAT(record.handleRefs, ElementsAre(handleDD));
    EXPECT_THAT(record.enumTypeNames, ElementsAre("AreaSelector", "Scale"));

    // Method errors are logged at once at level 1; every error and warning
    // again at the end, at levels 4 and 3.
    std::vector<testsupport::LogCapture::Record> expectedLog;
    for (const std::string& e : errors)
        expectedLog.emplace_back(1, e);
    for (const std::string& e : errors)
        expectedLog.emplace_back(4, "SGB file contains error '" + e + "'");
    for (const std::string& w : warnings)
        expectedLog.emplace_back(3, "SGB file contains warning '" + w + "'");
    // The stored lists are the logged ones.
    EXPECT_EQ(record.errors.size(), errors.size());
    EXPECT_EQ(record.warnings.size(), warnings.size());
    EXPECT_EQ(log.records(), expectedLog);
}

} // namespace
