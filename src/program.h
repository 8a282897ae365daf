// The whole run in its fixed order: production, setup dialog, window and
// driver checks, data layer and loading screen, the scene manager, the show
// and the message loop, then the shut-down.
//
// run_program holds the order and the decisions between the steps; the steps
// themselves are the operations of ProgramSteps, which the program gives
// with SystemProgramSteps and tests replace to record what happens.
#pragma once

#include <memory>
#include <string>

#include "scenes/production_scenes.h"

class SceneManager;

class ProgramSteps {
public:
    virtual ~ProgramSteps() = default;

    // Start-up.
    virtual void init_platform() = 0;
    virtual int show_setup_dialog() = 0;
    virtual void create_window() = 0;
    // GLEW's result: 0 when the entry points are loaded, else an error code
    // whose text glew_error_text gives.
    virtual unsigned glew_init() = 0;
    virtual std::string glew_error_text(unsigned error) = 0;
    virtual void check_extensions() = 0;
    virtual void clamp_samples_to_driver() = 0;
    virtual void set_data_mode(int mode) = 0;
    virtual void setup_loading_screen(int width, int height, float aspect) = 0;
    virtual void read_archive() = 0;
    virtual void load_logo() = 0;
    virtual void create_scene_manager() = 0;
    virtual void write_archive() = 0;
    virtual void start_show() = 0;
    virtual void run_message_loop() = 0;

    // Shut-down.
    virtual void delete_scene_manager() = 0;
    virtual void remove_temp_files() = 0;
    virtual void delete_gl_context() = 0;
};

// The real steps: SDL window and dialog, GLEW, the data layer, the scene
// manager. It plays the compiled production's scenes, or `scenes` when given
// (test shows).
class SystemProgramSteps : public ProgramSteps {
public:
    explicit SystemProgramSteps(const SceneList* scenes = nullptr);
    ~SystemProgramSteps() override;

    void init_platform() override;
    int show_setup_dialog() override;
    void create_window() override;
    unsigned glew_init() override;
    std::string glew_error_text(unsigned error) override;
    void check_extensions() override;
    void clamp_samples_to_driver() override;
    void set_data_mode(int mode) override;
    void setup_loading_screen(int width, int height, float aspect) override;
    void read_archive() override;
    void load_logo() override;
    void create_scene_manager() override;
    void write_archive() override;
    void start_show() override;
    void run_message_loop() override;
    void delete_scene_manager() override;
    void remove_temp_files() override;
    void delete_gl_context() override;

private:
    const SceneList* scenes_;
    std::unique_ptr<SceneManager> scene_manager_;
};

// Whether the sync host names this machine: its name, the loopback address,
// or nothing at all.
bool sync_host_is_local(const char* host);

// Get mp3, as the setup dialog's button runs it: reads the archive of the
// compiled data mode and writes its soundtrack into the current folder.
void export_soundtrack();

// What Get mp3 says in the console when the archive holds no MP3 file, with
// its line end; "" when it holds one. For a music description it names the
// stream the description plays.
std::string soundtrack_export_note(const std::string& title, const std::string& music_file);

// Runs the program; returns the exit status of a run that reaches its end
// (0). Other ends leave the process from inside a step.
int run_program(ProgramSteps& steps);
