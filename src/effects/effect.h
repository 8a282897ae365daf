// The two interfaces every effect implements.
//
// Effect is a stand-alone effect that a scene owns and draws when it likes.
//
// PostProc is one full-screen pass of the frame loop's post-processing chain:
// a name, an ordered list of named float parameters and one shader program.
// A pass draws nothing itself: render() binds the program and sets its
// uniforms, and the frame loop then draws the current image (its colour
// texture on unit 0, over the unit square) through that program. Each
// parameter is named after the pass followed by a word ("Blur" + "Scale" =
// "BlurScale"); the frame loop feeds it from the sync track "pp" + that name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "util/math/viewport.h"

class FBO;
class ShaderProgram;
struct PassInfo;

namespace Effects {

class Effect {
public:
    Effect() {}
    virtual ~Effect() {}

    // time: the music time in beats. Every concrete effect replaces this.
    virtual void render(float time);
};

class PostProc {
public:
    PostProc();
    // Deletes its program with it.
    virtual ~PostProc();

    // Runs right before render each time the pass is applied; `source` holds
    // the image the pass is about to process. Does nothing here.
    virtual void update(int width, int height, float time, FBO* source);
    // Binds the program and sets its uniforms, leaving it bound. Width and
    // height are the render size in pixels, time the music time in beats.
    virtual void render(int width, int height, float time);
    // False when the pass, at its current parameters, would copy the picture
    // unchanged: the frame loop then leaves it out of the frame's chain (one
    // full-screen draw less). True here.
    virtual bool changes_picture() const;
    // The part of a `width` x `height` source picture that the pass reads at
    // its current parameters, in the source's pixels, the neighbours that
    // filtering reads included: the whole picture here. When the pass comes
    // first, the frame loop draws the scenes only there if it can.
    virtual ViewportRect source_area(int width, int height) const;
    // The same for drawing only `drawn` of its output (the part the next
    // pass reads): what it reads for the whole output unless the pass knows
    // better. The frame loop works back along the chain with it, so that a
    // pass and the scenes draw only what the passes after them read.
    virtual ViewportRect source_area_for(const ViewportRect& drawn, int width, int height) const;

    // An index outside the parameter list ends the run.
    void set_param(int index, float value);
    // 0 for an index outside the parameter list.
    float get_param(int index) const;
    const std::vector<std::string>& get_param_names() const { return param_names; }
    std::string get_name() const { return name; }

protected:
    // The pass of a registry row (effects/postproc/passes.h): the row's
    // name, its parameters with their defaults, and its program built from
    // the shader pair of its folder.
    explicit PostProc(const PassInfo& row);
    // Appends name + word and its default; call in index order, after the
    // name is set.
    void add_param(const std::string& word, float default_value);
    // Binds `shader` and sets its "ProjectionMatrix" to the unit-square
    // orthographic projection, so the frame loop's unit quad fills the target.
    void bind_with_projection();
    // The same for another program of the pass's own.
    static void bind_with_projection(ShaderProgram& program);

    std::string name;
    std::vector<float> params;
    std::vector<std::string> param_names;
    std::unique_ptr<ShaderProgram> shader;
};

}  // namespace Effects
