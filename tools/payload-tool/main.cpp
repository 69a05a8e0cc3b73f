// tessel-payload-tool generate <dir>          writes the stand-in loader.bin and firmware.bin
// tessel-payload-tool verify <loader> <firmware>  checks a pair against the payload layout
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "payloads/payload_verify.h"
#include "standin.h"

namespace {

using tessel::payloads::PayloadSpec;

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int Generate(const std::string& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const PayloadSpec* spec : {&tessel::payloads::kLoaderSpec, &tessel::payloads::kFirmwareSpec}) {
        const std::string path = dir + "/" + std::string(spec->name) + ".bin";
        if (!WriteFile(path, tessel::payloads::MakeStandIn(*spec))) {
            std::fprintf(stderr, "payload tool: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

int Verify(const std::string& loader, const std::string& firmware) {
    int failures = 0;
    const std::pair<const PayloadSpec*, const std::string*> pairs[] = {
        {&tessel::payloads::kLoaderSpec, &loader}, {&tessel::payloads::kFirmwareSpec, &firmware}};
    for (const auto& [spec, path] : pairs) {
        std::vector<std::uint8_t> bytes;
        if (!ReadFile(*path, bytes)) {
            std::fprintf(stderr, "payload check failed: %s: cannot read the file\n", path->c_str());
            ++failures;
            continue;
        }
        const std::string error = tessel::payloads::VerifyPayload(*spec, bytes);
        if (!error.empty()) {
            std::fprintf(stderr, "payload check failed: %s: %s\n", path->c_str(), error.c_str());
            ++failures;
        } else {
            std::printf("payload check: %s: %zu bytes, every rule holds\n", path->c_str(), bytes.size());
        }
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "generate") {
        return Generate(args[1]);
    }
    if (args.size() == 3 && args[0] == "verify") {
        return Verify(args[1], args[2]);
    }
    std::fprintf(stderr,
                 "usage: tessel-payload-tool generate <dir>\n"
                 "       tessel-payload-tool verify <loader.bin> <firmware.bin>\n");
    return 2;
}
