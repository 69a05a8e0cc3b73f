#include "discovery/device_globals.h"

namespace tessel::discovery {

std::u16string g_strDevicePath;
std::u16string g_strHardID;

}  // namespace tessel::discovery
