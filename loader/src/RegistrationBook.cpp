#include "loader/RegistrationBook.h"

#include <algorithm>
#include <stdexcept>
#include <typeinfo>

namespace loader {
namespace {

// A library may load others from its registration code; a library that loads
// itself would otherwise recurse until the stack runs out.
constexpr size_t kMaxNesting = 8;

bool removeLast(std::vector<zulx::ExtensionFactory*>& list, zulx::ExtensionFactory* factory) {
    const auto it = std::find(list.rbegin(), list.rend(), factory);
    if (it == list.rend())
        return false;
    list.erase(std::next(it).base());
    return true;
}

} // namespace

RegistrationBook::Recording::Recording(RegistrationBook& book, Journal& journal) : mBook(book) {
    if (book.mOpen.size() >= kMaxNesting)
        throw std::runtime_error("extension libraries load each other more than " +
                                 std::to_string(kMaxNesting) + " levels deep");
    book.mOpen.push_back(&journal);
}

RegistrationBook::Recording::~Recording() {
    mBook.mOpen.pop_back();
}

RegistrationBook::RegistrationBook(FactoryMap& registry) : mRegistry(registry) {}

RegistrationBook::~RegistrationBook() {
    destroyAll();
}

void RegistrationBook::enter(zulx::ExtensionFactory* factory) {
    place(factory, mOpen.empty() ? nullptr : mOpen.back());
}

void RegistrationBook::enterOwn(zulx::ExtensionFactory* factory) {
    zulx::ExtensionFactory* previous = place(factory, nullptr);
    if (previous && typeid(*previous) == typeid(*factory)) {
        mDisplaced.pop_back(); // where place() put it
        delete previous;
    }
}

zulx::ExtensionFactory* RegistrationBook::place(zulx::ExtensionFactory* factory, Journal* journal) {
    const std::wstring& id = factory->getID();
    auto it = mRegistry.find(id);
    zulx::ExtensionFactory* previous = nullptr;
    if (it == mRegistry.end()) {
        it = mRegistry.emplace(id, factory).first;
    } else {
        previous = it->second;
        if (previous == factory)
            return nullptr;
        it->second = factory;
    }
    // A displaced factory that takes an id back leaves the displaced list.
    removeLast(mDisplaced, factory);
    if (previous)
        mDisplaced.push_back(previous);
    if (journal)
        journal->changes.push_back(Journal::Change{it->first, factory, previous});
    return previous;
}

void RegistrationBook::takeBack(const Journal& journal) {
    for (auto change = journal.changes.rbegin(); change != journal.changes.rend(); ++change) {
        const auto it = mRegistry.find(change->id);
        if (it == mRegistry.end() || it->second != change->added)
            continue; // taken over since, by a library that stays
        if (change->previous) {
            it->second = change->previous;
            removeLast(mDisplaced, change->previous);
        } else {
            mRegistry.erase(it);
        }
    }
    // Destroy what the failed registration added and the book no longer
    // holds, while the library that implements it is still loaded.
    std::vector<zulx::ExtensionFactory*> added;
    for (const Journal::Change& change : journal.changes)
        added.push_back(change.added);
    std::sort(added.begin(), added.end());
    added.erase(std::unique(added.begin(), added.end()), added.end());
    for (zulx::ExtensionFactory* factory : added)
        if (!holds(factory))
            delete factory;
}

bool RegistrationBook::holds(const zulx::ExtensionFactory* factory) const {
    return std::any_of(
               mRegistry.begin(), mRegistry.end(),
               [factory](const FactoryMap::value_type& e) { return e.second == factory; }) ||
           std::find(mDisplaced.begin(), mDisplaced.end(), factory) != mDisplaced.end();
}

void RegistrationBook::destroyAll() {
    for (auto& entry : mRegistry)
        delete entry.second;
    for (zulx::ExtensionFactory* factory : mDisplaced)
        delete factory;
    mRegistry.clear();
    mDisplaced.clear();
}

} // namespace loader
