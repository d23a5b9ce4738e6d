#include "classfile/FieldType.h"

#include <boost/format.hpp>

#include <iostream>
#include <stdexcept>

namespace classfile {

namespace {

const char* primitiveName(char c) {
    switch (c) {
    case 'B':
        return "byte";
    case 'C':
        return "char";
    case 'D':
        return "double";
    case 'F':
        return "float";
    case 'I':
        return "int";
    case 'J':
        return "long";
    case 'S':
        return "short";
    case 'V':
        return "void";
    case 'Z':
        return "boolean";
    default:
        return nullptr;
    }
}

} // namespace

std::string parseFieldType(const std::string& descriptor, std::vector<std::string>& names) {
    // Array dimensions are counted rather than recursed into, so a descriptor
    // of thousands of "[" cannot exhaust the stack.
    size_t pos = 0;
    while (pos < descriptor.size() && descriptor[pos] == '[')
        ++pos;
    std::string name(pos, '[');

    const char c = pos < descriptor.size() ? descriptor[pos] : '\0';
    if (const char* primitive = primitiveName(c)) {
        names.push_back(name + primitive);
        return descriptor.substr(pos + 1);
    }
    if (c == 'L') {
        const size_t end = descriptor.find(';', pos + 1);
        const size_t stop = end == std::string::npos ? descriptor.size() : end;
        std::string className = descriptor.substr(pos + 1, stop - pos - 1);
        for (char& ch : className)
            if (ch == '/')
                ch = '.';
        names.push_back(name + className);
        // Without a ";" the whole text was the class name; nothing is left.
        return end == std::string::npos ? std::string() : descriptor.substr(end + 1);
    }
    std::cerr << "unknown field type:";
    if (pos < descriptor.size())
        std::cerr << c;
    std::cerr << std::endl;
    throw std::runtime_error(
        (boost::format("Reading SGB failed: Unknown field type: %s") % descriptor.substr(pos))
            .str());
}

} // namespace classfile
