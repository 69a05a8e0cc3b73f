#include "ui/upgrade_display.h"

namespace tessel::ui {

UpgradeDisplay* g_pMainDlg = nullptr;

}  // namespace tessel::ui
