#include "upgrade/same_printer.h"

#include <gtest/gtest.h>

#include <vector>

#include "discovery/printer_list.h"
#include "fake_discovery.h"

namespace tessel::upgrade {
namespace {

using testing::DiscoveryTest;
using testing::Printer;

class WaitForSamePrinterTest : public DiscoveryTest {
  protected:
    static constexpr SamePrinterPoll kPoll{60, 6'000};

    // The passes' row taken, and what `waiting` was told.
    std::vector<std::u16string> taken;
    std::vector<std::int64_t> told;
};

TEST_F(WaitForSamePrinterTest, PollsOnTheClockUntilTheSamePrinterIsTakenOrTheWindowEnds) {
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1),
                    Printer(u"USB\\VID_7A3C&PID_0C13\\B", u"B", 2)};
    ASSERT_EQ(discovery::RefreshPrinterList(), 2);
    const ListedPrinter wanted = ListedAt(1).value();
    EXPECT_EQ(wanted.listed, 2u);
    EXPECT_FALSE(ListedAt(2));
    EXPECT_FALSE(ListedAt(-1));

    // Gone for two passes, back with another product ID and port on the third, taken on the
    // fourth (its device did not open at first).
    usb.elements.clear();
    int passes_back = 0;
    const bool back = WaitForSamePrinter(
        wanted, kPoll,
        [&](const discovery::FoundUsbPrinter& printer) {
            taken.push_back(printer.instance_id);
            return ++passes_back == 2;
        },
        [&](std::int64_t seconds_left) {
            told.push_back(seconds_left);
            if (told.size() == 2) {
                usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C13\\A", u"A", 3),
                                Printer(u"USB\\VID_7A3C&PID_0C12\\B", u"B", 4)};
            }
        });
    EXPECT_TRUE(back);
    EXPECT_EQ(taken, (std::vector<std::u16string>{u"USB\\VID_7A3C&PID_0C12\\B",
                                                  u"USB\\VID_7A3C&PID_0C12\\B"}));
    EXPECT_EQ(told, (std::vector<std::int64_t>{60, 54, 48}));

    // Never taken: a pass at every interval until more than the window has passed.
    told.clear();
    const std::size_t slept_before = clock.sleeps().size();
    EXPECT_FALSE(WaitForSamePrinter(
        wanted, kPoll, [](const discovery::FoundUsbPrinter&) { return false; },
        [&](std::int64_t seconds_left) { told.push_back(seconds_left); }));
    EXPECT_EQ(told, (std::vector<std::int64_t>{60, 54, 48, 42, 36, 30, 24, 18, 12, 6, 0}));
    EXPECT_EQ(clock.sleeps().size() - slept_before, 11u);
}

TEST_F(WaitForSamePrinterTest, APrinterNothingIsKnownOfIsTakenOnlyWhenAloneAndListedAlone) {
    const auto tries = [&](std::size_t listed) {
        taken.clear();
        WaitForSamePrinter(ListedPrinter{{}, listed}, {0, 1'000},
                           [&](const discovery::FoundUsbPrinter& printer) {
                               taken.push_back(printer.instance_id);
                               return true;
                           });
        return taken.size();
    };
    usb.elements = {Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1)};
    EXPECT_EQ(tries(1), 1u);
    EXPECT_EQ(tries(0), 0u);
    usb.elements.push_back(Printer(u"USB\\VID_7A3C&PID_0C13\\B", u"B", 2));
    EXPECT_EQ(tries(1), 0u);
}

}  // namespace
}  // namespace tessel::upgrade
