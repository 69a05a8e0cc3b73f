// Whether the process may change the machine's device settings, as marking a printer for a
// fresh driver installation does.
#pragma once

namespace tessel::platform {

// Windows: the process token is elevated (run as administrator). Linux: the process runs as
// root, which writing a device's udev event needs.
bool HasAdministratorRights();

}  // namespace tessel::platform
