// A display that forwards every operation to the main display model and records the state
// changes with the time of the clock they happened at.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/clock.h"
#include "ui/main_display_model.h"
#include "upgrade/upgrade_display.h"

namespace tessel::testing {

// Forwards the display operations to the model and records them with the clock's time.
class RecordingDisplay final : public upgrade::UpgradeDisplay {
  public:
    RecordingDisplay(ui::MainDisplayModel& model, platform::Clock& clock)
        : model_(model), clock_(clock) {}

    struct Call {
        std::int32_t state;
        std::int32_t value;
        std::int64_t at_ms;
    };
    std::vector<Call> calls;

    void ShowUpgradeState(std::int32_t state, std::int32_t value) override {
        calls.push_back({state, value, clock_.NowMs()});
        model_.ShowUpgradeState(state, value);
    }
    std::int32_t ShowMessageDialog(std::u16string_view text, std::int32_t layout) override {
        return model_.ShowMessageDialog(text, layout);
    }
    void EnableCloseItem(bool enable) override { model_.EnableCloseItem(enable); }
    void EnableStartControls(bool enable) override { model_.EnableStartControls(enable); }
    void SetFlashBurnInProgress(bool burning) override { model_.SetFlashBurnInProgress(burning); }
    void SetWorkerRunning(bool running) override { model_.SetWorkerRunning(running); }
    void ShowOpenFailure(platform::OpenFailure why) override { model_.ShowOpenFailure(why); }
    void ShowRunCause(const upgrade::RunCause& cause) override { model_.ShowRunCause(cause); }

    std::optional<Call> Find(std::int32_t state, std::int32_t value) const {
        for (const auto& c : calls) {
            if (c.state == state && c.value == value) {
                return c;
            }
        }
        return std::nullopt;
    }

  private:
    ui::MainDisplayModel& model_;
    platform::Clock& clock_;
};

}  // namespace tessel::testing
