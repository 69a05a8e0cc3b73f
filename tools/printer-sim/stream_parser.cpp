#include "stream_parser.h"

#include <algorithm>
#include <cstdio>

namespace tessel::sim {
namespace {

using link::kEnterAcl;
using link::kUel;

constexpr std::string_view kPjlPrefix = "@PJL";
constexpr std::size_t kMaxPjlLine = 256;
constexpr std::uint32_t kFirmwareType = 0x100;

std::string Hex4(unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", value & 0xFFFFu);
    return buf;
}

}  // namespace

void StreamParser::Reset() {
    *this = StreamParser{};
}

StreamParser::Result StreamParser::Feed(std::span<const std::uint8_t> input) {
    if (pending_ != Event::kNone) {
        const Event event = pending_;
        pending_ = Event::kNone;
        return {event, 0};
    }
    std::size_t i = 0;
    while (true) {
        if (state_ == State::kPayload) {
            if (payload_.size() == payload_size_) {
                return {PayloadComplete(), i};
            }
            if (i == input.size()) {
                break;
            }
            const std::size_t n = static_cast<std::size_t>(
                std::min<std::uint64_t>(input.size() - i, payload_size_ - payload_.size()));
            const auto piece = input.subspan(i, n);
            payload_.insert(payload_.end(), piece.begin(), piece.end());
            Keep(piece);
            i += n;
            continue;
        }
        if (i == input.size()) {
            break;
        }
        Keep(input.subspan(i, 1));
        const Event event = Step(input[i++]);
        if (event != Event::kNone) {
            return {event, i};
        }
    }
    return {Event::kNone, input.size()};
}

void StreamParser::Keep(std::span<const std::uint8_t> bytes) {
    job_size_ += bytes.size();
    if (job_.size() < kJobBytesKept) {
        const std::size_t n = std::min(bytes.size(), kJobBytesKept - job_.size());
        job_.insert(job_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    }
}

bool StreamParser::MatchUel(std::uint8_t byte) {
    if (byte == kUel[uel_match_]) {
        if (++uel_match_ == kUel.size()) {
            uel_match_ = 0;
            return true;
        }
    } else {
        uel_match_ = byte == kUel[0] ? 1 : 0;
    }
    return false;
}

StreamParser::Event StreamParser::Fail(std::string reason, std::uint8_t byte) {
    error_ = std::move(reason);
    if (job_error_.empty()) {
        job_error_ = error_;
    }
    state_ = State::kSkip;
    // The offending byte may itself open the UEL that ends the skipping.
    uel_match_ = byte == kUel[0] ? 1 : 0;
    return Event::kError;
}

StreamParser::Event StreamParser::EndJob(bool uel_closes_job) {
    const std::uint64_t size = uel_closes_job ? job_size_ : job_size_ - kUel.size();
    ended_job_size_ = size;
    ended_job_.assign(job_.begin(), job_.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min<std::uint64_t>(size, job_.size())));
    if (size > kJobBytesKept) {
        ended_job_.clear();
    }
    ended_job_error_ = job_error_;
    job_error_.clear();
    if (uel_closes_job) {
        job_.clear();
        job_size_ = 0;
    } else {
        job_.assign(kUel.begin(), kUel.end());
        job_size_ = kUel.size();
    }
    state_ = State::kPjl;
    line_.clear();
    return Event::kJobEnd;
}

StreamParser::Event StreamParser::Step(std::uint8_t byte) {
    switch (state_) {
        case State::kIdle:
            if (MatchUel(byte)) {
                if (job_size_ > kUel.size()) {
                    job_error_ = "bytes outside a job";
                    return EndJob(false);
                }
                state_ = State::kPjl;
            }
            return Event::kNone;

        case State::kSkip:
            return MatchUel(byte) ? EndJob(true) : Event::kNone;

        case State::kPjl:
            // Between lines a job may repeat its UEL.
            if (line_.empty() && (uel_match_ > 0 || byte == kUel[0])) {
                if (byte != kUel[uel_match_]) {
                    return Fail("a broken UEL", byte);
                }
                if (++uel_match_ == kUel.size()) {
                    uel_match_ = 0;
                }
                return Event::kNone;
            }
            line_ += static_cast<char>(byte);
            if (line_.size() <= kPjlPrefix.size() && !kPjlPrefix.starts_with(line_)) {
                return Fail("not a PJL line", byte);
            }
            if (byte == '\n') {
                if (std::equal(line_.begin(), line_.end(), kEnterAcl.begin(), kEnterAcl.end())) {
                    state_ = State::kAclHeader;
                    header_fill_ = 0;
                    line_.clear();
                    return Event::kNone;
                }
                pjl_line_ = std::move(line_);
                line_.clear();
                return Event::kPjlLine;
            }
            if (line_.size() > kMaxPjlLine) {
                return Fail("a PJL line longer than " + std::to_string(kMaxPjlLine) + " bytes",
                            byte);
            }
            return Event::kNone;

        case State::kAclHeader:
            // Between commands: the UEL that closes the job, or the next header.
            if (header_fill_ == 0 && (uel_match_ > 0 || byte == kUel[0])) {
                if (byte != kUel[uel_match_]) {
                    return Fail("a broken UEL", byte);
                }
                if (++uel_match_ == kUel.size()) {
                    uel_match_ = 0;
                    return EndJob(true);
                }
                return Event::kNone;
            }
            header_.bytes[header_fill_++] = byte;
            if (header_fill_ == 2 && header_.magic() != link::kAclMagic) {
                return Fail("an ACL header with magic " + Hex4(header_.magic()), byte);
            }
            return header_fill_ == link::kAclHeaderSize ? HeaderComplete() : Event::kNone;

        case State::kAclData:
            data_.push_back(byte);
            if (data_.size() == data_length_) {
                state_ = State::kAclHeader;
                header_fill_ = 0;
                return Event::kCommand;
            }
            return Event::kNone;

        case State::kPayload:
            break;  // taken in bulk by Feed
    }
    return Event::kNone;
}

StreamParser::Event StreamParser::HeaderComplete() {
    header_fill_ = 0;
    data_.clear();
    const std::uint16_t code = header_.command();
    if (code == link::kCmdStatus) {
        return Event::kCommand;
    }
    if (code == link::kCmdObjectQuery) {
        data_length_ = header_.Get16(4);
        if (data_length_ > kMaxCommandData) {
            return Fail("a command announcing " + std::to_string(data_length_) + " data bytes", 0);
        }
        if (data_length_ == 0) {
            return Event::kCommand;
        }
        state_ = State::kAclData;
        return Event::kNone;
    }
    if (code == link::kCmdDownload) {
        const std::uint64_t body = link::ReadBe32(header_.bytes.data() + 12);
        if (body > kMaxBodyLength) {
            return Fail("a download announcing " + std::to_string(body) + " body bytes", 0);
        }
        payload_has_closing_uel_ = link::ReadBe32(header_.bytes.data() + 8) == kFirmwareType;
        payload_size_ = link::kEnvelopeSize + link::kAclHeaderSize + body +
                        (payload_has_closing_uel_ ? kUel.size() : 0);
        payload_.clear();
        payload_.reserve(static_cast<std::size_t>(payload_size_));
        payload_.insert(payload_.end(), kUel.begin(), kUel.end());
        payload_.insert(payload_.end(), kEnterAcl.begin(), kEnterAcl.end());
        payload_.insert(payload_.end(), header_.bytes.begin(), header_.bytes.end());
        state_ = State::kPayload;
        return Event::kDownloadStart;
    }
    return Fail("an unknown command " + Hex4(code), 0);
}

StreamParser::Event StreamParser::PayloadComplete() {
    header_fill_ = 0;
    if (!payload_has_closing_uel_) {
        state_ = State::kAclHeader;
        return Event::kDownloadEnd;
    }
    if (std::equal(kUel.begin(), kUel.end(), payload_.end() - kUel.size())) {
        pending_ = EndJob(true);
    } else {
        if (job_error_.empty()) {
            job_error_ = "no UEL after the firmware image";
        }
        state_ = State::kSkip;
        uel_match_ = 0;
    }
    return Event::kDownloadEnd;
}

}  // namespace tessel::sim
