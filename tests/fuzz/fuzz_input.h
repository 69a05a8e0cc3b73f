// Reads a fuzz input as a little program: bytes, numbers and length-prefixed pieces taken from
// the front. Past the end every read gives zeros or nothing, so any input is a valid program.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessel::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : rest_(data, size) {}

    bool empty() const { return rest_.empty(); }
    std::size_t size() const { return rest_.size(); }

    std::uint8_t Byte() {
        if (rest_.empty()) {
            return 0;
        }
        const std::uint8_t b = rest_.front();
        rest_ = rest_.subspan(1);
        return b;
    }

    std::uint16_t Be16() { return static_cast<std::uint16_t>((Byte() << 8) | Byte()); }

    // Up to `count` bytes, fewer at the end of the input.
    std::span<const std::uint8_t> Bytes(std::size_t count) {
        const auto piece = rest_.first(std::min(count, rest_.size()));
        rest_ = rest_.subspan(piece.size());
        return piece;
    }
    std::vector<std::uint8_t> ByteVector(std::size_t count) {
        const auto piece = Bytes(count);
        return {piece.begin(), piece.end()};
    }
    std::string Text(std::size_t count) {
        const auto piece = Bytes(count);
        return {piece.begin(), piece.end()};
    }
    // A piece whose length (0-65535) comes first.
    std::string Be16Text() { return Text(Be16()); }

    // Everything not read yet.
    std::span<const std::uint8_t> Rest() { return Bytes(rest_.size()); }

  private:
    std::span<const std::uint8_t> rest_;
};

}  // namespace tessel::fuzz

// Every target defines this; the failure of a property aborts the run like a crash would.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#define FUZZ_CHECK(condition)                                                               \
    do {                                                                                    \
        if (!(condition)) {                                                                 \
            ::tessel::fuzz::CheckFailed(#condition, __FILE__, __LINE__);                    \
        }                                                                                   \
    } while (0)

namespace tessel::fuzz {
[[noreturn]] void CheckFailed(const char* condition, const char* file, int line);
}  // namespace tessel::fuzz
