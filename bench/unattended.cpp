// Linked into every benchmark: nobody watches a benchmark run, so a box (a
// fatal error's among them) goes to the console instead of waiting for a
// click, and the run ends.
#include "platform/message_box.h"

namespace {

const bool unattended = [] {
    platform::set_message_boxes_unattended();
    return true;
}();

}  // namespace
