// What the upgrade tests share: one row of the table of ways a run can end, and what the
// emulator's log says about the payloads it received.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "event_log.h"
#include "platform/text.h"
#include "printer_config.h"
#include "ui/main_display_model.h"
#include "ui/ui_text.h"

namespace tessel::testing {

struct Outcome {
    const char* name;
    std::function<void(sim::PrinterConfig&)> setup;
    std::int32_t answer;  // to a question, 0 for the dialog's own dismissal
    ui::MainScreen screen;
    int message;  // the text id of the dialog shown, or -1
    int payloads_sent;
    int payloads_valid;
};

inline std::vector<sim::Json> PayloadEvents(const std::vector<sim::Json>& events) {
    std::vector<sim::Json> out;
    for (const auto& e : events) {
        if (e["event"] == "payload") {
            out.push_back(e);
        }
    }
    return out;
}

// The events of one printer.
inline std::vector<sim::Json> EventsOf(const std::vector<sim::Json>& events, int printer) {
    std::vector<sim::Json> out;
    for (const auto& e : events) {
        if (e.value("printer", -1) == printer) {
            out.push_back(e);
        }
    }
    return out;
}

// True when the events show that the printer received no byte: it only came and went.
inline bool ReceivedNothing(const std::vector<sim::Json>& printer_events) {
    for (const auto& e : printer_events) {
        if (e["event"] != "appear" && e["event"] != "disconnect") {
            return false;
        }
    }
    return true;
}

inline int ValidPayloads(const std::vector<sim::Json>& events) {
    int n = 0;
    for (const auto& p : PayloadEvents(events)) {
        n += p["valid"].get<bool>() ? 1 : 0;
    }
    return n;
}

inline std::string Text(int id) {
    return platform::Utf16ToUtf8(ui::GetUiText(id));
}

// What the display showed while the printer burned (screen and bar position, in order): the
// progress display held at 99, up to the worker's own success display.
inline void ExpectProgressHeldDuringBurn(
    const std::vector<std::pair<ui::MainScreen, int>>& during_burn) {
    ASSERT_FALSE(during_burn.empty());
    for (const auto& [screen, position] : during_burn) {
        if (screen != ui::MainScreen::kSuccess) {  // the end display comes before the flag
            EXPECT_EQ(screen, ui::MainScreen::kProgress);
            EXPECT_EQ(position, 99);
        }
    }
}

}  // namespace tessel::testing
