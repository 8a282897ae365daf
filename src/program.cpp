#include "program.h"

#include <GL/glew.h>
#include <GL/gl.h>

#include <unistd.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/heap.h"
#include "platform/message_box.h"
#include "scenes.h"
#include "system/fatal.h"
#include "system/hooks.h"
#include "system/sdl_video.h"
#include "system/setup_dialog.h"
#include "system/window.h"
#include "system/zemblasystem.h"
#include "util/context_cache.h"
#include "util/data/data.h"
#include "util/data/loadingscreen.h"
#include "util/music/xmlbuffer.h"

bool sync_host_is_local(const char* host) {
    if (std::strcmp(host, "") == 0 || std::strcmp(host, "localhost") == 0 || std::strcmp(host, "127.0.0.1") == 0)
        return true;
    // The machine's own name, as exact text like the others.
    char own[256] = {};
    return gethostname(own, sizeof own - 1) == 0 && own[0] != '\0' && std::strcmp(host, own) == 0;
}

namespace {

// The stream a music description in the archive names, beside the
// description as the music loader finds it; "" when the archive does not
// hold the description or it names no stream.
std::string stream_named_by(const std::string& description) {
    for (const std::unique_ptr<DataFileEntry>& entry : DataFile::entries()) {
        if (entry->name != description) continue;
        std::vector<char> text(entry->data, entry->data + entry->size);
        text.push_back('\0');  // the parser's end, which it writes over
        XmlDocument document;
        document.LoadBuffer(text.data(), static_cast<int32_t>(text.size()), TIXML_DEFAULT_ENCODING);
        const TiXmlElement* element = document.FirstChildElement("modulators");
        const char* stream = element ? element->Attribute("stream_filename") : nullptr;
        if (!stream) return "";
        const size_t slash = description.rfind('/');
        return (slash == std::string::npos ? "" : description.substr(0, slash + 1)) + stream;
    }
    return "";
}

bool ends_with_ogg(const std::string& name) {
    if (name.size() < 4) return false;
    std::string end = name.substr(name.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".ogg";
}

}  // namespace

std::string soundtrack_export_note(const std::string& title, const std::string& music_file) {
    for (const std::unique_ptr<DataFileEntry>& entry : DataFile::entries())
        if (entry->name.find("mp3") != std::string::npos) return "";
    if (music_file.empty()) return "Get mp3: " + title + " has no soundtrack; nothing was exported\n";
    // A music description is no sound itself: name the stream it plays.
    const std::string stream = stream_named_by(music_file);
    if (stream.empty()) return "Get mp3: the soundtrack of " + title + ", " + music_file +
                               ", is not an MP3 file; nothing was exported\n";
    return "Get mp3: the soundtrack of " + title + ", " + music_file + ", plays " +
           (ends_with_ogg(stream) ? "the OGG stream " : "the stream ") + stream +
           ", not an MP3 file; nothing was exported\n";
}

void export_soundtrack() {
    DataFile::set_mode(ZemblaSystem::data_mode);
    DataFile::read_archive(ZemblaSystem::data_file);
    DataFile::export_mp3();
    // The export takes the archive's MP3 files only; without one the button
    // would seem to do nothing.
    const std::string note = soundtrack_export_note(ZemblaSystem::title, ZemblaSystem::music_file);
    if (!note.empty()) LOG_INFO(note);
}

int run_program(ProgramSteps& steps) {
    steps.init_platform();
    ZemblaSystem::hInstance = nullptr;
    configure_production();
    pre_dialog_hook();

    int choice = steps.show_setup_dialog();
    if (choice == kSetupDialogFailed) {
        // Nothing was shown, so nothing was chosen: a script that starts the
        // program must not read this as a show that played.
        LOG_INFO("The setup dialog could not be shown; nothing to run.\n");
        return 1;
    }
    if (choice != SetupDialogId::Run && choice != SetupDialogId::GetAvi) return 0;

    // A recording runs in a window, and so does a sync client whose editor
    // runs on this machine.
    if (ZemblaSystem::get_avi) ZemblaSystem::fullscreen = 0;
    if (ZemblaSystem::sync_client && sync_host_is_local(ZemblaSystem::sync_host))
        ZemblaSystem::fullscreen = 0;

    pre_window_hook();
    steps.create_window();
    unsigned glew_error = steps.glew_init();
    if (glew_error != 0) FATAL_ERROR("GLEW Error: " << steps.glew_error_text(glew_error));
    steps.check_extensions();
    steps.clamp_samples_to_driver();

    if (ZemblaSystem::sync_client && ZemblaSystem::data_mode == DataFileMode::Write) {
        // A plain box with only an OK button: the caption says it warns.
        platform::show_message_box("Warning", "Can't act as Sync Client in data file write mode!",
                                   platform::MessageBoxKind::Plain);
        ZemblaSystem::sync_client = 0;
    }

    steps.set_data_mode(ZemblaSystem::data_mode);
    steps.setup_loading_screen(ZemblaSystem::width, ZemblaSystem::height,
                               static_cast<float>(ZemblaSystem::aspect_numerator) /
                                   static_cast<float>(ZemblaSystem::aspect_denominator));
    steps.read_archive();
    steps.load_logo();
    steps.create_scene_manager();
    steps.write_archive();
    steps.start_show();
    steps.run_message_loop();

    steps.delete_scene_manager();
    steps.remove_temp_files();
    steps.delete_gl_context();
    return 0;
}

// --- the real steps --------------------------------------------------------------------

SystemProgramSteps::SystemProgramSteps(const SceneList* scenes) : scenes_(scenes) {}
SystemProgramSteps::~SystemProgramSteps() = default;

// SDL's video comes up first, so that message boxes work from the start;
// before it the heap is told to keep what the renderer frees every frame.
void SystemProgramSteps::init_platform() {
    platform::keep_freed_heap();
    platform::keep_running_past_file_size_limit();
    sdl_video_init();
}

int SystemProgramSteps::show_setup_dialog() {
    set_soundtrack_export(export_soundtrack);
    return ::show_setup_dialog(ZemblaSystem::hInstance, nullptr);
}

void SystemProgramSteps::create_window() { ::create_window(); }

unsigned SystemProgramSteps::glew_init() {
    glewExperimental = GL_TRUE;
    return glewInit();
}

std::string SystemProgramSteps::glew_error_text(unsigned error) {
    return reinterpret_cast<const char*>(glewGetErrorString(error));
}

void SystemProgramSteps::check_extensions() { ::check_extensions(); }

void SystemProgramSteps::clamp_samples_to_driver() { ::clamp_samples_to_driver(); }

void SystemProgramSteps::set_data_mode(int mode) { DataFile::set_mode(mode); }

void SystemProgramSteps::setup_loading_screen(int width, int height, float aspect) {
    LoadingScreen::setup(width, height, aspect);
}

void SystemProgramSteps::read_archive() { DataFile::read_archive(ZemblaSystem::data_file); }

void SystemProgramSteps::load_logo() { LoadingScreen::load_logo(); }

void SystemProgramSteps::create_scene_manager() { scene_manager_ = std::make_unique<SceneManager>(scenes_); }

void SystemProgramSteps::write_archive() { DataFile::write_archive(ZemblaSystem::data_file); }

void SystemProgramSteps::start_show() { scene_manager_->start(); }

void SystemProgramSteps::run_message_loop() { ::run_message_loop(scene_manager_.get()); }

void SystemProgramSteps::delete_scene_manager() { scene_manager_.reset(); }

void SystemProgramSteps::remove_temp_files() { DataFile::remove_temp_files(); }

// The objects kept for the context go first, while it is still current.
void SystemProgramSteps::delete_gl_context() {
    ContextCache::release();
    ::delete_gl_context();
}
