#pragma once

// A canonical text of everything the translation writes into a rule data
// record, so that tests can compare entries and records as a whole.

#include "sgb/CPEntry.h"
#include "sgb/Enum.h"

#include "util/Text.h"
#include "zulx/SGB.h"

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace sgbtest {

/// Constant entry `i` as "<tag> <payload>", or "-" when nothing is stored
/// there. A method record (tag 3) reads "3 position kind maxStack paramCount
/// localSlots public valid name baseName descriptor [localTypes] [code]";
/// its own index is left out (tests compare it with `i` separately).
inline std::string entryText(const zulx::RuleData& record, size_t i) {
    const ::SGB::CPEntry* e = i < record.constants.size() ? record.constants[i] : nullptr;
    if (!e)
        return "-";
    std::ostringstream out;
    out.precision(17);
    out << e->tag;
    const void* p = e->payload;
    switch (e->tag) {
    case 0:
        out << ' ' << util::toUTF8(**static_cast<const std::shared_ptr<std::wstring>*>(p));
        break;
    case 1:
        out << ' ' << *static_cast<const double*>(p);
        break;
    case 3: {
        const auto& m = *static_cast<const zulx::MethodRecord*>(p);
        out << ' ' << m.position << ' ' << m.kind << ' ' << m.maxStack << ' ' << m.paramCount << ' '
            << m.localSlots << ' ' << int(m.isPublic) << ' ' << int(m.valid) << ' '
            << util::toUTF8(m.name) << ' ' << util::toUTF8(m.baseName) << ' '
            << util::toUTF8(m.descriptor) << " [";
        for (size_t t = 0; t < m.localTypes.size(); ++t)
            out << (t ? " " : "") << m.localTypes[t];
        out << "] [";
        for (size_t b = 0; b < m.code.size(); ++b)
            out << (b ? " " : "") << int(m.code[b]);
        out << ']';
        break;
    }
    case 7: {
        const auto& v = **static_cast<const std::shared_ptr<::SGB::Enum>*>(p);
        out << ' ' << v.value << ' ' << util::toUTF8(v.name);
        break;
    }
    default: // tags 2, 4 and 6 hold an integer, tag 5 nothing
        out << ' ';
        if (p)
            out << *static_cast<const int32_t*>(p);
        else
            out << "null";
        break;
    }
    return out.str();
}

inline std::string recordText(const zulx::RuleData& record) {
    std::ostringstream out;
    for (size_t i = 0; i < record.constants.size(); ++i)
        if (record.constants[i])
            out << i << ": " << entryText(record, i) << '\n';
    out << "size " << record.constants.size() << "\nown";
    for (int32_t i : record.ownFieldRefs)
        out << ' ' << i;
    out << "\nenums";
    for (const std::string& s : record.enumTypeNames)
        out << ' ' << s;
    out << "\nhandles";
    for (int32_t i : record.handleRefs)
        out << ' ' << i;
    out << "\nmethods";
    for (const auto& m : record.methodIndex)
        out << ' ' << util::toUTF8(m.first) << '=' << m.second;
    out << "\nversions " << record.compilerVersionMajor << '.' << record.compilerVersionMinor << ' '
        << record.languageVersionMajor << '.' << record.languageVersionMinor << '\n';
    for (const std::wstring& e : record.errors)
        out << "error " << util::toUTF8(e) << '\n';
    for (const std::wstring& w : record.warnings)
        out << "warning " << util::toUTF8(w) << '\n';
    if (record.ruleFileInfo) {
        size_t size = 0;
        record.ruleFileInfo->toXML(nullptr, &size);
        std::vector<char> xml(size);
        record.ruleFileInfo->toXML(xml.data(), &size);
        out << xml.data();
    }
    return out.str();
}

} // namespace sgbtest
