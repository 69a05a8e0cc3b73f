// What the emulated printers were sent, read from the emulator's events.
#pragma once

#include <string>
#include <vector>

#include "emulator.h"

namespace tessel::app {

// What a printer receives in a whole upgrade run, repeats folded: the two queries, the two
// payloads, and the version query that confirms the upgrade.
inline const std::vector<std::string> kRunOrder = {"status", "version", "loader", "firmware",
                                                   "version"};

// What printer `printer` received from the tool, in order, repeats folded: the queries by name,
// the payloads by kind.
inline std::vector<std::string> Received(const std::vector<sim::Json>& events, int printer) {
    std::vector<std::string> out;
    for (const auto& e : events) {
        if (e.value("printer", -1) != printer) {
            continue;
        }
        std::string item;
        if (e["event"] == "command") {
            item = e["name"];
        } else if (e["event"] == "payload_start") {
            item = e["kind"];
        }
        if (!item.empty() && (out.empty() || out.back() != item)) {
            out.push_back(item);
        }
    }
    return out;
}

}  // namespace tessel::app
