#include "util/context_cache.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Stands in for a GL object: notes its destruction.
struct Noted {
    Noted(std::vector<std::string>& log, std::string name) : log(log), name(std::move(name)) {}
    ~Noted() { log.push_back(name); }
    std::vector<std::string>& log;
    std::string name;
};

std::vector<std::string> destroyed;

Noted& first() {
    return ContextCache::get([] { return std::make_unique<Noted>(destroyed, "first"); });
}
Noted& second() {
    return ContextCache::get([] { return std::make_unique<Noted>(destroyed, "second"); });
}
// Made with what its first use knows.
Noted& named(const std::string& name) {
    return ContextCache::get([&] { return std::make_unique<Noted>(destroyed, name); });
}

class ContextCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ContextCache::release();
        destroyed.clear();
    }
    void TearDown() override { ContextCache::release(); }
};

}  // namespace

TEST_F(ContextCacheTest, EachCallSiteKeepsOneObjectMadeOnItsFirstUse) {
    EXPECT_EQ(ContextCache::size(), 0u);
    Noted* a = &first();
    EXPECT_EQ(&first(), a);
    EXPECT_NE(&second(), a);
    Noted* made = &named("as first seen");
    EXPECT_EQ(&named("later"), made);
    EXPECT_EQ(made->name, "as first seen");
    EXPECT_EQ(ContextCache::size(), 3u);
    EXPECT_TRUE(destroyed.empty());
}

TEST_F(ContextCacheTest, ReleaseDestroysTheNewestFirstAndTheNextUseMakesAnew) {
    second();
    first();
    named("third");
    ContextCache::release();
    EXPECT_EQ(destroyed, (std::vector<std::string>{"third", "first", "second"}));
    EXPECT_EQ(ContextCache::size(), 0u);

    EXPECT_EQ(named("made again").name, "made again");
    EXPECT_EQ(ContextCache::size(), 1u);
    ContextCache::release();
    EXPECT_EQ(destroyed.back(), "made again");
}

// An object's maker may use another kept object (the ASCII screen its target).
TEST_F(ContextCacheTest, AMakerMayUseAnotherKeptObject) {
    Noted& outer = ContextCache::get([] {
        first();
        return std::make_unique<Noted>(destroyed, "outer");
    });
    EXPECT_EQ(outer.name, "outer");
    EXPECT_EQ(ContextCache::size(), 2u);
    ContextCache::release();
    EXPECT_EQ(destroyed, (std::vector<std::string>{"outer", "first"}));
}
