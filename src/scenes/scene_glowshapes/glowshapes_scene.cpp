#include "scenes/scene_glowshapes/glowshapes_scene.h"

#include "util/math/scalar.h"
#include "util/music/music.h"
#include "util/utils.h"

const SceneTracks JqGlowShapes::tracks = {
    {"jqgsCol1H", 0.2f},    {"jqgsCol1S", 0.2f},    {"jqgsCol1L", 0.5f},    {"jqgsCol1A", 0.5f},
    {"jqgsCol2H", 0.8f},    {"jqgsCol2S", 0.5f},    {"jqgsCol2L", 0.5f},    {"jqgsCol2A", 0.5f},
    {"jqgsRot", 0.0f},      {"jqgsRotMod1", 0.0f},  {"jqgsRotMod2", 0.0f},  {"jqgsRotMod3", 0.0f},
    {"jqgsProtLength", 0.0f}, {"jqgsRadius1", 4.0f}, {"jqgsRadius2", 2.0f}, {"jqgsOffset1", 0.0f},
    {"jqgsOffset2", 3.0f},  {"jqgsOffset3", -3.0f}, {"jqgsSize", 2.0f},     {"jqgsBorder", 0.2f},
};

const SceneTracks GlowShapes::tracks = {
    {"gsColor1", 0.2f},  {"gsColor1S", 0.5f}, {"gsColor1V", 0.5f},   {"gsColor1A", 0.5f},
    {"gsColor2", 0.5f},  {"gsColor2S", 0.5f}, {"gsColor2V", 0.5f},   {"gsColor2A", 0.5f},
    {"gsObjRot", 0.0f},  {"gsProtrusion", 0.0f}, {"gsProtColor", 0.0f},
};

namespace {

// A colour from hue, saturation and lightness tracks and an alpha.
vec4 hsl_colour(float h, float s, float l, float a) { return vec4(hsl_to_rgb(vec3(h, s, l)), a); }

}  // namespace

void GlowShapesScene::init() {
    init_drawing("GlowShapesColor3d");
    register_scene_tracks(*music, tracks_);
}

void GlowShapesScene::draw() {
    begin_frame(false);
    build_glow_shapes(reader_(*music), streams);
    draw_streams(GL_TRIANGLES);
}

GlowShapeSet JqGlowShapes::shape_set_from_tracks(Music& m) {
    auto v = [&m](const char* name) { return m.get_sync_value(name); };
    GlowShapeSet set;
    float rot = v("jqgsRot");
    set.rings[0] = {vec3(0, v("jqgsOffset1"), 0), v("jqgsRadius1"), ease(rot / 4.0f)};
    set.rings[1] = {vec3(0, v("jqgsOffset2"), 0), v("jqgsRadius2"), ease((rot + v("jqgsRotMod1")) / 6.0f)};
    set.rings[2] = {vec3(0, v("jqgsOffset3"), 0), v("jqgsRadius2"), ease((rot + v("jqgsRotMod2")) / 7.0f)};
    set.rings[3] = {vec3(0, v("jqgsOffset1"), 0), v("jqgsRadius2"), ease((rot + v("jqgsRotMod3")) / 15.0f)};
    set.size = v("jqgsSize");
    set.border = v("jqgsBorder");
    set.protrusion = v("jqgsProtLength");
    set.colour1 = hsl_colour(v("jqgsCol1H"), v("jqgsCol1S"), v("jqgsCol1L"), v("jqgsCol1A"));
    set.colour2 = hsl_colour(v("jqgsCol2H"), v("jqgsCol2S"), v("jqgsCol2L"), v("jqgsCol2A"));
    set.protrusion_colour1 = set.colour1;
    set.protrusion_colour2 = set.colour2;
    return set;
}

GlowShapeSet GlowShapes::shape_set_from_tracks(Music& m) {
    auto v = [&m](const char* name) { return m.get_sync_value(name); };
    GlowShapeSet set;
    float rot = v("gsObjRot");
    set.rings[0] = {vec3(0, 0, 0), 4.0f, ease(rot / 4.0f)};
    set.rings[1] = {vec3(0, 3, 0), 2.0f, ease(rot / 6.0f)};
    set.rings[2] = {vec3(0, -3, 0), 2.0f, ease(rot / 7.0f)};
    set.rings[3] = {vec3(0, 0, 0), 2.0f, ease(rot / 15.0f)};
    set.size = 2.0f;
    set.border = 0.2f;
    set.protrusion = v("gsProtrusion");
    set.colour1 = hsl_colour(v("gsColor1"), v("gsColor1S"), v("gsColor1V"), v("gsColor1A"));
    set.colour2 = hsl_colour(v("gsColor2"), v("gsColor2S"), v("gsColor2V"), v("gsColor2A"));
    // Only the protrusions are weighted by the protrusion colour factor.
    float factor = v("gsProtColor");
    set.protrusion_colour1 = set.colour1;
    set.protrusion_colour2 = set.colour2;
    set.protrusion_colour1.a *= factor;
    set.protrusion_colour2.a *= factor;
    return set;
}
