// The interface of everything the frame loop shows. A production is a list of
// scenes; the "ActiveScene" sync tracks name the ones drawn in a frame by
// their index in that list.
//
// A scene loads its data and registers its sync tracks in init, renders one
// frame into the render target bound when draw is called, releases what init
// made in deinit, and learns its render size in resize. The scene manager
// owns every scene and hands it the services below before init; the scene
// holds them without owning them.
#pragma once

#include "util/math/viewport.h"

class FBO;
class InputState;
class Music;

class Scene {
public:
    Scene();
    // Scenes are destroyed through this interface, so the whole object goes.
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Every scene overrides init and draw; the base versions end the run.
    virtual void init();
    virtual void draw();
    virtual void deinit();
    // Stores the size, sets viewport and scissor to it and loads identity
    // projection and model-view matrices. Scenes that override it call it.
    virtual void resize(int width, int height);
    // Drawn as the overlay (over transparent black, then blended by its
    // alpha over the picture): the part of the render target, in target
    // pixels, outside which the next draw leaves alpha 0, so that the blend
    // changes nothing there. Asked after resize and before draw, at the same
    // music time. The frame loop clears, resolves and blends the overlay only
    // there, at the cost of what the area covers. The whole target unless a
    // scene knows better; an empty area means the overlay changes nothing.
    virtual ViewportRect overlay_area();
    // True when the scene, drawn with the scissor test on, gets the pixels
    // inside the scissor box right: it draws only into the target bound for
    // it, with no target and no scissor box of its own, or it sees to its
    // own targets. The frame loop may then draw it with the scissor test on,
    // only where the post-processing passes read the picture. False unless
    // a scene knows.
    virtual bool draws_in_scissor_box() const;
    // True when all the scene puts into the target bound for it is one
    // opaque draw over every pixel (the composite of a picture it made in a
    // target of its own), without depth: multisampling would then give each
    // pixel's samples one colour, and the resolve that colour. The frame
    // loop may then draw it straight into the single-sample target the
    // passes read, without the multisampled clear and resolve. False unless
    // a scene knows.
    virtual bool composes_whole_target() const;

    void set_keys(unsigned char* key_states) { keys = key_states; }
    void set_input(InputState* input_state) { input = input_state; }
    void set_music(Music* music_object) { music = music_object; }
    void set_fbo(FBO* shared_fbo) { fbo = shared_fbo; }
    void set_aspect(float aspect_ratio) { aspect = aspect_ratio; }

    unsigned char* get_keys() const { return keys; }
    InputState* get_input() const { return input; }
    Music* get_music() const { return music; }
    FBO* get_fbo() const { return fbo; }
    float get_aspect() const { return aspect; }
    int get_width() const { return width; }
    int get_height() const { return height; }

protected:
    unsigned char* keys = nullptr;  // 256 key states, indexed by key code
    InputState* input = nullptr;
    Music* music = nullptr;
    FBO* fbo = nullptr;  // shared render target at the render size
    float aspect = 16.0f / 9.0f;
    int width = 0;
    int height = 0;
};
