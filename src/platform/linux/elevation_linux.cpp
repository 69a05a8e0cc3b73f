#include <unistd.h>

#include "platform/elevation.h"

namespace tessel::platform {

bool HasAdministratorRights() {
    return geteuid() == 0;
}

}  // namespace tessel::platform
