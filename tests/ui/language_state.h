// Tests change the process-wide UI language; this puts it back to "not chosen yet".
#pragma once

#include <gtest/gtest.h>

#include "ui/ui_text.h"

namespace tessel::ui::testing {

class LanguageStateTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        g_wPrimaryLang = 0;
        g_wSubLang = 0;
    }
};

}  // namespace tessel::ui::testing
