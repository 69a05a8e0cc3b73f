// Installs a virtual clock, a recording debugger output and one scripted device for a test.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "platform/services.h"
#include "scripted_device.h"
#include "virtual_clock.h"

namespace tessel::testing {

class LinkTest : public ::testing::Test {
  protected:
    VirtualClock clock;
    RecordingDebugOutput debug;
    ScriptedDevice device{clock};
    FakeDeviceFiles files{device};
    platform::ScopedServices services{{&clock, &debug, &files, nullptr, nullptr, nullptr}};
};

// Names the instances of a parameterised test after the `name` of their parameter.
struct ByName {
    template <class T>
    std::string operator()(const ::testing::TestParamInfo<T>& param_info) const {
        return param_info.param.name;
    }
};

}  // namespace tessel::testing
