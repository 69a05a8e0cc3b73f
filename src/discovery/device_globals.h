// What discovery leaves behind for the rest of the tool: the device path of the last matched
// printer, opened by every operation that talks to the printer, and the hardware-ID prefix of
// the table row that matched last. Written and read by the upgrade worker only.
#pragma once

#include <string>

namespace tessel::discovery {

extern std::u16string g_strDevicePath;
extern std::u16string g_strHardID;

}  // namespace tessel::discovery
