// The scene manager: owner of everything the frame loop needs (the
// production's scenes, the render targets, the ten post-processing passes,
// the music object, the input state and, when recording, the AVI writer),
// and the frame loop itself.
//
// Its constructor loads every resource of the production while the loading
// screen is up, registers the frame loop's sync tracks and those of the
// passes, and builds the scene list; start fades the loading screen out and
// starts the music; frame renders one frame per pass of the message loop;
// the destructor takes the scenes, the recording and the music down.
//
// One frame: the scenes named by "ActiveScene1st".."3rd" are drawn into the
// multisampled scene target, which is resolved into the second target; the
// passes whose "pp" track is 0 or more run in the order of those values,
// ping-ponging between the second and third targets, the last one drawing
// letter-boxed into the window; the scene named by "ActiveScene4rd" is then
// blended over it by its own alpha, untouched by the passes, within the area
// it says it can draw in.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scenes/production_scenes.h"
#include "system/inputstate.h"
#include "system/window.h"
#include "util/avi/aviwriter.h"
#include "util/math/viewport.h"

class FBO;
class Music;
class Scene;
class ShaderProgram;
class mat4;
namespace Effects {
class PostProc;
}

// --- the arithmetic of a frame ---------------------------------------------------------

// The scene index a track value names (truncated toward zero), or -1 when it
// names none of `scene_count` scenes (negative, too large, NaN or infinite).
int scene_index(float track_value, size_t scene_count);

// A pass switched on by its "pp" track, with that track's value.
struct PostprocOrder {
    int index;  // in the pass list
    float value;
};

// The order of the chain: a's track value below b's.
bool postproc_order_less(const PostprocOrder& a, const PostprocOrder& b);

// The passes to run, given every pass's "pp" track value in list order: those
// with a value of 0 or more (NaN is off), sorted by value, equal values
// keeping list order.
std::vector<PostprocOrder> postproc_chain(const std::vector<float>& track_values);

// The part of an overlay scene's area inside a target of width x height;
// empty (width and height 0) when none of it is.
ViewportRect overlay_rect(const ViewportRect& area, int width, int height);

// What each pass of a chain reads of its source picture (width x height),
// worked back from the last pass, which draws the whole picture: every other
// pass need draw only what the pass after it reads, and reads only what that
// part needs (PostProc::source_area_for). Each area lies inside the picture
// and is not empty.
std::vector<ViewportRect> chain_source_areas(const std::vector<Effects::PostProc*>& passes, int width,
                                             int height);

// The sound of one recorded frame: `count` 16-bit values (all channels
// interleaved) from value `first` of the song. Frame n covers the sample
// frames floor(n * rate / fps) up to floor((n + 1) * rate / fps), so slices
// always hold whole sample frames and stay in step with the video at any
// rate; the last slices are cut at the end of the song (whole sample frames
// only) and are empty after it.
struct AudioSlice {
    uint64_t first;
    uint32_t count;
};
AudioSlice audio_slice(unsigned frame, unsigned fps, unsigned sample_rate, unsigned channels,
                       uint32_t num_samples);

// A recording prints how far it has come about once a second, not a line a
// frame. The frames of the whole song at `fps` (rounded up; 0 without a
// soundtrack, which has no end):
unsigned recording_total_frames(uint32_t num_samples, unsigned channels, unsigned sample_rate, unsigned fps);
// The line for `frames` recorded of `total` (0: no end to measure against)
// in `seconds`: the frame, the share of the song, frames a second so far and
// the time left at that pace.
std::string recording_progress(unsigned frames, unsigned total, double seconds);
// "45 s", "2 min 05 s", "1 h 02 min", for a time left.
std::string rough_duration(double seconds);

// --- the manager -----------------------------------------------------------------------

// The names of the tracks the scene manager registers itself ("bpm", the
// frame loop's, then every pass's), in order.
std::vector<std::string> manager_track_names();

// Every track a scene manager over `scenes` registers, in order: its own,
// then its scenes' (scene_track_names), each name once. The build gives
// each a track file (`synctimeline tracks <production>`).
std::vector<std::string> production_track_names(const SceneList& scenes);

class Text;

class SceneManager : public WindowClient {
public:
    // Builds the compiled production's scenes, or `scenes` when given (test
    // shows). Quit messages go to `events`, the window's queue by default.
    explicit SceneManager(const SceneList* scenes = nullptr, EventSource* events = nullptr);
    ~SceneManager() override;
    SceneManager(const SceneManager&) = delete;
    SceneManager& operator=(const SceneManager&) = delete;

    // Recomputes the render area for a new window size and resizes the
    // render targets (the scenes follow when they are next drawn).
    void resize(int width, int height) override;
    // Fades the loading screen out and starts the music (paused at its start
    // when recording).
    void start();
    void frame() override;
    bool is_mouse_captured() const override { return input.is_captured(); }
    // The other input hooks of the window keep their empty bodies.

    // Appends the production's scenes, each constructed, wired, initialised
    // and sized in list order.
    void build_production();
    // Puts the fixed OpenGL state back before every scene and pass.
    static void reset_gl_state();

    // Borrowed views of what the manager owns.
    std::vector<Scene*> get_scenes() const { return borrow(scenes); }
    std::vector<Effects::PostProc*> get_postprocs() const { return borrow(postprocs); }
    Music* get_music() const { return music.get(); }
    FBO* get_scene_fbo() const { return scene_fbo.get(); }
    std::vector<FBO*> get_fbos() const { return borrow(fbos); }
    // The render area's size (x and y 0: where it lies in the render targets).
    ViewportRect get_render_area() const { return {0, 0, render_width, render_height}; }
    unsigned get_frame_count() const { return frame_count; }
    float get_aspect() const { return aspect; }

    static constexpr unsigned fps = 30;

private:
    void register_frame_tracks();
    void create_postprocs();
    void open_recording();
    // With `clip`, under that scissor box.
    void draw_scene(int index, const ViewportRect* clip = nullptr);
    // The part of the scene target to draw the active scenes (ActiveScene1st
    // to 3rd) in: what the chain's first pass reads (`first_reads`; none:
    // null), when every active scene draws in a scissor box; else the whole
    // target.
    ViewportRect scene_area(const int active[3], const ViewportRect* first_reads) const;
    // True when at least one of the active scenes (ActiveScene1st to 3rd)
    // draws and every one that does composes the whole target: they are then
    // drawn straight into target 1, unsampled.
    bool scenes_compose_whole(const int active[3]) const;
    // Resolves the multisampled scene target into target 1.
    void resolve_scene_target();
    // The same for `area` of the target only.
    void resolve_scene_area(const ViewportRect& area);
    // Viewport and scissor box of the render area in the window.
    void set_letterbox();
    // Draws `source` letter-boxed into the window through the bound program.
    void draw_to_window(FBO* source);
    void bind_plain_program();
    // The passes to draw this frame, in order, with their parameters set
    // from their tracks.
    std::vector<Effects::PostProc*> prepare_postprocs();
    // Each pass but the last draws only what the next one reads (`reads`,
    // chain_source_areas).
    void run_postprocs(int& current, const std::vector<Effects::PostProc*>& drawn,
                       const std::vector<ViewportRect>& reads);
    // Blends overlay scene `index` by its alpha over the window; no scene
    // (index -1) touches nothing.
    void draw_overlay(int index);
    void record_frame();
    // The progress line, at most once a second unless `force`; a new part
    // of the recording is announced by its file name.
    void report_recording(unsigned frames_done, bool force);
    void post_quit();

    template <typename T>
    static std::vector<T*> borrow(const std::vector<std::unique_ptr<T>>& owned) {
        std::vector<T*> borrowed;
        for (const std::unique_ptr<T>& item : owned) borrowed.push_back(item.get());
        return borrowed;
    }

    std::vector<std::unique_ptr<Scene>> scenes;
    unsigned char keys[256] = {};
    InputState input;
    int window_width = 0;
    int window_height = 0;
    int render_width = 0;
    int render_height = 0;
    float aspect = 16.0f / 9.0f;
    std::unique_ptr<Music> music;
    std::unique_ptr<Text> text;
    float volume = 1.0f;
    std::unique_ptr<FBO> scene_fbo;
    int samples = 0;
    std::vector<std::unique_ptr<FBO>> fbos;
    std::unique_ptr<ShaderProgram> plain_program;  // the plain copy to the window, made on first use
    std::vector<std::unique_ptr<Effects::PostProc>> postprocs;
    // Per pass: its switch track "pp" + name, and "pp" + each parameter name.
    std::vector<std::string> postproc_tracks;
    std::vector<std::vector<std::string>> postproc_param_tracks;
    unsigned frame_count = 0;
    bool get_avi = false;
    AVIWriter avi;
    int video_width = 0;
    int video_height = 0;
    std::vector<unsigned char> video_buffer;
    std::string recording_file;       // the part being written
    unsigned recording_frames = 0;    // of the whole song, 0 without a soundtrack
    uint32_t recording_start_ms = 0;  // when the first frame was taken
    uint32_t last_report_ms = 0;
    bool recording_timed = false;     // recording_start_ms is set

    const SceneList* scene_list_override = nullptr;
    EventSource* events = nullptr;
};
