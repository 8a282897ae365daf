// Message boxes, behind one seam: the program shows them through SDL, tests
// replace them with a recorder that answers from a script, so that nothing in
// a test run can open a box that waits for a person.
#pragma once

#include <functional>
#include <string>

namespace platform {

enum class MessageBoxKind {
    Plain,          // one OK button, no icon
    Warning,        // one OK button, warning icon
    Error,          // one OK button, error icon
    OkCancelQuestion,  // OK (Return, the default) and Cancel (Escape)
};

enum class MessageBoxAnswer { Ok, Cancel };

// Shows a box and waits for the answer. A box that cannot be shown (no
// display, or no fonts for it) goes to the console instead, as
// `log_message_box` writes it, and gives the box's default answer, so that
// the caller goes on as after a click: Ok, which is also Return's button in
// a question.
MessageBoxAnswer show_message_box(const std::string& caption, const std::string& text,
                                  MessageBoxKind kind);

// The console stand-in for a box: a log line naming the box and `why` it was
// not shown, its text, and for a question the answer taken. Returns the
// box's default answer (Ok).
MessageBoxAnswer log_message_box(const std::string& caption, const std::string& text,
                                 MessageBoxKind kind, const std::string& why);

// True in the process that SDL forks to show a box: it shares the program's
// open files and display connection, but none of the program's work may be
// done there (finishing a recording, reporting a failure).
bool is_box_process();

using MessageBoxHandler =
    std::function<MessageBoxAnswer(const std::string& caption, const std::string& text,
                                   MessageBoxKind kind)>;

// Replaces the real boxes (nullptr puts them back).
void set_message_box_handler(MessageBoxHandler handler);

// For programs that nobody watches (the build's tools, benchmarks): every box
// goes to the console, none waits for a click.
void set_message_boxes_unattended();

}  // namespace platform
