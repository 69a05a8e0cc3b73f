#include <windows.h>

#include "platform/resources.h"

namespace tessel::platform {

std::optional<std::span<const std::uint8_t>> FindBinaryResource(std::uint16_t id) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"BINARY");
    if (info == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(nullptr, info);
    if (loaded == nullptr) {
        return std::nullopt;
    }
    const DWORD size = SizeofResource(nullptr, info);
    const void* data = LockResource(loaded);
    if (data == nullptr) {
        return std::nullopt;
    }
    return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data), size);
}

}  // namespace tessel::platform
