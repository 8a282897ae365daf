#include "util/data/loadingscreen.h"

#include <GL/glew.h>

#include <cstdlib>

#include "system/fatal.h"
#include "platform/ticks.h"
#include "system/window.h"
#include "system/zemblasystem.h"
#include "util/data/data.h"
#include "util/data/loadingscreen_styles.h"
#include "util/texture/texture.h"

namespace LoadingScreen {
namespace {

constexpr uint64_t kRedrawInterval = 40;

struct State {
    bool ready = false;  // set up: there is a window to draw into
    int width = 0;
    int height = 0;
    float aspect = 0.0f;
    uint64_t next_redraw = 0;
    int progress_done = 0;
    int progress_total = 999;
};

State& state() {
    static State s;
    return s;
}

Services& services() {
    static Services s = default_services();
    return s;
}

// Read mode counts the archive entries used so far; the disk modes have no
// total to count against and count redraws instead.
void update_progress(State& s) {
    if (DataFile::get_mode() == DataFileMode::Read) {
        int used = 0;
        for (const std::unique_ptr<DataFileEntry>& entry : DataFile::entries())
            if (entry->used) ++used;
        s.progress_total = static_cast<int>(DataFile::entries().size());
        s.progress_done = used;
    } else if (s.progress_total > 0) {
        s.progress_done = static_cast<int>((static_cast<unsigned>(s.progress_done) + 1u) %
                                           static_cast<unsigned>(s.progress_total));
    } else {
        s.progress_done = 0;
    }
}

}  // namespace

float progress_fraction(int done, int total) {
    if (total <= 0 || done <= 0) return 0.0f;
    if (done >= total) return 1.0f;
    return static_cast<float>(done) / static_cast<float>(total);
}

void setup(int width, int height, float aspect) {
    State& s = state();
    s.width = width;
    s.height = height;
    s.aspect = aspect;
    s.ready = true;
    set_logo(nullptr);
    for (int i = 0; i < 2; ++i) {
        services().clear_all();
        services().present();
    }
    tick(1.0f, false);
}

void load_logo() {
    set_logo(std::make_unique<Texture>(ZemblaSystem::logo_file, true, false, GL_LINEAR, GL_LINEAR));
    tick(1.0f, false);
}

void tick(float alpha, bool force) {
    State& s = state();
    if (!s.ready || DataFile::loading_finished()) return;
    Services& io = services();
    if (io.escape_pressed()) {
        DataFile::remove_temp_files();
        io.exit_process(1);
        return;
    }
    uint64_t now = io.now_ms();
    if (!force && now < s.next_redraw) return;
    s.next_redraw = now + kRedrawInterval;

    io.drain_messages();
    update_progress(s);
    if (s.height == 0) s.height = 1;
    const ViewportRect viewport = letterbox(s.width, s.height, s.aspect);
    io.set_viewport(viewport);
    int style = ZemblaSystem::loading_screen;
    if (style != LoadingScreenStyle::ProgressBar && style != LoadingScreenStyle::Ascii &&
        style != LoadingScreenStyle::Circles)
        FATAL_ERROR("Unknown loading screen");
    io.draw(style, alpha, viewport.width, viewport.height, s.progress_done, s.progress_total);
    io.present();
}

void fade_out() {
    Services& io = services();
    int64_t fade = ZemblaSystem::fade_time_ms > 0 ? ZemblaSystem::fade_time_ms : 0;
    int64_t end = static_cast<int64_t>(io.now_ms()) + fade;
    for (;;) {
        int64_t now = static_cast<int64_t>(io.now_ms());
        float alpha = 0.0f;
        if (fade > 0 && now < end) alpha = static_cast<float>(end - now) / static_cast<float>(fade);
        if (alpha > 1.0f) alpha = 1.0f;
        tick(alpha, true);
        if (now >= end) break;
    }
    tick(0.0f, true);
    DataFile::set_loading_finished(true);
}

int width() { return state().width; }
int height() { return state().height; }
float aspect() { return state().aspect; }
int progress_done() { return state().progress_done; }
int progress_total() { return state().progress_total; }
uint64_t next_redraw() { return state().next_redraw; }

namespace {

// The system's 32-bit tick count, widened so that it never wraps.
uint64_t monotonic_ms() {
    static uint32_t last = 0;
    static uint64_t high = 0;
    uint32_t now = platform::tick_ms();
    if (now < last) high += uint64_t{1} << 32;
    last = now;
    return high | now;
}

}  // namespace

Services default_services() {
    Services s;
    s.now_ms = monotonic_ms;
    s.escape_pressed = window_escape_pressed;
    s.drain_messages = window_drain_messages;
    s.clear_all = clear_all_buffers;
    s.set_viewport = [](const ViewportRect& v) { glViewport(v.x, v.y, v.width, v.height); };
    s.draw = draw_style;
    s.present = swap_buffers;
    s.exit_process = [](int status) { std::exit(status); };
    return s;
}

void set_services(const Services& s) { services() = s; }

void reset() {
    state() = State{};
    set_logo(nullptr);
    services() = default_services();
}

}  // namespace LoadingScreen
