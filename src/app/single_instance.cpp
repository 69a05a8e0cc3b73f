#include "app/single_instance.h"

#include "ui/ui_text.h"

namespace tessel::app {

std::u16string SingleInstanceKey() {
    return ui::VersionedTitle(ui::UiTextTable[ui::kBlockEnglish][ui::kTextTitle].text);
}

}  // namespace tessel::app
