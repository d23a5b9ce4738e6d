#include "zulx/Extension.h"
#include "zul/Object.h"
#include "zul/RuleFileInfo.h"
#include "zulx/ExtensionManager.h"

namespace zul {

// Out-of-line destructors are the key functions of these classes: their type
// information then lives in this library only, and dynamic_cast works across
// the host, the loader and extension libraries.
Object::~Object() = default;
AnnotationArgument::~AnnotationArgument() = default;
Annotation::~Annotation() = default;
RuleFileInfo::~RuleFileInfo() = default;
RuleFileInfo::Entry::~Entry() = default;
RuleFileInfo::Parameter::~Parameter() = default;

} // namespace zul

namespace zulx {

Content::~Content() = default;
Extension::~Extension() = default;
Decoder::~Decoder() = default;
Encoder::~Encoder() = default;
StreamAdaptor::~StreamAdaptor() = default;
SGBDecoder::~SGBDecoder() = default;
ExtensionManager::~ExtensionManager() = default;

const std::wstring& Extension::toString(zul::ContentType type) {
    static const std::wstring names[] = {L"Undefined", L"Geometry", L"Material",
                                         L"Texture",   L"Shape",    L"SGB"};
    static const std::wstring unknown = L"Unknown";
    const int i = static_cast<int>(type);
    return (i >= 0 && i < static_cast<int>(sizeof(names) / sizeof(names[0]))) ? names[i] : unknown;
}

} // namespace zulx
