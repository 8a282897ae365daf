// The package installer: which packages of its lists it installs. It runs
// from a copy of the tree with lists of its own, and with a dpkg-query, an
// apt-get and a sudo that only note what they were asked, so nothing is
// installed here.
#include <filesystem>
#include <fstream>
#include <string>

#include "support/e2e_display.h"
#include "support/test_support.h"
#include "tools/tool_run.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

class InstallDepsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tree.file("tools"));
        fs::create_directories(tree.file("bin"));
        fs::copy_file(source_path("tools/install-deps.sh"), tree.file("tools/install-deps.sh"));
        // dpkg knows "built" as installed and "removed" by its settings
        // left behind; "absent" it does not know at all.
        write_file("tools/debian-packages.txt", "# building\nbuilt\nremoved\n\nabsent\n");
        write_file("tools/debian-test-packages.txt", "built\n");
        tool_run::write_script(tree.file("bin/dpkg-query"), R"(echo "dpkg-query $*" >>"$CALLS"
for p in "${@:3}"; do
  case $p in
    built) echo "built install ok installed" ;;
    removed) echo "removed deinstall ok config-files" ;;
    *) echo "dpkg-query: no packages found matching $p" >&2; status=1 ;;
  esac
done
exit ${status:-0}
)");
        tool_run::write_script(tree.file("bin/apt-get"), "echo \"apt-get $*\" >>\"$CALLS\"\n");
        tool_run::write_script(tree.file("bin/sudo"), "\"$@\"\n");
    }

    void write_file(const std::string& path, const std::string& text) { std::ofstream(tree.file(path)) << text; }

    TempDir tree;
};

TEST_F(InstallDepsTest, InstallsWhatIsNotInstalledAfterOneQuery) {
    const std::string calls = tree.file("calls.txt");
    CommandResult r = run_command("CALLS='" + calls + "' PATH='" + tree.file("bin") + "':\"$PATH\" bash '" +
                                      tree.file("tools/install-deps.sh") + "' --play 2>&1",
                                  30);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Installing: removed absent\n"), std::string::npos) << r.output;
    const std::string made = read_file(calls);
    // One query for the whole list, however long: each costs a process.
    EXPECT_EQ(made.find("dpkg-query -W -f=${Package} ${Status}\\n built removed absent\n"), 0u) << made;
    EXPECT_EQ(made.find("dpkg-query", 1), std::string::npos) << made;
    EXPECT_NE(made.find("apt-get install -y -qq --no-install-recommends removed absent\n"), std::string::npos)
        << made;
}

}  // namespace
