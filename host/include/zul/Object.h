#pragma once

#include "zul/ContentType.h"
#include "zul/Export.h"
#include "zul/Status.h"

#include <cstddef>
#include <string>
#include <vector>

namespace zul {

/// Base of every host object that can render itself as XML through the
/// two-call buffer protocol: call with *size 0 to learn the size, then again
/// with a buffer of that size.
class ZUL_CORE_API Object {
public:
    virtual const char* toXML(char* buffer, size_t* size, Status* stat = nullptr) const = 0;
    virtual ~Object();

protected:
    Object() = default;
    Object(const Object&) = default;
    Object& operator=(const Object&) = default;
};

/// Options handed to an encoder factory: a set of keys with text values.
class ZUL_CORE_API AttributeMap : public Object {
public:
    virtual std::vector<std::wstring> getKeys() const = 0;
    virtual std::wstring getString(const std::wstring& key) const = 0;
};

/// Description of one registered extension, as an info record the caller owns.
class ZUL_CORE_API ExtensionInfo : public Object {
public:
    virtual const wchar_t* getID() const = 0;
    virtual const wchar_t* getName() const = 0;
    virtual const wchar_t* getDescription() const = 0;
    virtual ContentType getContentType() const = 0;
    /// The factory's merit when the record was made.
    virtual float getMerit() const = 0;
};

class ZUL_CORE_API EncoderInfo : public ExtensionInfo {};
class ZUL_CORE_API DecoderInfo : public ExtensionInfo {};

} // namespace zul
