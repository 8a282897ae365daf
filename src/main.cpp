#include "system/fatal.h"
#include "system/zemblasystem.h"

int main() {
    configure_production();
    LOG_INFO("Production: " << ZemblaSystem::title << "\n");
    return 0;
}
