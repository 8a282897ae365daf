#include "scenes.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "effects/effect.h"
#include "effects/postproc/passes.h"
#include "effects/sprite_layer.h"
#include "platform/ticks.h"
#include "scenes/scene.h"
#include "system/fatal.h"
#include "system/frametimer.h"
#include "system/hooks.h"
#include "system/zemblasystem.h"
#include "util/data/loadingscreen.h"
#include "util/fbo/fbo.h"
#include "util/math/mat4.h"
#include "util/math/random.h"
#include "util/math/saturate.h"
#include "util/music/music.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"
#include "util/text/text.h"
#include "util/texture/texture.h"

// --- the arithmetic of a frame ---------------------------------------------------------

int scene_index(float track_value, size_t scene_count) {
    return saturate_index(track_value, scene_count);
}

bool postproc_order_less(const PostprocOrder& a, const PostprocOrder& b) { return a.value < b.value; }

std::vector<PostprocOrder> postproc_chain(const std::vector<float>& track_values) {
    std::vector<PostprocOrder> chain;
    for (size_t i = 0; i < track_values.size(); ++i)
        if (track_values[i] >= 0.0f) chain.push_back({static_cast<int>(i), track_values[i]});
    std::stable_sort(chain.begin(), chain.end(), postproc_order_less);
    return chain;
}

ViewportRect overlay_rect(const ViewportRect& area, int width, int height) {
    // In 64 bits: an area far off the target must not wrap around.
    const int64_t x0 = std::max<int64_t>(area.x, 0), y0 = std::max<int64_t>(area.y, 0);
    const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(area.x) + std::max(area.width, 0), width);
    const int64_t y1 = std::min<int64_t>(static_cast<int64_t>(area.y) + std::max(area.height, 0), height);
    if (x1 <= x0 || y1 <= y0) return {};
    return {static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0)};
}

std::vector<ViewportRect> chain_source_areas(const std::vector<Effects::PostProc*>& passes, int width,
                                             int height) {
    const ViewportRect whole{0, 0, width, height};
    std::vector<ViewportRect> reads(passes.size(), whole);
    ViewportRect drawn = whole;
    for (size_t k = passes.size(); k-- > 0;) {
        const ViewportRect area = overlay_rect(passes[k]->source_area_for(drawn, width, height), width, height);
        reads[k] = area.width > 0 ? area : whole;
        drawn = reads[k];
    }
    return reads;
}

AudioSlice audio_slice(unsigned frame, unsigned fps, unsigned sample_rate, unsigned channels,
                       uint32_t num_samples) {
    if (fps == 0 || channels == 0) return {0, 0};
    const uint64_t begin = static_cast<uint64_t>(frame) * sample_rate / fps;
    uint64_t end = (static_cast<uint64_t>(frame) + 1) * sample_rate / fps;
    const uint64_t whole_frames = num_samples / channels;
    AudioSlice slice{begin * channels, 0};
    if (begin >= whole_frames) return slice;
    end = std::min(end, whole_frames);
    slice.count = static_cast<uint32_t>((end - begin) * channels);
    return slice;
}

unsigned recording_total_frames(uint32_t num_samples, unsigned channels, unsigned sample_rate, unsigned fps) {
    if (channels == 0 || sample_rate == 0) return 0;
    const uint64_t sample_frames = num_samples / channels;
    return static_cast<unsigned>((sample_frames * fps + sample_rate - 1) / sample_rate);
}

std::string rough_duration(double seconds) {
    const long whole = seconds > 0.0 ? std::lround(seconds) : 0;
    char text[48];
    if (whole < 60)
        std::snprintf(text, sizeof text, "%ld s", whole);
    else if (whole < 3600)
        std::snprintf(text, sizeof text, "%ld min %02ld s", whole / 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld h %02ld min", whole / 3600, whole / 60 % 60);
    return text;
}

std::string recording_progress(unsigned frames, unsigned total, double seconds) {
    const double pace = seconds > 0.0 ? frames / seconds : 0.0;
    char text[160];
    if (total == 0) {
        std::snprintf(text, sizeof text, "Recorded frame %u, %.1f frames a second\n", frames, pace);
        return text;
    }
    // The song's frame count is reckoned from its samples; the recording
    // stops on the frame the clock can no longer move past, which can be one
    // more. The line never counts past its own total.
    total = std::max(total, frames);
    const int percent = static_cast<int>(100.0 * frames / total);
    std::string left = pace > 0.0 ? ", about " + rough_duration((total - frames) / pace) + " left" : "";
    std::snprintf(text, sizeof text, "Recorded frame %u of %u (%d%% of the song), %.1f frames a second%s\n", frames,
                  total, percent, pace, left.c_str());
    return text;
}

// --- construction ----------------------------------------------------------------------

namespace {

// The frame loop's own tracks after "bpm", with their defaults.
const TrackDefault kFrameTracks[] = {
    {"ActiveScene1st", 0.0f}, {"ActiveScene2nd", -1.0f}, {"ActiveScene3rd", -1.0f},
    {"ActiveScene4rd", -1.0f}, {"cameraEyeX", -15.0f},   {"cameraEyeY", -15.0f},
    {"cameraEyeZ", -15.0f},    {"cameraDstX", 0.0f},     {"cameraDstY", 0.0f},
    {"cameraDstZ", 0.0f},      {"cameraUpX", 0.0f},      {"cameraUpY", 1.0f},
    {"cameraUpZ", 0.0f},       {"cameraFoV", 45.0f},
};

const char* const kActiveSceneTracks[4] = {"ActiveScene1st", "ActiveScene2nd", "ActiveScene3rd",
                                           "ActiveScene4rd"};

}  // namespace

std::vector<std::string> manager_track_names() {
    std::vector<std::string> names = {"bpm"};
    for (const TrackDefault& track : kFrameTracks) names.push_back(track.name);
    for (const TrackDefault& track : postproc_track_defaults()) names.push_back(track.name);
    return names;
}

std::vector<std::string> production_track_names(const SceneList& scenes) {
    std::vector<std::string> names = manager_track_names();
    for (const std::string& name : scene_track_names(scenes))
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    return names;
}

SceneManager::SceneManager(const SceneList* scenes_override, EventSource* event_source)
    : scene_list_override(scenes_override),
      events(event_source ? event_source : &system_event_source()) {
    input.reset();

    aspect = static_cast<float>(ZemblaSystem::aspect_numerator) /
             static_cast<float>(ZemblaSystem::aspect_denominator);
    frame_count = 0;
    get_avi = ZemblaSystem::get_avi;
    video_width = ZemblaSystem::width;
    video_height = ZemblaSystem::height;

    frame_timer_init();

    // Kept sized to the window (not the render area) by resize.
    text = std::make_unique<Text>("data/common/fonts/courier_new.ttf", 48, 0);

    scene_fbo = std::make_unique<FBO>(512, 512, FBO_TYPE_RGBA8_MIPMAP, 0);
    samples = ZemblaSystem::samples;
    fbos.push_back(std::make_unique<FBO>(512, 512, FBO_TYPE_RGBA8, samples));
    // The resolve and ping-pong targets only receive whole-target copies and
    // passes, which never depth-test.
    fbos.push_back(std::make_unique<FBO>(512, 512, FBO_TYPE_RGBA8_NO_DEPTH, 0));
    fbos.push_back(std::make_unique<FBO>(512, 512, FBO_TYPE_RGBA8_NO_DEPTH, 0));

    // Decoding the whole soundtrack is the longest step of loading and reads
    // no further file, so nothing would redraw the loading screen before or
    // after it: it shows how far loading has come on both sides.
    LoadingScreen::tick(1.0f, true);
    music = std::make_unique<Music>();
    LoadingScreen::tick(1.0f, false);
    music->add_sync_track("bpm", music->get_bpm(), true);

    if (get_avi) open_recording();

    register_frame_tracks();
    create_postprocs();

    resize(ZemblaSystem::width, ZemblaSystem::height);
    build_production();
    post_load_hook();
}

void SceneManager::open_recording() {
    show_cursor(true);
    const std::string file_name = ZemblaSystem::title + ".avi";
    if (!avi.open(file_name.c_str(), static_cast<float>(fps), -1, 100))
        FATAL_ERROR("Failed to open video file " << file_name
                                                 << (avi.open_error().empty() ? "" : " (" + avi.open_error() + ")"));
    avi.set_size(video_width, video_height);
    video_buffer.assign(avi.frame_bytes(), 0);
    avi.set_audio_format(music->wave_format);
    // The file written is the first part; the writer names the next ones.
    recording_file = avi.current_file();
    LOG_INFO("Dumping to video file " << recording_file << "\n");
    if (music->u16_buffer)
        recording_frames = recording_total_frames(music->num_samples, music->wave_format.channels,
                                                  music->wave_format.samples_per_sec, fps);
}

void SceneManager::register_frame_tracks() {
    for (const TrackDefault& track : kFrameTracks) music->add_sync_track(track.name, track.value, true);
}

void SceneManager::create_postprocs() {
    for (const PassInfo& pass : postproc_registry()) {
        postprocs.emplace_back(pass.make(pass));
        LoadingScreen::tick(1.0f, false);  // its shaders compiled after their files were read
    }
    // Each pass's own names and defaults decide its tracks.
    for (const std::unique_ptr<Effects::PostProc>& pass : postprocs) {
        postproc_tracks.push_back("pp" + pass->get_name());
        music->add_sync_track(postproc_tracks.back(), -1.0f, true);
        std::vector<std::string> param_tracks;
        const std::vector<std::string>& names = pass->get_param_names();
        for (size_t j = 0; j < names.size(); ++j) {
            param_tracks.push_back("pp" + names[j]);
            music->add_sync_track(param_tracks.back(), pass->get_param(static_cast<int>(j)), true);
        }
        postproc_param_tracks.push_back(param_tracks);
    }
}

void SceneManager::build_production() {
    const SceneList* list = scene_list_override;
    if (!list) {
        list = production_scene_list(ZemblaSystem::production);
        if (!list) FATAL_ERROR("Unrecognized production " << ZemblaSystem::title);
    }
    const std::string missing = missing_scene_classes(*list);
    if (!missing.empty())
        FATAL_ERROR("Production " << ZemblaSystem::production << " (" << ZemblaSystem::title
                                  << ") cannot be played: its scenes " << missing
                                  << " are not part of this program");

    for (const SceneEntry& entry : *list) {
        scenes.emplace_back(entry.make());
        Scene* scene = scenes.back().get();
        scene->set_music(music.get());
        scene->set_fbo(scene_fbo.get());
        scene->set_input(&input);
        scene->set_aspect(aspect);
        scene->set_keys(keys);
        scene->init();
        scene->resize(render_width, render_height);
        reset_gl_state();
        LoadingScreen::tick(1.0f, false);  // a scene's shaders and geometry read no more files
    }
}

SceneManager::~SceneManager() {
    for (std::unique_ptr<Scene>& scene : scenes) {
        scene->deinit();
        scene.reset();
    }
    scenes.clear();
    if (get_avi) {
        video_buffer.clear();
        avi.close();
        LOG_INFO("Finished AVI writing\n");
    }
    music.reset();
    // The passes, render targets and font go with their members.
}

// --- sizing and start ------------------------------------------------------------------

void SceneManager::resize(int width, int height) {
    if (height == 0) height = 1;
    window_width = width;
    window_height = height;
    text->Reshape(width, height);
    const ViewportRect area = letterbox(width, height, aspect);
    render_width = area.width;
    render_height = area.height;
    // Each new target takes a noticeable time on a CPU renderer; during
    // loading the screen keeps up (after loading, ticks do nothing).
    scene_fbo->resize(render_width, render_height);
    LoadingScreen::tick(1.0f, false);
    for (const std::unique_ptr<FBO>& target : fbos) {
        target->resize(render_width, render_height);
        LoadingScreen::tick(1.0f, false);
    }
}

void SceneManager::start() {
    random_seed(platform::tick_ms());
    LoadingScreen::fade_out();
    music->set_bpm(music->get_sync_value("bpm"));
    volume = ZemblaSystem::volume;
    music->set_volume(volume);
    music->start();
    // Until the clock has reached the start of the song (a beat offset puts
    // it before). A tempo that is not positive never gets there.
    while (music->get_beats() < 0.0f && music->get_bpm() > 0.0f) {
        if (music->dummy_mode) music->update();
    }
    if (get_avi) {
        // Recorded time advances by frames only.
        music->set_position(0);
        music->toggle_pause();
    }
}

void SceneManager::reset_gl_state() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLineWidth(1.0f);

    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_Q);

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);

    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    // A scene that turned depth writes off would otherwise leave the next
    // one without a depth buffer.
    glDepthMask(GL_TRUE);

    glEnable(GL_LIGHT0);
    for (int light = 1; light < 8; ++light) glDisable(GL_LIGHT0 + light);
    glDisable(GL_LIGHTING);

    glEnable(GL_MULTISAMPLE);
    glEnable(GL_NORMALIZE);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_CUBE_MAP);

    glClearDepth(1.0);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glDepthFunc(GL_LESS);
    glShadeModel(GL_SMOOTH);

    glBindTexture(GL_TEXTURE_1D, 0);
    for (int unit = 0; unit < 6; ++unit) Texture::unbind(unit);
    glActiveTexture(GL_TEXTURE0);

    const GLfloat zero[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int light = 0; light < 8; ++light) {
        glLightfv(GL_LIGHT0 + light, GL_AMBIENT, zero);
        glLightfv(GL_LIGHT0 + light, GL_DIFFUSE, zero);
        glLightfv(GL_LIGHT0 + light, GL_SPECULAR, zero);
        glLightfv(GL_LIGHT0 + light, GL_POSITION, zero);
    }

    glDisable(GL_FRAMEBUFFER_SRGB);
}

// --- one frame -------------------------------------------------------------------------

void SceneManager::frame() {
    music->set_bpm(music->get_sync_value("bpm"));
    frame_timer_update();
    music->update();
    input.update(static_cast<int>(frame_count));

    if (!ZemblaSystem::sync_client && !music->is_running() && !ZemblaSystem::quitting) {
        post_quit();
        ZemblaSystem::quitting = true;
    }
    if (ZemblaSystem::quitting) return;

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    int active[4];
    for (int i = 0; i < 4; ++i)
        active[i] = scene_index(music->get_sync_value(kActiveSceneTracks[i]), scenes.size());

    // The passes first: when the first of them reads only part of the
    // picture, scenes that allow it are drawn only there (cleared, drawn
    // and resolved under the scissor box): nothing reads the rest.
    const std::vector<Effects::PostProc*> passes = prepare_postprocs();
    const std::vector<ViewportRect> reads =
        chain_source_areas(passes, fbos[0]->get_width(), fbos[0]->get_height());
    const ViewportRect area = scene_area(active, reads.empty() ? nullptr : &reads.front());
    const bool clipped = area.width < fbos[0]->get_width() || area.height < fbos[0]->get_height();
    if (clipped) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(area.x, area.y, area.width, area.height);
    }
    // Scenes whose whole output is one opaque composite gain nothing from
    // the samples: they go straight into the target the passes read, which
    // needs no clear, since the composite writes every pixel. Otherwise
    // sprite layers that a scene draws last wait to be added to the scene
    // target's resolved picture (effects/sprite_layer.h), unless another
    // scene draws after them.
    const bool unsampled = scenes_compose_whole(active);
    FBO* scene_target = fbos[unsampled ? 1 : 0].get();
    scene_target->push(!unsampled);
    Effects::SpriteLayer::defer_over(unsampled ? 0 : fbos[0]->get_id());
    for (int i = 0; i < 3; ++i) {
        if (active[i] < 0) continue;
        Effects::SpriteLayer::add_waiting();
        draw_scene(active[i], clipped ? &area : nullptr);
    }
    Effects::SpriteLayer::defer_over(0);
    scene_target->pop();

    int current = 1;
    if (unsampled)
        glDisable(GL_SCISSOR_TEST);
    else if (clipped)
        resolve_scene_area(area);
    else
        resolve_scene_target();

    run_postprocs(current, passes, reads);
    draw_overlay(active[3]);
    if (get_avi) record_frame();

    swap_buffers();
    ++frame_count;

    if (get_avi) {
        const uint32_t before = music->get_position();
        music->set_time(static_cast<float>(frame_count) / static_cast<float>(fps));
        if (music->get_position() == before) {
            post_quit();
            ZemblaSystem::quitting = true;
            report_recording(frame_count, true);
            LOG_INFO("  Finished dumping, quit event posted\n");
        }
    }
}

void SceneManager::draw_scene(int index, const ViewportRect* clip) {
    if (index < 0) return;
    reset_gl_state();
    scenes[index]->resize(fbos[0]->get_width(), fbos[0]->get_height());
    if (clip) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(clip->x, clip->y, clip->width, clip->height);
    }
    scenes[index]->draw();
}

ViewportRect SceneManager::scene_area(const int active[3], const ViewportRect* first_reads) const {
    const ViewportRect whole{0, 0, fbos[0]->get_width(), fbos[0]->get_height()};
    if (!first_reads) return whole;
    for (int i = 0; i < 3; ++i)
        if (active[i] >= 0 && !scenes[active[i]]->draws_in_scissor_box()) return whole;
    return *first_reads;
}

bool SceneManager::scenes_compose_whole(const int active[3]) const {
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        if (active[i] < 0) continue;
        if (!scenes[active[i]]->composes_whole_target()) return false;
        any = true;
    }
    return any;
}

void SceneManager::resolve_scene_target() {
    // No clear: the copy overwrites every pixel. It obeys the scissor test,
    // which the last scene may have left on.
    fbos[1]->push(false);
    glDisable(GL_SCISSOR_TEST);
    fbos[0]->blit();
    Effects::SpriteLayer::add_waiting();
    fbos[1]->pop();
}

void SceneManager::resolve_scene_area(const ViewportRect& area) {
    fbos[1]->push(false);
    glDisable(GL_SCISSOR_TEST);
    fbos[0]->blit(area);
    Effects::SpriteLayer::add_waiting();
    fbos[1]->pop();
}

void SceneManager::bind_plain_program() {
    static const mat4 projection(mat4::PRESET_UNIT_SQUARE);
    if (!plain_program) plain_program = std::make_unique<ShaderProgram>(make_shader_texture2d("SceneManager"));
    plain_program->bind();
    plain_program->set_uniform_matrix4fv("ProjectionMatrix", projection.data(), 1, false);
}

void SceneManager::set_letterbox() {
    const ViewportRect box = letterbox(window_width, window_height, aspect);
    glViewport(box.x, box.y, box.width, box.height);
    glScissor(box.x, box.y, box.width, box.height);
}

void SceneManager::draw_to_window(FBO* source) {
    set_letterbox();
    source->draw();
}

std::vector<Effects::PostProc*> SceneManager::prepare_postprocs() {
    std::vector<float> switches;
    for (const std::string& track : postproc_tracks) switches.push_back(music->get_sync_value(track));
    const std::vector<PostprocOrder> chain = postproc_chain(switches);

    // Every switched-on pass takes its parameters; one that would copy the
    // picture unchanged is not drawn (a full-screen draw less).
    std::vector<Effects::PostProc*> drawn;
    for (const PostprocOrder& entry : chain) {
        Effects::PostProc* pass = postprocs[entry.index].get();
        const std::vector<std::string>& param_tracks = postproc_param_tracks[entry.index];
        for (size_t j = 0; j < param_tracks.size(); ++j)
            pass->set_param(static_cast<int>(j), music->get_sync_value(param_tracks[j]));
        if (pass->changes_picture()) drawn.push_back(pass);
    }
    return drawn;
}

void SceneManager::run_postprocs(int& current, const std::vector<Effects::PostProc*>& drawn,
                                 const std::vector<ViewportRect>& reads) {
    if (drawn.empty()) {
        reset_gl_state();
        bind_plain_program();
        draw_to_window(fbos[current].get());
        return;
    }

    const float beats = music->get_beats();
    for (size_t k = 0; k < drawn.size(); ++k) {
        Effects::PostProc* pass = drawn[k];
        reset_gl_state();
        pass->update(render_width, render_height, beats, fbos[current].get());
        pass->render(render_width, render_height, beats);
        if (k + 1 == drawn.size()) {
            draw_to_window(fbos[current].get());
        } else {
            // Alternates between targets 1 and 2. The pass covers what the
            // next one reads without blending, so there is nothing to clear;
            // the rest of the target keeps an older picture nobody reads.
            const int next = current % static_cast<int>(fbos.size() - 1) + 1;
            const ViewportRect& needed = reads[k + 1];
            fbos[next]->push(false);
            if (needed.width < fbos[next]->get_width() || needed.height < fbos[next]->get_height()) {
                glEnable(GL_SCISSOR_TEST);
                glScissor(needed.x, needed.y, needed.width, needed.height);
            }
            fbos[current]->draw();
            glDisable(GL_SCISSOR_TEST);
            fbos[next]->pop();
            current = next;
        }
    }
}

void SceneManager::draw_overlay(int index) {
    // Without an overlay scene the composition would clear, resolve and blend
    // transparent black over the window: three full-screen touches that change
    // no pixel. Outside the area the scene says it can draw in they would
    // change none either, so they are scissored to it.
    if (index < 0) return;
    Scene* scene = scenes[index].get();
    scene->resize(fbos[0]->get_width(), fbos[0]->get_height());
    const ViewportRect area = overlay_rect(scene->overlay_area(), fbos[0]->get_width(), fbos[0]->get_height());
    if (area.width == 0) return;
    glEnable(GL_SCISSOR_TEST);
    glScissor(area.x, area.y, area.width, area.height);
    fbos[0]->push(true);  // the clear obeys the scissor
    draw_scene(index);
    fbos[0]->pop();
    resolve_scene_area(area);

    reset_gl_state();
    bind_plain_program();
    set_letterbox();
    const ViewportRect box = letterbox(window_width, window_height, aspect);
    glEnable(GL_SCISSOR_TEST);
    glScissor(box.x + area.x, box.y + area.y, area.width, area.height);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    fbos[1]->draw();
    glDisable(GL_SCISSOR_TEST);
}

void SceneManager::record_frame() {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, video_width, video_height, GL_BGR, GL_UNSIGNED_BYTE, video_buffer.data());
    if (!avi.write_video_frame(video_buffer.data()))
        FATAL_ERROR("Failed assert success (" << avi.write_error() << ")");

    const WaveFormat& format = music->wave_format;
    const AudioSlice slice =
        audio_slice(frame_count, fps, format.samples_per_sec, format.channels, music->num_samples);
    if (music->u16_buffer) {
        // The end of the song leaves the last frames silent rather than
        // failing the recording.
        const int sample_frames = format.channels ? static_cast<int>(slice.count / format.channels) : 0;
        if (sample_frames > 0 && !avi.write_audio(music->u16_buffer + slice.first, sample_frames))
            FATAL_ERROR("Failed assert success (" << avi.write_error() << ")");
    }
    report_recording(frame_count + 1, false);
}

void SceneManager::report_recording(unsigned frames_done, bool force) {
    const uint32_t now = platform::tick_ms();
    if (!recording_timed) {
        // The pace counts from the first frame, not from the start of loading.
        recording_timed = true;
        recording_start_ms = last_report_ms = now;
    }
    const std::string file = avi.current_file();
    if (file != recording_file) {
        recording_file = file;
        LOG_INFO("Dumping to video file " << recording_file << "\n");
    }
    if (!force && now - last_report_ms < 1000) return;
    last_report_ms = now;
    LOG_INFO(recording_progress(frames_done, recording_frames, (now - recording_start_ms) / 1000.0));
}

void SceneManager::post_quit() { events->post_quit(); }
