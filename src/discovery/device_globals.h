// What discovery leaves behind for the rest of the tool: the device path of the last matched
// printer, opened by every operation that talks to the printer, and the hardware-ID prefix of
// the table row that matched last. Set by discovery passes and by the printer list's
// selection: on the upgrade worker's thread while a run lasts; the command line's `info` and
// its confirmation after a run pass discovery on their own thread while no worker runs.
#pragma once

#include <string>

namespace tessel::discovery {

extern std::u16string g_strDevicePath;
extern std::u16string g_strHardID;

}  // namespace tessel::discovery
