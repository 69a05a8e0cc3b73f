// Sending one of the carried payloads to the printer, byte for byte as stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "link/link_result.h"
#include "platform/device_file.h"

namespace tessel::link {

// The whole payload must be written within this many seconds of calendar time.
inline constexpr std::int64_t kTransferTimeLimitSeconds = 300;

// Sends the payload with resource id `id` (payloads::IDR_BINARY_LOADER or
// payloads::IDR_BINARY_FIRMWARE) in writes of at most kMaxWriteSize bytes; a short write is
// continued where it stopped. Before the loader's first byte the main display switches to its
// progress state. Returns kLinkOk when every byte was written, or kErrNoResource,
// kErrNoMemory, kErrLoadResource (nothing written), kErrTransferTimeout, kErrPayloadWrite.
// `progress`, when given, is told the bytes written so far and the payload's size after every
// write.
using TransferProgress = std::function<void(std::uint64_t sent, std::uint64_t total)>;
std::int32_t SendFWResource(platform::DeviceFile& device, std::uint16_t id,
                            const TransferProgress& progress = {});

// Copies the payload `id` into `buffer`. On entry `size` is the buffer's capacity; on success
// it is the payload's size. Fails when there is no such payload or it does not fit.
bool LoadBinaryResource(std::uint8_t* buffer, std::size_t& size, std::uint16_t id);

}  // namespace tessel::link
