#include "system/x_errors.h"

#include <X11/Xlib.h>

#include <ios>
#include <string>

#include "system/fatal.h"

namespace x_errors {
namespace {

int log_protocol_error(Display* display, XErrorEvent* event) {
    char error[256] = "";
    XGetErrorText(display, event->error_code, error, sizeof error);
    // The request's name, as Xlib's own report gives it (X_SendEvent).
    const std::string code = std::to_string(event->request_code);
    char request[256] = "";
    XGetErrorDatabaseText(display, "XRequest", code.c_str(), code.c_str(), request, sizeof request);
    LOG_INFO("X error " << error << " on request " << request << ", resource 0x" << std::hex
                        << event->resourceid << std::dec << "; the run goes on\n");
    return 0;
}

// Xlib ends the process itself should this return.
// (errno says nothing useful here: what the connection's last read left.)
int end_on_lost_connection(Display* display) {
    fatal::end_at_once(std::string("Lost the connection to the display ") + DisplayString(display) +
                       ": the X server went away or closed it");
}

}  // namespace

void install() {
    XSetErrorHandler(log_protocol_error);
    XSetIOErrorHandler(end_on_lost_connection);
}

}  // namespace x_errors
