// One printer core on a virtual clock, with a port that records what the printer does.
#pragma once

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "event_log.h"
#include "printer_core.h"
#include "sim_streams.h"
#include "virtual_clock.h"

namespace tessel::sim::testing {

class FakePort final : public PrinterPort {
  public:
    Json Connect(std::uint16_t product_id) override {
        connected = true;
        products.push_back(product_id);
        return Json::object();
    }
    void Disconnect() override {
        connected = false;
        ++disconnects;
    }
    void Send(std::span<const std::uint8_t> bytes) override {
        sent.insert(sent.end(), bytes.begin(), bytes.end());
        pieces.push_back(bytes.size());
    }

    bool connected = false;
    int disconnects = 0;
    std::vector<std::uint16_t> products;
    Bytes sent;
    std::vector<std::size_t> pieces;
};

struct Printer {
    explicit Printer(const PrinterConfig& config = {}) : core(0, config, clock, log, port) {
        core.Start();
    }

    // Sends `bytes` in pieces of `piece` bytes (0: at once); returns how many the printer took.
    std::size_t Send(const Bytes& bytes, std::size_t piece = 0) {
        std::size_t taken = 0;
        for (std::size_t at = 0; at < bytes.size() && core.connected();) {
            const std::size_t n = piece ? std::min(piece, bytes.size() - at) : bytes.size() - at;
            const std::size_t used = core.Receive({bytes.data() + at, n});
            taken += used;
            if (used < n) {
                break;
            }
            at += n;
        }
        return taken;
    }

    // Sends `bytes` in pieces of random sizes from 1 to `max_piece`.
    std::size_t SendRandomPieces(const Bytes& bytes, unsigned seed, std::size_t max_piece) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> size(1, max_piece);
        std::size_t taken = 0;
        for (std::size_t at = 0; at < bytes.size() && core.connected();) {
            const std::size_t n = std::min(size(random), bytes.size() - at);
            taken += core.Receive({bytes.data() + at, n});
            at += n;
        }
        return taken;
    }

    // Lets `ms` of printer time pass, running everything that falls due on the way.
    void RunFor(std::int64_t ms) {
        const std::int64_t end = clock.NowMs() + ms;
        while (true) {
            core.ReceiveAllowance();
            const auto due = core.NextDueMs();
            if (!due || *due > end) {
                clock.AdvanceMs(end - clock.NowMs());
                core.Poll();
                return;
            }
            clock.AdvanceMs(std::max<std::int64_t>(0, *due - clock.NowMs()));
            core.Poll();
        }
    }

    std::vector<Json> Named(std::string_view event) const {
        std::vector<Json> out;
        for (const Json& e : log.Events()) {
            if (e["event"] == event) {
                out.push_back(e);
            }
        }
        return out;
    }

    Bytes TakeSent() {
        Bytes out;
        out.swap(port.sent);
        port.pieces.clear();
        return out;
    }

    tessel::testing::VirtualClock clock;
    EventLog log{clock};
    FakePort port;
    PrinterCore core;
};

// The replies a careful printer gives.
inline Bytes StatusReply(std::uint8_t status) {
    Bytes out = Header(link::kCmdStatus);
    out[6] = status;
    return out;
}

inline Bytes VersionReply(std::string_view text) {
    Bytes out = Header(link::kCmdObjectQuery);
    out[6] = static_cast<std::uint8_t>(text.size() >> 8);
    out[7] = static_cast<std::uint8_t>(text.size());
    Append(out, text);
    return out;
}

}  // namespace tessel::sim::testing
