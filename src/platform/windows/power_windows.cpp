// The thread's execution state: ES_SYSTEM_REQUIRED with ES_CONTINUOUS holds until the same
// thread sets ES_CONTINUOUS alone.
#include <windows.h>

#include "platform/power.h"
#include "platform/services.h"

namespace tessel::platform {
namespace {

class ExecutionState final : public SleepBlock {
public:
    ~ExecutionState() override { SetThreadExecutionState(ES_CONTINUOUS); }
};

class ExecutionStatePower final : public Power {
public:
    std::unique_ptr<SleepBlock> BlockSleep() override {
        if (SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) == 0) {
            Debug(u"BlockSleep(): SetThreadExecutionState failed; the machine may sleep during "
                  u"the upgrade");
            return nullptr;
        }
        return std::make_unique<ExecutionState>();
    }
};

}  // namespace

Power& SystemPower() {
    static ExecutionStatePower power;
    return power;
}

}  // namespace tessel::platform
