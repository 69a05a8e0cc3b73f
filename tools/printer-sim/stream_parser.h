// The printer's reading of the byte stream a client sends: PJL jobs opened by a UEL, the
// switch into ACL, 16-byte ACL headers with their data, payloads, and the UEL that closes a
// job. Bytes may arrive in pieces of any size; the parser keeps its place between calls.
//
// A job runs from its UEL to the UEL that closes it. Bytes the printer cannot make sense of
// (anything before the first UEL, a line that is not PJL, a header without the ACL magic, an
// unknown command) are reported once and then skipped up to the next UEL, which closes the
// broken job, so the next job is read normally.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/acl_protocol.h"

namespace tessel::sim {

class StreamParser {
  public:
    enum class Event {
        kNone,           // all input consumed, nothing completed
        kCommand,        // a command with its data: header(), data()
        kDownloadStart,  // a download header arrived: header(), payload_size()
        kDownloadEnd,    // the payload is complete: payload()
        kJobEnd,         // a job ended: job_bytes(), job_size(), job_error()
        kPjlLine,        // a PJL line other than the switch into ACL: pjl_line()
        kError,          // unreadable input, now skipped up to the next UEL: error()
    };
    struct Result {
        Event event;
        std::size_t consumed;  // bytes of the input taken, up to the one completing the event
    };

    // The largest body a download may announce, and the largest data of another command.
    static constexpr std::uint64_t kMaxBodyLength = 64ULL << 20;
    static constexpr std::size_t kMaxCommandData = 4096;
    // Jobs up to this size are kept byte for byte for the log.
    static constexpr std::size_t kJobBytesKept = 4096;

    // Reads `input` up to the first event. Call again with the rest (and, after an event, with
    // an empty span until kNone: one byte can complete two events).
    Result Feed(std::span<const std::uint8_t> input);

    // Forgets everything: a new connection starts outside any job.
    void Reset();

    const link::AclHeader& header() const { return header_; }
    std::span<const std::uint8_t> data() const { return data_; }
    // During a download: the payload's bytes so far, counted from its UEL (envelope, header,
    // body, closing UEL); after kDownloadEnd: the whole payload.
    std::span<const std::uint8_t> payload() const { return payload_; }
    bool in_payload() const { return state_ == State::kPayload; }
    std::uint64_t payload_size() const { return payload_size_; }
    const std::string& error() const { return error_; }
    const std::string& pjl_line() const { return pjl_line_; }
    // The job that ended; its bytes only when it was at most kJobBytesKept long.
    std::span<const std::uint8_t> job_bytes() const { return ended_job_; }
    std::uint64_t job_size() const { return ended_job_size_; }
    // Why the job that ended was broken (its first error), or empty.
    const std::string& job_error() const { return ended_job_error_; }

  private:
    enum class State { kIdle, kPjl, kAclHeader, kAclData, kPayload, kSkip };

    Event Step(std::uint8_t byte);
    // Tracks the UEL; true when `byte` completes one.
    bool MatchUel(std::uint8_t byte);
    Event Fail(std::string reason, std::uint8_t byte);
    // Ends the job at the UEL just read; that UEL belongs to the ended job or starts the next.
    Event EndJob(bool uel_closes_job);
    Event HeaderComplete();
    Event PayloadComplete();
    void Keep(std::span<const std::uint8_t> bytes);

    State state_ = State::kIdle;
    std::size_t uel_match_ = 0;
    std::string line_;
    link::AclHeader header_;
    std::size_t header_fill_ = 0;
    std::vector<std::uint8_t> data_;
    std::size_t data_length_ = 0;
    std::vector<std::uint8_t> payload_;
    std::uint64_t payload_size_ = 0;
    bool payload_has_closing_uel_ = false;
    std::string error_;
    std::string pjl_line_;
    Event pending_ = Event::kNone;

    std::vector<std::uint8_t> job_;
    std::uint64_t job_size_ = 0;
    std::string job_error_;
    std::vector<std::uint8_t> ended_job_;
    std::uint64_t ended_job_size_ = 0;
    std::string ended_job_error_;
};

}  // namespace tessel::sim
