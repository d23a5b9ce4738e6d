#include "RecordBuilder.h"
#include "rulefileinfo/XmlString.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <limits>
#include <memory>
#include <string>
#include <utility>

namespace {

using namespace rfitest;
using rulefileinfo::toXMLString;

constexpr double kLargest = std::numeric_limits<double>::max();

TEST(RuleFileInfoRecords, NewRecordsHoldTheirDefaults) {
    const RuleFileInfoImpl info;
    EXPECT_EQ(info.getNumAttributes(), 0u);
    EXPECT_EQ(info.getNumRules(), 0u);
    EXPECT_EQ(info.getNumAnnotations(), 0u);
    EXPECT_EQ(info.attributes, nullptr);

    const EntryImpl e;
    EXPECT_EQ(e.getReturnType(), zul::AAT_UNKNOWN);
    EXPECT_STREQ(e.getName(), L"");
    EXPECT_EQ(e.getNumParameters(), 0u);
    EXPECT_EQ(e.getNumAnnotations(), 0u);
    EXPECT_EQ(e.order, kLargest);
    EXPECT_EQ(e.groupOrder, kLargest);
    EXPECT_TRUE(e.group.empty());

    const ParameterImpl p;
    EXPECT_EQ(p.getType(), zul::AAT_UNKNOWN);
    EXPECT_STREQ(p.getName(), L"");
    EXPECT_EQ(p.getNumAnnotations(), 0u);

    const AnnotationImpl a;
    EXPECT_STREQ(a.getName(), L"");
    EXPECT_EQ(a.getNumArguments(), 0u);

    const AnnotationArgumentImpl arg;
    ASSERT_NE(arg.getKey(), nullptr);
    EXPECT_STREQ(arg.getKey(), L"");
    ASSERT_NE(arg.getStr(), nullptr);
    EXPECT_STREQ(arg.getStr(), L"");
    EXPECT_EQ(arg.getType(), zul::AAT_UNKNOWN);
}

// The host's callers see the record only through its interfaces.
TEST(RuleFileInfoRecords, AccessorsThroughHostInterfaces) {
    const auto owned = sampleRecord();
    const zul::RuleFileInfo& info = *owned;
    ASSERT_EQ(info.getNumAttributes(), 1u);
    ASSERT_EQ(info.getNumRules(), 1u);
    ASSERT_EQ(info.getNumAnnotations(), 1u);

    const zul::RuleFileInfo::Entry* height = info.getAttribute(0);
    EXPECT_EQ(height->getReturnType(), zul::AAT_FLOAT);
    EXPECT_STREQ(height->getName(), L"height");
    EXPECT_EQ(height->getNumParameters(), 0u);
    ASSERT_EQ(height->getNumAnnotations(), 1u);
    const zul::Annotation* range = height->getAnnotation(0);
    EXPECT_STREQ(range->getName(), L"@Range");
    ASSERT_EQ(range->getNumArguments(), 2u);
    EXPECT_STREQ(range->getArgument(1)->getKey(), L"max");
    EXPECT_EQ(range->getArgument(1)->getType(), zul::AAT_FLOAT);
    EXPECT_EQ(range->getArgument(1)->getFloat(), 10.0);

    const zul::RuleFileInfo::Entry* lot = info.getRule(0);
    EXPECT_EQ(lot->getReturnType(), zul::AAT_VOID);
    ASSERT_EQ(lot->getNumParameters(), 1u);
    const zul::RuleFileInfo::Parameter* label = lot->getParameter(0);
    EXPECT_EQ(label->getType(), zul::AAT_STR);
    EXPECT_STREQ(label->getName(), L"label");
    ASSERT_EQ(label->getNumAnnotations(), 1u);
    EXPECT_STREQ(label->getAnnotation(0)->getName(), L"@Hidden");

    const zul::AnnotationArgument* version = info.getAnnotation(0)->getArgument(0);
    EXPECT_STREQ(version->getStr(), L"1.0");
    EXPECT_STREQ(version->getKey(), L"");
    EXPECT_FALSE(boolArg(false).getBool());
    EXPECT_TRUE(boolArg(true).getBool());
}

TEST(RuleFileInfoClone, EmptyRecordClonesEmpty) {
    const RuleFileInfoImpl info;
    std::unique_ptr<zul::RuleFileInfo> copy(static_cast<const zul::RuleFileInfo&>(info).clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getNumAttributes(), 0u);
    EXPECT_EQ(copy->getNumRules(), 0u);
    EXPECT_EQ(copy->getNumAnnotations(), 0u);
}

TEST(RuleFileInfoClone, CopiesContentButNotSortKeys) {
    auto info = sampleRecord();
    info->attributes[0].order = 1;
    info->attributes[0].groupOrder = 2;
    info->attributes[0].group = L"Size";
    std::unique_ptr<RuleFileInfoImpl> copy(info->clone());

    EXPECT_EQ(toXMLString(*copy), kSampleXml);
    EXPECT_EQ(copy->attributes[0].order, kLargest);
    EXPECT_EQ(copy->attributes[0].groupOrder, kLargest);
    EXPECT_TRUE(copy->attributes[0].group.empty());
    const auto& arg = copy->attributes[0].annotations[0].arguments[0];
    EXPECT_EQ(arg.type, zul::AAT_FLOAT);
    EXPECT_STREQ(arg.getKey(), L"min");
    EXPECT_EQ(copy->rules[0].parameters[0].type, zul::AAT_STR);
}

TEST(RuleFileInfoClone, CopyKeepsEveryValueField) {
    RuleFileInfoImpl info;
    AnnotationArgumentImpl all;
    all.type = zul::AAT_BOOL;
    all.key = L"k";
    all.boolValue = true;
    all.floatValue = -0.5;
    all.strValue = L"s";
    setList(
        info.numAnnotations, info.annotations,
        items<AnnotationImpl>(annotation(L"@A", items<AnnotationArgumentImpl>(std::move(all)))));
    std::unique_ptr<RuleFileInfoImpl> copy(info.clone());
    const AnnotationArgumentImpl& c = copy->annotations[0].arguments[0];
    EXPECT_EQ(c.type, zul::AAT_BOOL);
    EXPECT_EQ(c.key, L"k");
    EXPECT_TRUE(c.boolValue);
    EXPECT_EQ(c.floatValue, -0.5);
    EXPECT_EQ(c.strValue, L"s");
}

// Every level of the copy has its own storage: changing the copy, down to
// an argument's string, leaves the source as it was.
TEST(RuleFileInfoClone, CopyIsIndependentAtEveryLevel) {
    const auto info = sampleRecord();
    std::unique_ptr<RuleFileInfoImpl> copy(info->clone());

    EXPECT_NE(copy->attributes.get(), info->attributes.get());
    EXPECT_NE(copy->rules[0].parameters.get(), info->rules[0].parameters.get());
    EXPECT_NE(copy->rules[0].parameters[0].annotations.get(),
              info->rules[0].parameters[0].annotations.get());
    EXPECT_NE(copy->annotations[0].arguments.get(), info->annotations[0].arguments.get());
    EXPECT_NE(copy->annotations[0].arguments[0].getStr(),
              info->annotations[0].arguments[0].getStr());

    copy->attributes[0].name = L"changed";
    copy->attributes[0].returnType = zul::AAT_BOOL;
    copy->attributes[0].annotations[0].name = L"changed";
    copy->attributes[0].annotations[0].arguments[0].key = L"changed";
    copy->attributes[0].annotations[0].arguments[0].floatValue = 99;
    copy->rules[0].parameters[0].name = L"changed";
    copy->rules[0].parameters[0].annotations[0].name = L"changed";
    copy->annotations[0].arguments[0].strValue[0] = L'X';
    setList(copy->rules[0].parameters[0].annotations[0].numArguments,
            copy->rules[0].parameters[0].annotations[0].arguments,
            items<AnnotationArgumentImpl>(boolArg(true)));

    EXPECT_EQ(toXMLString(*info), kSampleXml);
}

TEST(RuleFileInfoClone, EitherSideSurvivesTheOther) {
    auto info = sampleRecord();
    std::unique_ptr<RuleFileInfoImpl> copy(info->clone());
    copy.reset();
    EXPECT_EQ(toXMLString(*info), kSampleXml);

    copy.reset(info->clone());
    info.reset();
    EXPECT_EQ(toXMLString(*copy), kSampleXml);
}

// The translator sorts entries in place by their sort keys; moving an entry
// carries its whole subtree without copying it.
TEST(RuleFileInfoRecords, EntriesMoveWithTheirSubtree) {
    auto info = sampleRecord();
    const ParameterImpl* parameters = info->rules[0].parameters.get();
    std::swap(info->attributes[0], info->rules[0]);
    EXPECT_EQ(info->attributes[0].parameters.get(), parameters);
    EXPECT_STREQ(info->getAttribute(0)->getName(), L"Lot");
    EXPECT_STREQ(info->getRule(0)->getAnnotation(0)->getName(), L"@Range");
}

} // namespace
