#pragma once

#include "loader/FactoryMap.h"

#include <string>
#include <vector>

namespace loader {

/// Enters factories into a registry and owns them: the registered ones and
/// those that lost their id to a later registration, which are kept until
/// teardown. It journals what each library's registration entered, so that a
/// registration that throws can be taken back while the library is loaded.
class RegistrationBook {
public:
    /// What one registration entered, in order.
    class Journal {
        friend class RegistrationBook;
        struct Change {
            std::wstring id;
            zulx::ExtensionFactory* added;
            zulx::ExtensionFactory* previous; ///< null when the id was new
        };
        std::vector<Change> changes;
    };

    /// While it lives, every factory entered goes to `journal`, unless a
    /// recording opened later is still open (a library may load another one
    /// from its registration code). Throws std::runtime_error instead of
    /// opening when recordings nest too deep.
    class Recording {
    public:
        Recording(RegistrationBook& book, Journal& journal);
        ~Recording();
        Recording(const Recording&) = delete;
        Recording& operator=(const Recording&) = delete;

    private:
        RegistrationBook& mBook;
    };

    explicit RegistrationBook(FactoryMap& registry);
    /// Destroys every factory it still owns (see destroyAll).
    ~RegistrationBook();
    RegistrationBook(const RegistrationBook&) = delete;
    RegistrationBook& operator=(const RegistrationBook&) = delete;

    /// Enters `factory` (not null) under its id, in place of the one that
    /// held it, and journals that in the open recording.
    void enter(zulx::ExtensionFactory* factory);
    /// Enters one of the loader's own factories, never journaled, so that no
    /// failing registration takes it back. An instance of the same class that
    /// it replaces needs no library and is destroyed at once.
    void enterOwn(zulx::ExtensionFactory* factory);
    /// Restores the registry as it was before `journal` began, except for ids
    /// taken over since, and destroys the factories the journal added that
    /// the book no longer holds.
    void takeBack(const Journal& journal);
    /// Destroys the registered factories in id order, then the displaced
    /// ones, and empties the registry.
    void destroyAll();

private:
    zulx::ExtensionFactory* place(zulx::ExtensionFactory* factory, Journal* journal);
    bool holds(const zulx::ExtensionFactory* factory) const;

    FactoryMap& mRegistry;
    /// Factories that lost their id. Every owned factory sits in one place,
    /// here or in the registry, so that each is destroyed once.
    std::vector<zulx::ExtensionFactory*> mDisplaced;
    /// The open recordings' journals, innermost last.
    std::vector<Journal*> mOpen;
};

} // namespace loader
