#include "upgrade/upgrade_display.h"

namespace tessel::upgrade {

UpgradeDisplay* g_pMainDlg = nullptr;

}  // namespace tessel::upgrade
