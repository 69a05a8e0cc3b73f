// The printer emulator's reading of the byte stream a client sends. The same stream fed whole
// and in pieces of fuzzed sizes must give the same events with the same contents, every call
// must make progress, and what an event reports must be consistent.
//
// Input: eight bytes of piece sizes (each 1-256, used in turn), then the stream.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "stream_parser.h"

namespace {

using namespace tessel;
using sim::StreamParser;
using Event = StreamParser::Event;

std::string Text(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

// One event with what the parser reports for it.
std::string Describe(const StreamParser& parser, Event event) {
    std::string out = std::to_string(static_cast<int>(event)) + ":";
    switch (event) {
        case Event::kCommand:
            FUZZ_CHECK(parser.header().magic() == link::kAclMagic);
            return out + Text(parser.header().bytes) + "|" + Text(parser.data());
        case Event::kDownloadStart:
            FUZZ_CHECK(parser.payload_size() <=
                       StreamParser::kMaxBodyLength + 2 * link::kEnvelopeSize);
            return out + Text(parser.header().bytes) + std::to_string(parser.payload_size());
        case Event::kDownloadEnd:
            FUZZ_CHECK(parser.payload().size() == parser.payload_size());
            return out + Text(parser.payload());
        case Event::kJobEnd:
            FUZZ_CHECK(parser.job_size() > StreamParser::kJobBytesKept
                           ? parser.job_bytes().empty()
                           : parser.job_bytes().size() == parser.job_size());
            return out + std::to_string(parser.job_size()) + "|" + Text(parser.job_bytes()) +
                   "|" + parser.job_error();
        case Event::kPjlLine:
            FUZZ_CHECK(!parser.pjl_line().empty() && parser.pjl_line().back() == '\n');
            return out + parser.pjl_line();
        case Event::kError:
            FUZZ_CHECK(!parser.error().empty());
            return out + parser.error();
        case Event::kNone:
            break;
    }
    FUZZ_CHECK(false);
    return out;
}

// Feeds one piece the documented way: the rest after each event, and once all is taken, empty
// calls until nothing more completes.
void FeedPiece(StreamParser& parser, std::span<const std::uint8_t> piece,
               std::vector<std::string>& events) {
    std::size_t calls_without_progress = 0;
    for (;;) {
        const StreamParser::Result result = parser.Feed(piece);
        FUZZ_CHECK(result.consumed <= piece.size());
        if (result.event == Event::kNone) {
            FUZZ_CHECK(result.consumed == piece.size());
            return;
        }
        // One byte completes at most two events.
        calls_without_progress = result.consumed == 0 ? calls_without_progress + 1 : 0;
        FUZZ_CHECK(calls_without_progress < 2);
        events.push_back(Describe(parser, result.event));
        piece = piece.subspan(result.consumed);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    std::array<std::size_t, 8> piece_sizes{};
    for (std::size_t& piece_size : piece_sizes) {
        piece_size = std::size_t{in.Byte()} + 1;
    }
    const std::span<const std::uint8_t> stream = in.Rest();

    StreamParser whole;
    std::vector<std::string> whole_events;
    FeedPiece(whole, stream, whole_events);

    StreamParser pieces;
    std::vector<std::string> pieces_events;
    std::size_t at = 0;
    for (std::size_t i = 0; at < stream.size(); ++i) {
        const std::size_t n = std::min(piece_sizes[i % piece_sizes.size()], stream.size() - at);
        FeedPiece(pieces, stream.subspan(at, n), pieces_events);
        at += n;
    }
    FUZZ_CHECK(whole_events == pieces_events);

    // A reset parser reads the stream as the first one did.
    pieces.Reset();
    std::vector<std::string> again;
    FeedPiece(pieces, stream, again);
    FUZZ_CHECK(again == whole_events);
    return 0;
}
