// The data scripts of tools/data-scripts.txt make the committed files again:
// one test for each script (so that ctest runs them side by side), through
// tools/check-data-scripts.sh. The checker itself, on a small repository of
// its own: what it says and how it ends when a file matches, differs, is not
// made or has no committed match, and when a script fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/e2e_display.h"
#include "support/test_support.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

// The script file name of each manifest line: its first word that starts
// with "tools/", as the checker names it.
std::vector<std::string> manifest_scripts() {
    std::vector<std::string> scripts;
    std::ifstream manifest(source_path("tools/data-scripts.txt"));
    std::string line;
    while (std::getline(manifest, line)) {
        if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#')
            continue;
        const std::string command = line.substr(0, line.find('|'));
        const size_t at = command.find("tools/");
        if (at == std::string::npos) continue;
        const std::string path = command.substr(at, command.find_first_of(" \t", at) - at);
        scripts.push_back(path.substr(path.rfind('/') + 1));
    }
    return scripts;
}

class DataScriptsE2ETest : public ::testing::TestWithParam<std::string> {};

TEST_P(DataScriptsE2ETest, MakesTheCommittedFilesAgain) {
    // The slowest script takes about a minute on two idle cores.
    const CommandResult r = run_command(source_path("tools/check-data-scripts.sh") + " " + GetParam() + " 2>&1", 900);
    EXPECT_EQ(r.status, 0) << r.output
                           << "(the scripts' packages: tools/install-deps.sh --authoring)";
}

INSTANTIATE_TEST_SUITE_P(Manifest, DataScriptsE2ETest, ::testing::ValuesIn(manifest_scripts()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(DataScriptsManifest, NamesEveryScriptThatMakesData) {
    const std::vector<std::string> scripts = manifest_scripts();
    for (const char* script : {"make_tidewell.py", "make_pelltide_music.py", "make_effects_pictures.py",
                               "make-test-mp3.sh", "make_archive_seeds.cpp"})
        EXPECT_NE(std::find(scripts.begin(), scripts.end(), script), scripts.end()) << script;
}

class DataScriptCheckE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(repo.file("tools"));
        fs::create_directories(repo.file("data/pictures"));
        fs::copy_file(source_path("tools/check-data-scripts.sh"), repo.file("tools/check-data-scripts.sh"));
        // A script that writes "<text>" into the file it is given.
        write("tools/say.sh", "#!/bin/sh\nprintf '%s' \"$2\" > \"$1\"\n");
        fs::permissions(repo.file("tools/say.sh"), fs::perms::owner_all, fs::perm_options::add);
        write("data/pictures/a.txt", "alpha");
        write("data/pictures/b.txt", "beta");
        fs::create_directories(repo.file("data/music"));
        fs::copy_file(source_path("tests/platform/audio/tone.mp3"), repo.file("data/music/tone.mp3"));
    }

    void write(const std::string& file, const std::string& text) { std::ofstream(repo.file(file)) << text; }

    // Runs the checker over a manifest of these lines.
    CommandResult check(const std::string& lines) {
        write("tools/data-scripts.txt", "# the scripts\n\n" + lines);
        return run_command(repo.file("tools/check-data-scripts.sh") + " 2>&1", 60);
    }

    TempDir repo;
};

TEST_F(DataScriptCheckE2ETest, PassesOnlyWhenEveryFileIsMadeAgainAsCommitted) {
    const struct {
        const char* line;
        int status;
        const char* said;
    } cases[] = {
        {"tools/say.sh \"$OUT/data/pictures/a.txt\" alpha | data/pictures/a.txt\n", 0, "say.sh: 1 file(s) checked"},
        {"tools/say.sh \"$OUT/data/pictures/a.txt\" alphA | data/pictures/a.txt\n", 1,
         "say.sh: data/pictures/a.txt differs from the committed file"},
        {"tools/say.sh \"$OUT/data/pictures/a.txt\" alpha | data/pictures/*.txt\n", 1,
         "say.sh: did not make data/pictures/b.txt"},
        {"tools/say.sh \"$OUT/data/pictures/a.txt\" alpha | data/pictures/c.txt\n", 1,
         "say.sh: no committed file matches data/pictures/c.txt"},
        {"tools/say.sh \"$OUT/nowhere/a.txt\" alpha | data/pictures/a.txt\n", 1, "say.sh: failed:"},
        // Encoded sound: other bytes of the same sound pass (here the committed
        // tone coded once more, at another rate), another sound does not.
        {"tools/say.sh /dev/null x; ffmpeg -v error -i data/music/tone.mp3 -b:a 128k \"$OUT/data/music/tone.mp3\""
         " | data/music/tone.mp3\n",
         0, "say.sh: data/music/tone.mp3: other bytes (another encoder version?), the same sound"},
        {"tools/say.sh /dev/null x; ffmpeg -v error -f lavfi -i sine=frequency=500:duration=1 -ac 2 -b:a 96k"
         " \"$OUT/data/music/tone.mp3\" | data/music/tone.mp3\n",
         1, "say.sh: data/music/tone.mp3 differs from the committed file"},
        // A failing line does not stop the others.
        {"tools/say.sh \"$OUT/data/pictures/a.txt\" x | data/pictures/a.txt\n"
         "tools/say.sh \"$OUT/data/pictures/b.txt\" beta | data/pictures/b.txt\n",
         1, "say.sh: 1 file(s) checked"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandResult r = check(c.line);
        EXPECT_EQ(r.status, c.status) << r.output;
        EXPECT_NE(r.output.find(c.said), std::string::npos) << r.output;
    }
}

}  // namespace
