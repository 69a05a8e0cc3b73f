// The compressed clocks of the tests that run the tool against the printer emulator, in one
// place. A compressed clock shrinks every wait and every limit of the tool by its scale, but
// not the machine's own work: the firmware image (27 MB) takes as much real time to cross the
// link at any scale, and the link gives it 300 s of printer time. Each scale here is chosen so
// that its runs still hold on a machine ten times slower than this one (2 cores).
#pragma once

#include <chrono>
#include <cstdint>

namespace tessel::testing {

// How much slower the sanitizer builds carry the image than the plain one (measured:
// ThreadSanitizer takes 1.2 to 2.7 s for what the plain build does in 0.23 to 0.63 s).
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
inline constexpr double kSanitizerSlowdown = 2.0;
#else
inline constexpr double kSanitizerSlowdown = 1.0;
#endif

// Runs that send no firmware bytes: the queries, the loader (84 kB), the restart and the
// faults before the image. Their machine work is milliseconds beside limits of seconds of
// real time (60 s of printer time is 0.6 s here).
inline constexpr double kShortRunScale = 0.01;

// Runs of `tessel-cli info` that ask printers which answer: info's own limits are 2 s of
// printer time per query, 20 ms of real time at kShortRunScale, which a busy machine missed
// (the status came back unknown); at this scale they are 400 ms.
inline constexpr double kInfoRunScale = 0.2;

// Runs that send firmware bytes (the whole image, or 5 MB before a fault). The image took up
// to 0.93 s of real time here through the pseudo-terminal to tessel-cli, about a second
// through the emulated USB bus: ten times that is 9.3 to 10 s, within the 15 s of real time
// that the 300-s limit is at this scale (30 s in the sanitizer builds, which took up to
// 2.7 s). A whole upgrade then takes about 15 s of real time (30 s with a sanitizer).
inline constexpr double kImageRunScale = 0.05 * kSanitizerSlowdown;

// Runs whose printer takes the image at a capped rate, so that the progress animation (280 s
// from the start of the restart wait) runs out while the image is still on its way, on any
// machine: the printer comes back 80 s after its restart began, mid-way between the restart
// poll's first look (54 s) and its last (114 s or later), and is found 80 to 90 s into the
// animation; at 120,000 bytes a second the image then takes at least 224 s, to 304 s or later.
// On a fast machine the run succeeds (224 s is within the 300-s limit); a machine that cannot
// read 6 MB a second of real time (the cap at this scale) pushes the transfer past its limit,
// and the run fails on its own. Such tests assert the order of the displays, not the end.
inline constexpr double kSlowLinkScale = 0.02;
inline constexpr std::uint32_t kSlowLinkRestartDelaySeconds = 80;
inline constexpr std::uint64_t kSlowLinkBytesPerSecond = 120'000;

// A run of the tool that has not ended after this much real time is stuck: far above the
// longest run at these scales (an upgrade whose printer never comes back after the burn waits
// about 510 s of printer time, 26 s at kImageRunScale, 51 s with a sanitizer).
inline constexpr auto kStuckRunBound = std::chrono::seconds(180);

}  // namespace tessel::testing
