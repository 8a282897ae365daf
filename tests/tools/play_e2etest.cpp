// The play command's answer to a name: a name that is no production is
// refused at once, before anything is installed, configured or built. The
// script runs from a copy of the tree that holds only the production table,
// so that anything it tried beyond checking the name fails loudly (there is
// no installer and no CMakeLists.txt there). And what a later run of a built
// production does again, with an installer and a cmake that only note what
// they were asked.
#include <filesystem>
#include <string>

#include "support/e2e_display.h"
#include "support/test_support.h"
#include "system/productions.h"
#include "tools/tool_run.h"

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

// An installer and a cmake that write each call into calls.txt: a configure
// makes the cache and the default production's name, a build of the program
// or of the run directory makes a program that says it was played, or the
// archive. With FAIL_BATCHES set, building the program in batches fails.
class PlayLaterRunTest : public PlayCommandTest {
protected:
    void SetUp() override {
        PlayCommandTest::SetUp();
        fs::create_directories(tree.file("bin"));
        tool_run::write_script(tree.file("tools/install-deps.sh"), "echo \"install-deps $*\" >>\"$CALLS\"\n");
        tool_run::write_script(tree.file("bin/cmake"), R"(echo "cmake $*" >>"$CALLS"
if [ "$1" = -S ]; then
  mkdir -p "$4"
  printf '%s\n' "$@" | grep -- -DCMAKE_UNITY_BUILD= >"$4/CMakeCache.txt"
  echo )" + name + R"( >"$4/default_production"
  exit 0
fi
target=${!#}
case $target in
  run_dir_*) mkdir -p "$2/run/${target#run_dir_}" && touch "$2/run/${target#run_dir_}/data.tlx" ;;
  zembla-*)
    if [ -n "${FAIL_BATCHES:-}" ] && grep -q =ON "$2/CMakeCache.txt"; then exit 1; fi
    printf '#!/bin/sh\necho played\n' >"$2/$target" && chmod +x "$2/$target" ;;
esac
)");
    }

    // The calls of one run, one a line, and what the run printed.
    CommandResult play_later(const std::string& env = "") {
        fs::remove(tree.file("calls.txt"));
        return run_command("cd '" + tree.path() + "' && " + env + " CALLS='" + tree.file("calls.txt") +
                               "' PATH='" + tree.file("bin") + "':\"$PATH\" bash tools/play.sh 2>&1",
                           30);
    }
    std::string calls() { return read_file(tree.file("calls.txt")); }

    const std::string name = production_table().back().name;
};

TEST_F(PlayLaterRunTest, ConfiguresOnlyWhenItsSettingsChanged) {
    const std::string configure_on = "cmake -S . -B build-play -DCMAKE_BUILD_TYPE=Release";
    const std::string build = "cmake --build build-play -j ";
    const struct {
        const char* what;
        const char* before;  // a command run in the tree first
        const char* env;
        bool configures;
    } cases[] = {
        {"the first run", "", "", true},
        {"a later run", "", "", false},
        {"after the cache went", "rm build-play/CMakeCache.txt", "", true},
        {"after a configure of other settings", "echo other >build-play/play-configure.txt", "", true},
        {"a later run again", "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (*c.before) {
            ASSERT_EQ(run_command("cd '" + tree.path() + "' && " + c.before).status, 0);
        }
        CommandResult r = play_later(c.env);
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("played"), std::string::npos) << r.output;
        const std::string made = calls();
        EXPECT_EQ(made.find("install-deps --play\n"), 0u) << made;
        EXPECT_EQ(made.find(configure_on) != std::string::npos, c.configures) << made;
        // The program, then the run directory: two walks of the build.
        const size_t program = made.find(build);
        ASSERT_NE(program, std::string::npos) << made;
        EXPECT_NE(made.find("--target zembla-" + name + "\n", program), std::string::npos) << made;
        EXPECT_NE(made.find(build, program + 1), std::string::npos) << made;
        EXPECT_NE(made.find("--target run_dir_" + name + "\n"), std::string::npos) << made;
        EXPECT_EQ(made.find("synctimeline"), std::string::npos) << made;
    }
}

// Batches that fail to build are built file by file, and a run after that
// tries the batches again (configuring again): the failure may have been
// mended.
TEST_F(PlayLaterRunTest, ABatchBuildThatFailsIsBuiltFileByFile) {
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        CommandResult r = play_later("FAIL_BATCHES=1");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("The build in batches failed; building file by file."), std::string::npos)
            << r.output;
        const std::string made = calls();
        const size_t on = made.find("-DCMAKE_UNITY_BUILD=ON");
        const size_t off = made.find("-DCMAKE_UNITY_BUILD=OFF");
        ASSERT_NE(on, std::string::npos) << made;
        EXPECT_GT(off, on) << made;
        EXPECT_NE(off, std::string::npos) << made;
        EXPECT_NE(r.output.find("played"), std::string::npos) << r.output;
    }
}

}  // namespace
