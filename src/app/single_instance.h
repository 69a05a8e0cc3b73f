// Only one copy of the tool runs at a time. The key is the name of the mutex that the first
// copy holds, and the title that a second start looks for to bring the first one forward.
#pragma once

#include <string>

namespace tessel::app {

// The English title with the version label, "%s(%s)", whatever the user's language: the main
// window carries exactly this title only while it shows the English texts.
std::u16string SingleInstanceKey();

}  // namespace tessel::app
