#include "scenes/scene_jqboxes/jqboxes.h"

#include "util/music/music.h"

const SceneTracks JqBoxes::tracks = {
    {"jqbxCol1H", 0.2f},     {"jqbxCol1S", 0.2f},       {"jqbxCol1L", 0.5f},
    {"jqbxCol1A", 0.5f},     {"jqbxCol2H", 0.8f},       {"jqbxCol2S", 0.5f},
    {"jqbxCol2L", 0.5f},     {"jqbxCol2A", 0.5f},       {"jqbxWidth1", 1.0f},
    {"jqbxHeight1", 1.0f},   {"jqbxDepth1", 10.0f},     {"jqbxWidth2", 5.0f},
    {"jqbxHeight2", 5.0f},   {"jqbxDepth2", 50.0f},     {"jqbxWidthSpace", 5.0f},
    {"jqbxHeightSpace", 5.0f}, {"jqbxWidthCount", 2.0f}, {"jqbxHeightCount", 2.0f},
};

void JqBoxes::init() {
    init_drawing("JqBoxesColor3d");
    register_scene_tracks(*music, tracks);
}

void JqBoxes::draw() {
    begin_frame(true);
    draw_boxes();
}

BoxGrid JqBoxes::grid_from_tracks(Music& m) {
    auto v = [&m](const char* name) { return m.get_sync_value(name); };
    BoxGrid grid;
    grid.colour1 = vec4(v("jqbxCol1H"), v("jqbxCol1S"), v("jqbxCol1L"), v("jqbxCol1A"));
    grid.colour2 = vec4(v("jqbxCol2H"), v("jqbxCol2S"), v("jqbxCol2L"), v("jqbxCol2A"));
    grid.size1 = vec3(v("jqbxWidth1"), v("jqbxHeight1"), v("jqbxDepth1"));
    grid.size2 = vec3(v("jqbxWidth2"), v("jqbxHeight2"), v("jqbxDepth2"));
    grid.columns = box_grid_count(v("jqbxWidthCount"));
    grid.rows = box_grid_count(v("jqbxHeightCount"));
    grid.width_space = v("jqbxWidthSpace");
    grid.height_space = v("jqbxHeightSpace");
    return grid;
}

void JqBoxes::draw_boxes() {
    build_box_grid(grid_from_tracks(*music), streams);
    draw_streams(GL_QUADS);
}
