// The play command's answer to a name: a name that is no production is
// refused at once, before anything is installed, configured or built. The
// script runs from a copy of the tree that holds only the production table,
// so that anything it tried beyond checking the name fails loudly (there is
// no installer and no CMakeLists.txt there).
#include <filesystem>
#include <string>

#include "support/e2e_display.h"
#include "support/test_support.h"
#include "system/productions.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

class PlayCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tree.file("tools"));
        fs::create_directories(tree.file("src/system"));
        fs::copy_file(source_path("tools/play.sh"), tree.file("tools/play.sh"));
        fs::copy_file(source_path("src/system/productions.cpp"), tree.file("src/system/productions.cpp"));
    }

    CommandResult play(const std::string& name) {
        return run_command("bash '" + tree.file("tools/play.sh") + "' '" + name + "' 2>&1", 30);
    }

    TempDir tree;
};

TEST_F(PlayCommandTest, AWrongNameIsAnsweredBeforeAnythingElseRuns) {
    std::string names;
    for (const ProductionRow& row : production_table()) names += (names.empty() ? "" : " ") + std::string(row.name);
    const struct {
        const char* what;
        std::string name;
        std::string says;
    } cases[] = {
        {"no such name", "nosuch", "No production named nosuch (there are: " + names + ")."},
        {"a pattern, not a name", ".*", "No production named .* (there are: " + names + ")."},
        {"a part of a name", std::string(production_table().back().name).substr(1),
         "No production named " + std::string(production_table().back().name).substr(1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CommandResult r = play(c.name);
        EXPECT_EQ(r.status, 2) << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("install-deps"), std::string::npos) << r.output;
    }
    EXPECT_FALSE(fs::exists(tree.file("build-play")));
}

TEST_F(PlayCommandTest, ARightNameGoesOnToInstallAndBuild) {
    // Here the next step, the package installer, is missing from the tree.
    CommandResult r = play(production_table().back().name);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.status, 2) << r.output;
    EXPECT_NE(r.output.find("install-deps"), std::string::npos) << r.output;
}

}  // namespace
