#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sgb {

/// Texts to numbers, for lookups made once per pool entry: a member is known
/// by its name followed directly by its descriptor, and the table finds that
/// joined text without anyone joining the two into a string of its own. Its
/// slots are sized for all its keys at the start (the callers know how many
/// there are), so that neither building nor looking up allocates per key. The
/// table refers to the texts it is given; they must outlive it.
class JoinedTextTable {
public:
    /// A table for at most `keys` distinct keys.
    explicit JoinedTextTable(size_t keys) {
        size_t slots = 16;
        while (slots < 2 * keys)
            slots *= 2;
        mSlots.resize(slots);
    }

    /// Enters `first` followed by `second` with `value`. An equal joined text
    /// already there keeps its value when `keepOld` is true and takes `value`
    /// otherwise.
    void insert(std::string_view first, std::string_view second, size_t value, bool keepOld) {
        mJoined.assign(first).append(second);
        const size_t h = std::hash<std::string_view>()(mJoined);
        Slot& slot = mSlots[locate(mJoined, h)];
        if (slot.used) {
            if (!keepOld)
                slot.value = value;
            return;
        }
        // Never more than half full, so that a free slot ends every probe.
        if (2 * (mUsed + 1) > mSlots.size())
            throw std::logic_error("joined text table: more keys than it was made for");
        slot = Slot{true, h, first, second, value};
        ++mUsed;
    }

    /// The value of the key whose joined text is `joined`, or null.
    const size_t* find(std::string_view joined) const {
        const Slot& slot = mSlots[locate(joined, std::hash<std::string_view>()(joined))];
        return slot.used ? &slot.value : nullptr;
    }

private:
    struct Slot {
        bool used = false;
        size_t hash = 0;
        std::string_view first;
        std::string_view second;
        size_t value = 0;
    };

    static bool joinedEquals(const Slot& slot, std::string_view joined) {
        const size_t split = slot.first.size();
        return joined.size() == split + slot.second.size() &&
               joined.substr(0, split) == slot.first && joined.substr(split) == slot.second;
    }

    // The position of the slot holding `joined` (whose hash is `h`), or of
    // the free slot where it belongs. The table is never more than half full,
    // so a free slot always ends the probe.
    size_t locate(std::string_view joined, size_t h) const {
        const size_t mask = mSlots.size() - 1;
        for (size_t i = h & mask;; i = (i + 1) & mask) {
            const Slot& slot = mSlots[i];
            if (!slot.used || (slot.hash == h && joinedEquals(slot, joined)))
                return i;
        }
    }

    std::vector<Slot> mSlots;
    size_t mUsed = 0;
    std::string mJoined; ///< the key being entered, joined for its hash
};

} // namespace sgb
