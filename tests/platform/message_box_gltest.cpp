// A real message box on the display: SDL shows it in a process forked from
// the program, and no thread of ours may run at that moment (the child
// inherits whatever lock such a thread held, the allocator's or Xlib's, and
// waits on it for ever: under the sanitizers every fatal error's box hung).
// Nor may the box's process run the program's exit handlers. Without a
// window manager the box still gets the keyboard, so that Return answers it.
#include <dirent.h>
#include <pthread.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/message_box.h"
#include "support/e2e_display.h"
#include "support/test_support.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<int> threads_at_fork{-1};

int threads_now() {
    int n = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks)) n += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return n;
}

void before_fork() {
    if (counting) threads_at_fork = threads_now();
}

// Where an exit handler run in the box's process leaves its mark.
std::string& box_exit_mark() {
    static std::string path;
    return path;
}

void mark_exit_in_box_process() {
    if (!platform::is_box_process()) return;
    if (FILE* mark = std::fopen(box_exit_mark().c_str(), "w")) std::fclose(mark);
}

TEST(MessageBoxOnTheDisplay, IsForkedWithNoThreadOfOursAndTakesTheKeyboard) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "the gl tests run on a display";
    static const int installed = pthread_atfork(before_fork, nullptr, nullptr);
    ASSERT_EQ(installed, 0);
    // The program's exit handlers (SDL_Quit, the sanitizers' checks) belong
    // to the program: the box's process ends without them.
    test_support::TempDir dir;
    box_exit_mark() = dir.file("exit-handler-ran-in-the-box");
    std::atexit(mark_exit_in_box_process);
    const std::string title = "Box under test";
    // Presses Return while the box has the keyboard focus, until the box is
    // gone (a press that reaches the box before it listens is lost; a user
    // would press again). Should the box never get the focus, ends the box's
    // connection (so the test ends) and says so by its status: 3 when it never
    // had the focus, 4 when Return did not answer it.
    const std::string box = "xdotool search --onlyvisible --maxdepth 1 --name '^" + title + "$' 2>/dev/null";
    test_support::ProcessGroup answer({"sh", "-c",
                                       "focused=;"
                                       "for i in $(seq 300); do"
                                       "  if [ \"$(xdotool getwindowfocus getwindowname 2>/dev/null)\" = '" + title +
                                           "' ]; then focused=1; xdotool key Return; fi;"
                                       "  [ -n \"$focused\" ] && [ -z \"$(" + box + ")\" ] && exit 0;"
                                       "  sleep 0.1;"
                                       "done;"
                                       "for w in $(" + box + "); do xdotool windowkill $w; done;"
                                       "[ -n \"$focused\" ] && exit 4;"
                                       "exit 3"});
    ASSERT_TRUE(answer.started());

    platform::set_message_box_handler(nullptr);
    const int threads_before = threads_now();
    counting = true;
    const platform::MessageBoxAnswer answered =
        platform::show_message_box(title, "Return answers this box.", platform::MessageBoxKind::Plain);
    counting = false;
    platform::set_message_box_handler(test_support::record_box);  // as every other test expects

    EXPECT_EQ(answered, platform::MessageBoxAnswer::Ok);
    EXPECT_EQ(answer.wait(30), 0) << "3: the box did not get the keyboard focus; 4: Return did not answer it";
    ASSERT_NE(threads_at_fork.load(), -1) << "the box was not shown in a process of its own";
    EXPECT_EQ(threads_at_fork.load(), threads_before) << "a thread of ours ran while the box's process was forked";
    EXPECT_FALSE(platform::is_box_process());
    EXPECT_FALSE(std::filesystem::exists(box_exit_mark())) << "the box's process ran the program's exit handlers";
}

}  // namespace
