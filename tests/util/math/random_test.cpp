#include "support/test_support.h"

#include <filesystem>
#include <fstream>
#include <regex>

#include "util/math/random.h"
#include "util/math/scalar.h"

namespace {

TEST(Random, SeedOneGivesTheClassicSequence) {
    random_seed(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected) EXPECT_EQ(random_next(), value);
}

TEST(Random, ReseedingRepeatsTheSequenceAndStaysInRange) {
    random_seed(12345);
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i) first.push_back(random_next());
    random_seed(12345);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(random_next(), first[i]);
    int low = RANDOM_MAX, high = 0;
    random_seed(0xFFFFFFFFu);
    for (int i = 0; i < 200000; ++i) {
        int v = random_next();
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 32767);
}

TEST(RandomRange, StaysWithinItsBoundsAndAnEmptyRangeGivesItsValue) {
    random_seed(7);
    for (int i = 0; i < 100000; ++i) {
        float v = random_range(-2.5f, 4.0f);
        ASSERT_GE(v, -2.5f);
        ASSERT_LE(v, 4.0f);
    }
    for (float a : {0.0f, -3.25f, 1e6f}) EXPECT_EQ(random_range(a, a), a);
}

// The C library's generator has another range (RAND_MAX is 2^31 - 1 here),
// which breaks every "rand() / 32767" in the program.
TEST(Random, TheProgramNeverCallsTheCLibraryGenerator) {
    const std::regex call(R"((^|[^_A-Za-z0-9.>:])(std::)?s?rand\s*\(|\bRAND_MAX\b|random_shuffle)");
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test_support::source_path("src"))) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::string code = line.substr(0, line.find("//"));
            EXPECT_FALSE(std::regex_search(code, call)) << entry.path().string() << ":" << number << ": " << line;
        }
    }
    EXPECT_GT(files, 10);
}

}  // namespace
