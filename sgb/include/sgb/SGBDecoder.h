#pragma once

#include "zulx/Extension.h"

namespace sgb {

/// Decodes one compiled rule file into one compiled-rule object.
class SGBDecoder : public zulx::SGBDecoder {
public:
    SGBDecoder();
    ~SGBDecoder() override;
    /// Appends exactly one compiled-rule object to `results`, or throws and
    /// leaves `results` as it was. `cache` and `key` are not used.
    void decode(zulx::ContentPtrVector& results, std::istream& stream, zul::Cache* cache,
                const std::wstring& key) override;
};

} // namespace sgb
