// The registration bookkeeping on its own, over factories of this program
// that note their destruction.
#include "loader/RegistrationBook.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using loader::RegistrationBook;
using ::testing::ElementsAre;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;

class Factory : public zulx::DecoderFactory {
public:
    Factory(std::vector<std::string>& destroyed, const wchar_t* id, std::string name)
        : zulx::DecoderFactory(zul::CT_SHAPE, id, L"", L"", zulx::FileExtensions()),
          mDestroyed(destroyed), mName(std::move(name)) {}
    ~Factory() override { mDestroyed.push_back(mName); }
    zulx::Extension* create() const override { return nullptr; }
    const std::string& name() const { return mName; }

private:
    std::vector<std::string>& mDestroyed;
    std::string mName;
};

/// Stands for a factory of the loader's own.
class Own : public Factory {
public:
    using Factory::Factory;
};

class RegistrationBookTest : public ::testing::Test {
protected:
    Factory* made(const wchar_t* id, const char* name) { return new Factory(destroyed, id, name); }
    Factory* own(const wchar_t* id, const char* name) { return new Own(destroyed, id, name); }
    /// The registry as (id, name of the factory), in id order.
    std::vector<std::pair<std::wstring, std::string>> entries() const {
        std::vector<std::pair<std::wstring, std::string>> result;
        for (const auto& entry : registry)
            result.emplace_back(entry.first, static_cast<const Factory*>(entry.second)->name());
        return result;
    }

    std::vector<std::string> destroyed;
    loader::FactoryMap registry;
    std::unique_ptr<RegistrationBook> book = std::make_unique<RegistrationBook>(registry);
};

// The outer registration fails; what a nested one took over from it stays.
// Own factories are never taken back and replace one of their own class at
// once; another class's factory that they displace lives on.
TEST_F(RegistrationBookTest, FailedRegistrationIsTakenBackButOwnFactoriesStay) {
    Factory* a1 = made(L"a", "a1");
    book->enter(a1);
    book->enter(a1); // entered again: still one entry, destroyed once
    RegistrationBook::Journal outer;
    RegistrationBook::Journal inner;
    {
        const RegistrationBook::Recording recordingOuter(*book, outer);
        book->enter(made(L"a", "a2"));
        book->enter(made(L"n", "n1"));
        book->enter(made(L"n", "n2"));
        book->enter(made(L"x", "x1"));
        const RegistrationBook::Recording recordingInner(*book, inner);
        book->enter(made(L"x", "x2"));
        book->enter(made(L"y", "y1"));
        book->enterOwn(own(L"s", "own1"));
        book->enterOwn(own(L"s", "own2"));
        EXPECT_THAT(destroyed, ElementsAre("own1"));
        book->enter(made(L"s", "library"));
        book->enterOwn(own(L"s", "own3"));
    }
    book->takeBack(outer);

    EXPECT_THAT(entries(), ElementsAre(Pair(L"a", "a1"), Pair(L"s", "own3"), Pair(L"x", "x2"),
                                       Pair(L"y", "y1")));
    EXPECT_THAT(destroyed, UnorderedElementsAre("own1", "a2", "n1", "n2"));
    destroyed.clear();
    book.reset(); // the registered factories in id order, then the displaced ones
    EXPECT_THAT(destroyed, ElementsAre("a1", "own3", "x2", "y1", "x1", "own2", "library"));
}

} // namespace
