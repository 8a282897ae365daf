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
    OkCancelQuestion,  // OK (Return) and Cancel (Escape)
};

enum class MessageBoxAnswer { Ok, Cancel };

// Shows a box and waits for the answer. A box that cannot be shown answers
// Cancel for OkCancelQuestion and Ok otherwise.
MessageBoxAnswer show_message_box(const std::string& caption, const std::string& text,
                                  MessageBoxKind kind);

using MessageBoxHandler =
    std::function<MessageBoxAnswer(const std::string& caption, const std::string& text,
                                   MessageBoxKind kind)>;

// Replaces the real boxes (nullptr puts them back).
void set_message_box_handler(MessageBoxHandler handler);

}  // namespace platform
