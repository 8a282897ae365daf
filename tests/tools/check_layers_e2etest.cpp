// The layer check of the source tree (tools/check-layers.sh): the program's
// own source passes it, and on small trees of its own it finds what it is
// there to find and lets the rest be.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/e2e_display.h"
#include "support/test_support.h"

namespace {

using namespace test_support;
namespace fs = std::filesystem;

CommandResult check_layers(const std::string& folder) {
    return run_command(source_path("tools/check-layers.sh") + " '" + folder + "' 2>&1", 60);
}

TEST(LayerCheck, NoFileOfTheProgramIncludesFromAHigherLayer) {
    const CommandResult r = check_layers(source_path("src"));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "");
}

TEST(LayerCheck, FindsIncludesThatGoUpAndLetsTheOthersBe) {
    // Each case is a small source tree: files with the lines they hold.
    struct File {
        const char* path;
        const char* text;
    };
    struct Case {
        const char* what;
        std::vector<File> files;
        const char* said;  // null: the check passes
    } cases[] = {
        {"the same layer, a folder of the same layer, the layers below",
         {{"platform/a.h", ""},
          {"system/b.h", "#include \"platform/a.h\"\n"},
          {"util/math/v.h", "#include \"system/b.h\"\n"},
          {"util/data/d.h", "#include \"util/math/v.h\"\n#include \"util/text/t.h\"\n"},
          {"util/text/t.h", "#include <string>\n#include \"util/data/d.h\"\n"},
          {"effects/e.h", "#include \"util/data/d.h\"\n"},
          {"scenes/s.h", "#include \"effects/e.h\"\n"},
          {"scenes/scene_x/x.cpp", "#include \"scenes/s.h\"\n"},
          {"main.cpp", "#include \"scenes/scene_x/x.cpp\"\n#include \"platform/a.h\"\n"}},
         nullptr},
        {"the platform's stand-ins reach for the failure convention",
         {{"system/fatal.h", ""}, {"platform/audio/stream.cpp", "\n  #  include \"system/fatal.h\"\n"}},
         "src/platform/audio/stream.cpp:2 includes system/fatal.h: platform is below system\n"},
        {"the math below the rest of util",
         {{"util/data/data.h", ""}, {"util/math/mat4.cpp", "#include \"util/data/data.h\"\n"}},
         "src/util/math/mat4.cpp:1 includes util/data/data.h: util/math is below util\n"},
        {"a library reaching for a scene's header",
         {{"scenes/inputstate.h", ""}, {"util/camera/driver.cpp", "#include \"scenes/inputstate.h\"\n"}},
         "src/util/camera/driver.cpp:1 includes scenes/inputstate.h: util is below scenes\n"},
        {"the scenes reaching for the program",
         {{"scenes.h", ""}, {"scenes/scene.cpp", "#include \"scenes.h\"\n"}},
         "src/scenes/scene.cpp:1 includes scenes.h: scenes is below the program (src/)\n"},
        {"a folder that is in no layer",
         {{"gadgets/g.h", ""}, {"main.cpp", "#include \"gadgets/g.h\"\n"}},
         "src/gadgets/ is in no layer: give it its place in the list of tools/check-layers.sh\n"},
        {"an include written from the file's own folder",
         {{"util/data/data.h", ""}, {"util/data/data.cpp", "#include \"data.h\"\n"}},
         "src/util/data/data.cpp:1 includes \"data.h\", which is no file under src/ (includes are written from "
         "src/)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir tree;
        const std::string src = tree.file("src");
        for (const File& f : c.files) {
            fs::create_directories(fs::path(src + "/" + f.path).parent_path());
            std::ofstream(src + "/" + f.path) << f.text;
        }
        const CommandResult r = check_layers(src);
        if (!c.said) {
            EXPECT_EQ(r.status, 0) << r.output;
            EXPECT_EQ(r.output, "");
        } else {
            EXPECT_NE(r.status, 0);
            EXPECT_EQ(r.output, c.said);
        }
    }
}

}  // namespace
