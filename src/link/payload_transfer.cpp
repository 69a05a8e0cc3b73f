#include "link/payload_transfer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "link/acl_link.h"
#include "link/stand_in_guard.h"
#include "payloads/payload_format.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "upgrade/upgrade_display.h"

namespace tessel::link {
namespace {

struct FreeDeleter {
    void operator()(std::uint8_t* block) const { std::free(block); }
};

}  // namespace

bool LoadBinaryResource(std::uint8_t* buffer, std::size_t& size, std::uint16_t id) {
    const auto resource = platform::FindBinaryResource(id);
    if (!resource || resource->size() > size) {
        return false;
    }
    size = resource->size();
    std::memcpy(buffer, resource->data(), size);
    return true;
}

std::int32_t SendFWResource(platform::DeviceFile& device, std::uint16_t id,
                            const TransferProgress& progress) {
    const auto resource = platform::FindBinaryResource(id);
    if (!resource || resource->empty()) {
        return kErrNoResource;
    }
    std::size_t size = resource->size();

    // calloc: zero-filled, and a failure is a null pointer rather than an exception.
    const std::unique_ptr<std::uint8_t, FreeDeleter> block(
        static_cast<std::uint8_t*>(std::calloc(size, 1)));
    if (!block) {
        return kErrNoMemory;
    }
    if (!LoadBinaryResource(block.get(), size, id)) {
        return kErrLoadResource;
    }

    if (id == payloads::IDR_BINARY_LOADER && upgrade::g_pMainDlg != nullptr) {
        upgrade::g_pMainDlg->ShowUpgradeState(upgrade::kStateProgress, 0);
    }

    const std::int64_t start = platform::Clk().NowSeconds();
    std::size_t sent = 0;
    while (sent < size) {
        if (platform::Clk().NowSeconds() - start > kTransferTimeLimitSeconds) {
            return kErrTransferTimeout;
        }
        const auto chunk =
            static_cast<std::uint32_t>(std::min<std::size_t>(size - sent, kMaxWriteSize));
        const std::int32_t written = WriteToDevice(device, block.get() + sent, chunk);
        // Nothing written, a failure, or more than asked (which no device can do): stop, rather
        // than report bytes as sent that were not.
        if (written <= 0 || static_cast<std::uint32_t>(written) > chunk) {
            return kErrPayloadWrite;
        }
        sent += static_cast<std::uint32_t>(written);
        if (progress) {
            progress(sent, size);
        }
    }
    return kLinkOk;
}

}  // namespace tessel::link
