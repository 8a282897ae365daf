// The droplets, geysirs and fireworks scenes take their places in the scene
// list of "Wembrel - brisken", where its timeline names them by index.
#include "support/test_support.h"

#include "scenes/production_scenes.h"
#include "scenes/scene_droplets/droplets.h"
#include "scenes/scene_fireworks/fireworks.h"
#include "scenes/scene_geysirs/geysirs.h"
#include "system/productions.h"
#include "system/zemblasystem.h"

namespace {

TEST(BriskenSceneList, HoldsGeysirsFireworksAndDropletsAtTheirIndices) {
    const SceneList* list = production_scene_list(production_id("brisken"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->size(), 9u);
    const struct {
        size_t index;
        const char* name;
        SceneMaker make;
    } cases[] = {
        {2, "Geysirs", make_scene<Geysirs>},
        {4, "Fireworks", make_scene<Fireworks>},
        {8, "Droplets", make_scene<Droplets>},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ((*list)[c.index].class_name, c.name);
        EXPECT_EQ((*list)[c.index].make, c.make) << c.name;
    }
}

}  // namespace
