#include "sgb/CPEntry.h"

namespace SGB {

CPEntry::~CPEntry() = default;

} // namespace SGB
