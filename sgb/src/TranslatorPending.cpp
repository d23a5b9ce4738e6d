// Temporary: the translation driver arrives with rule translation.
#include "sgb/Translator.h"

#include <stdexcept>

namespace sgb {

void translate(zulx::RuleData&, std::istream&) {
    throw std::logic_error("rule translation is not implemented yet");
}

} // namespace sgb
