// The loading-screen styles: a progress bar under the production's logo,
// ASCII-art blocks, or glowing circles.
#include <GL/glew.h>

#include "util/data/loadingscreen.h"

namespace LoadingScreen {

void draw_style(int /*style*/, float /*alpha*/, int /*width*/, int /*height*/, int /*done*/, int /*total*/) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace LoadingScreen
