#include "sgb/CompilerVersion.h"

#include <cerrno>
#include <climits>
#include <cwchar>
#include <cwctype>

namespace sgb {
namespace {

// One "%d" conversion: optional blanks, optional sign, at least one digit.
// Returns false (and leaves `pos`) when there is no number at `pos`.
bool readInt(const std::wstring& text, size_t& pos, int& value) {
    size_t p = pos;
    while (p < text.size() && std::iswspace(static_cast<wint_t>(text[p])))
        ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == L'+' || text[p] == L'-'))
        negative = text[p++] == L'-';
    if (p >= text.size() || text[p] < L'0' || text[p] > L'9')
        return false;
    long long magnitude = 0;
    for (; p < text.size() && text[p] >= L'0' && text[p] <= L'9'; ++p)
        if (magnitude <= static_cast<long long>(INT_MAX) + 1)
            magnitude = magnitude * 10 + (text[p] - L'0');
    const long long signedValue = negative ? -magnitude : magnitude;
    value = signedValue > INT_MAX
                ? INT_MAX
                : (signedValue < INT_MIN ? INT_MIN : static_cast<int>(signedValue));
    pos = p;
    return true;
}

bool less(const CompilerVersion& a, const CompilerVersion& b) {
    return a.major < b.major || (a.major == b.major && a.minor < b.minor);
}

} // namespace

CompilerVersion parseVersion(const std::wstring& text) {
    CompilerVersion version;
    size_t pos = 0;
    if (!readInt(text, pos, version.major))
        return version;
    if (pos >= text.size() || text[pos] != L'.')
        return version;
    ++pos;
    readInt(text, pos, version.minor);
    return version;
}

std::wstring toString(const CompilerVersion& version) {
    return std::to_wstring(version.major) + L"." + std::to_wstring(version.minor);
}

void checkCompilerVersion(const CompilerVersion& file, std::vector<std::wstring>& errors,
                          std::vector<std::wstring>& warnings) {
    const CompilerVersion& current = kCurrentCompilerVersion;
    const std::wstring f = toString(file);
    const std::wstring c = toString(current);
    if (file.major > current.major)
        errors.push_back(L"Unsupported SGLC version " + f +
                         L" : major number larger than current (" + c + L")");
    else if (file.major < current.major)
        warnings.push_back(L"Potentially unsupported SGLC version " + f +
                           L" : major number smaller than current (" + c + L")");
    else if (file.minor > current.minor)
        warnings.push_back(L"Potentially unsupported SGLC version " + f +
                           L" : newer than current (" + c + L")");
    if (less(file, kRecommendedCompilerVersion))
        warnings.push_back(L"Potentially problematic SGLC version " + f +
                           L" : recompiling with current SGL Compiler (" + c +
                           L") is recommended.");
}

} // namespace sgb
