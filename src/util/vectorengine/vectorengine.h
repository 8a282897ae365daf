// A drawable set of paths (path.h) with its own 2D frame: a drawing area of
// width x height units, origin at the top left and y pointing down, mapped
// onto the current viewport, optionally zoomed (scale) and shifted
// (position, in fractions of the visible extent). Scenes own one engine,
// add their paths once and draw it every frame; paths added later are drawn
// over earlier ones. The engine does not own its paths.
//
// Drawing uses the fixed-function matrices and one flat-colour "#version 120"
// program shared by every engine; it needs a current GL context, and so does
// construction, which builds that program on first use.
#pragma once

#include <memory>
#include <vector>

#include "util/math/vector.h"

class Path;
class ShaderConstructor;
class ShaderProgram;

// The orthographic frame the engine draws in: left 0, right width, bottom
// height (y down), top 0, then shifted by (shift_x, shift_y).
struct VectorFrame {
    float width, height;
    float shift_x, shift_y;
};

class VectorEngine {
public:
    VectorEngine();

    void set_size(unsigned int w, unsigned int h) {
        width = w;
        height = h;
    }
    void set_position(float x, float y) {
        position.x = x;
        position.y = y;
    }
    void set_scale(float x, float y) {
        scale.x = x;
        scale.y = y;
    }
    void add_path(Path* path) { paths.push_back(path); }
    void clear() { paths.clear(); }

    // The visible extent w = width / scale.x, h = height / scale.y and the
    // shift (w * position.x, h * position.y), in 32-bit floats.
    VectorFrame frame() const;

    // Turns off 2D and cube-map texturing, the depth test and lighting (they
    // stay off), binds the program, sets the frame as projection with an
    // identity model-view and draws every path in order; the matrices come
    // back as they were.
    void draw();

    // The builder of the "VectorEngine" program: flat colour from the
    // current GL colour under the fixed-function matrices.
    static std::unique_ptr<ShaderConstructor> make_shader_constructor();
    // The program every engine shares: made with the first engine and kept
    // for the context (util/context_cache.h).
    static ShaderProgram& shader();

    int unused = 30;
    unsigned int width = 200;
    unsigned int height = 200;
    vec3 position{0.0f, 0.0f, 0.0f};
    vec3 scale{1.0f, 1.0f, 1.0f};
    // An empty box; nothing updates or reads it.
    float bbox_min_x = 99999.0f, bbox_min_y = 99999.0f;
    float bbox_max_x = -99999.0f, bbox_max_y = -99999.0f;
    std::vector<Path*> paths;  // borrowed, in drawing order
};
