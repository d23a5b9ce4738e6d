#include "sgb/EnumMap.h"

#include "util/RuntimeErrorST.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/thread/thread.hpp>

#include <atomic>
#include <iterator>
#include <thread>

namespace sgb {
namespace {

// One keyword array per class...
#define ZUL_ENUM_CLASS(name, ...) const char* const kKeywords_##name[] = {__VA_ARGS__};
#include "EnumKeywords.def"
#undef ZUL_ENUM_CLASS

// ...then the class rows that point at them.
const EnumClassRow kClasses[] = {
#define ZUL_ENUM_CLASS(name, ...) {#name, kKeywords_##name, std::size(kKeywords_##name)},
#include "EnumKeywords.def"
#undef ZUL_ENUM_CLASS
};

enum BuildState : int { kNotStarted = 0, kBuilding = 1, kBuilt = 2 };

// The table lives as long as the library. Its build is guarded by hand rather
// than by std::call_once so that the building thread can read the table while
// filling it instead of deadlocking on its own guard.
EnumMap gTable;
std::atomic<int> gState{kNotStarted};
std::atomic<std::thread::id> gBuilder{};

void fill(EnumMap& map) {
    for (const EnumClassRow& row : kClasses)
        for (size_t i = 0; i < row.count; ++i)
            addEnumValue(map, row.name, row.keywords[i], static_cast<int32_t>(i));
}

} // namespace

size_t enumClassCount() {
    return std::size(kClasses);
}

const EnumClassRow& enumClassRow(size_t i) {
    return kClasses[i];
}

const EnumMap& getEnumMap() {
    for (;;) {
        int state = gState.load(std::memory_order_acquire);
        if (state == kBuilt)
            return gTable;
        if (state == kNotStarted &&
            gState.compare_exchange_strong(state, kBuilding, std::memory_order_acq_rel)) {
            gBuilder.store(std::this_thread::get_id(), std::memory_order_release);
            try {
                fill(gTable);
            } catch (...) {
                // Back to "not started", so that waiting threads and later
                // callers build it again instead of waiting forever.
                gTable.clear();
                gBuilder.store(std::thread::id(), std::memory_order_release);
                gState.store(kNotStarted, std::memory_order_release);
                throw;
            }
            gState.store(kBuilt, std::memory_order_release);
            return gTable;
        }
        if (state == kBuilding &&
            gBuilder.load(std::memory_order_acquire) == std::this_thread::get_id())
            return gTable;
        if (state == kBuilding)
            boost::this_thread::sleep(boost::posix_time::milliseconds(5));
    }
}

int32_t lookupEnumValue(const EnumMap& map, const std::string& enumClass,
                        const std::string& keyword) {
    const auto cls = map.find(enumClass);
    if (cls == map.end())
        throw util::RuntimeErrorST("No enum '" + enumClass + "' found in map!");
    const auto it = cls->second.find(keyword);
    return it == cls->second.end() ? -1 : it->second;
}

void addEnumValue(EnumMap& map, const std::string& enumClass, const std::string& keyword,
                  int32_t value) {
    map[enumClass][keyword] = value;
}

} // namespace sgb
