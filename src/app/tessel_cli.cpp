// tessel-cli: the command-line front end.
#include <cstdio>
#include <cstring>
#include <string>

#include "payloads/build_info.h"
#include "payloads/payload_format.h"
#include "platform/resources.h"

namespace {

constexpr const char* kFwVersion = "FW3.3.3.8";

int ShowPayloads() {
    using namespace tessel::payloads;
    std::printf("Tessel %s, %s payloads\n", kFwVersion,
                kPayloadsAreStandIns ? "stand-in (emulator only)" : "maker's");
    int missing = 0;
    for (const PayloadSpec* spec : {&kLoaderSpec, &kFirmwareSpec}) {
        const auto bytes = tessel::platform::FindBinaryResource(spec->resource_id);
        const bool ok = bytes && bytes->size() == spec->size && LooksLikePayload(*bytes);
        std::printf("  %-8s resource %u: %zu bytes%s\n", std::string(spec->name).c_str(),
                    spec->resource_id, bytes ? bytes->size() : 0, ok ? "" : " (missing or damaged)");
        missing += ok ? 0 : 1;
    }
    return missing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        return ShowPayloads();
    }
    std::fprintf(stderr, "usage: tessel-cli --version\n");
    return 2;
}
