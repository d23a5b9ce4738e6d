#include "sgb/SGBDecoder.h"
#include "sgb/Translator.h"

#include "zulx/SGB.h"

#include <memory>
#include <utility>

namespace sgb {

SGBDecoder::SGBDecoder() = default;
SGBDecoder::~SGBDecoder() = default;

void SGBDecoder::decode(zulx::ContentPtrVector& results, std::istream& stream, zul::Cache*,
                        const std::wstring&) {
    std::unique_ptr<zulx::SGB> object(zulx::SGB::create());
    {
        const std::shared_ptr<zulx::RuleData> record = object->data;
        translate(*record, stream);
    }
    // Owned by the shared pointer before the vector can fail to grow.
    zulx::ContentPtr content(object.release());
    results.push_back(std::move(content));
}

} // namespace sgb
