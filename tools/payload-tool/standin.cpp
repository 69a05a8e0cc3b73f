#include "standin.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "link/acl_protocol.h"
#include "payloads/payload_verify.h"

namespace tessel::payloads {
namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

using MdCtx = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

MdCtx NewCtx() { return MdCtx(EVP_MD_CTX_new(), &EVP_MD_CTX_free); }

}  // namespace

std::vector<std::uint8_t> MakeStandIn(const PayloadSpec& spec, std::uint64_t seed) {
    using namespace tessel::link;
    std::vector<std::uint8_t> out(spec.size, 0);
    std::copy(kUel.begin(), kUel.end(), out.begin());
    std::copy(kEnterAcl.begin(), kEnterAcl.end(), out.begin() + kUel.size());
    std::copy(spec.header.begin(), spec.header.end(), out.begin() + kHeaderOffset);
    if (spec.closing_uel) {
        std::copy(kUel.begin(), kUel.end(), out.end() - kUel.size());
    }

    std::uint8_t* body = out.data() + kBodyOffset;
    const std::size_t length = spec.body_length;
    std::uint64_t state = seed + spec.resource_id;
    for (std::size_t i = 0; i < length; i += 8) {
        const std::uint64_t r = SplitMix64(state);
        for (std::size_t k = 0; k < 8 && i + k < length; ++k) {
            body[i + k] = static_cast<std::uint8_t>(r >> (8 * k));
        }
    }
    std::copy(spec.version_marker.begin(), spec.version_marker.end(), body + kVersionMarkerOffset);

    // Two compensation words right before the MD5 trailer. The word sum of everything before
    // them and the MD5 state over the same bytes are computed once; each candidate then costs
    // one MD5 finalisation over four bytes.
    const std::size_t comp = length - kMd5Size - 4;
    const std::uint32_t prefix_sum = WordSum({body, comp});
    MdCtx prefix = NewCtx();
    EVP_DigestInit_ex(prefix.get(), EVP_md5(), nullptr);
    EVP_DigestUpdate(prefix.get(), body, comp);
    MdCtx trial = NewCtx();
    for (std::uint32_t high = 0; high <= 0xFFFF; ++high) {
        for (std::uint32_t low = 0; low <= 0xFFFF; ++low) {
            const std::uint8_t words[4] = {
                static_cast<std::uint8_t>(high >> 8), static_cast<std::uint8_t>(high),
                static_cast<std::uint8_t>(low >> 8), static_cast<std::uint8_t>(low)};
            EVP_MD_CTX_copy_ex(trial.get(), prefix.get());
            EVP_DigestUpdate(trial.get(), words, sizeof words);
            Md5Digest digest{};
            unsigned int n = 0;
            EVP_DigestFinal_ex(trial.get(), digest.data(), &n);
            const std::uint32_t sum = WordSum(digest, prefix_sum + high + low);
            if (FoldAndComplement(sum) == spec.checksum) {
                std::copy(std::begin(words), std::end(words), body + comp);
                std::copy(digest.begin(), digest.end(), body + length - kMd5Size);
                return out;
            }
        }
    }
    throw std::runtime_error("no compensation words reach the checksum");
}

bool IsStandIn(const PayloadSpec& spec, std::span<const std::uint8_t> bytes) {
    if (bytes.size() != spec.size) {
        return false;
    }
    const std::vector<std::uint8_t> stand_in = MakeStandIn(spec);
    return std::equal(stand_in.begin(), stand_in.end(), bytes.begin());
}

}  // namespace tessel::payloads
