// Profile file checking and loading on arbitrary bytes: the check must never read past the bytes,
// and whatever it accepts must load (texts, macros) without reading outside them; a loaded file
// saved again must check as valid.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "core/config/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brindle;
    // Short inputs grow to a whole image so the header rules and the pool are exercised: the
    // fuzzer's bytes become the header, the first key entries and whatever follows the image.
    std::vector<std::uint8_t> bytes(data, data + size);
    if (bytes.size() < kConfigImageSize && !bytes.empty() && (bytes[0] & 1)) {
        const std::size_t head = std::min<std::size_t>(bytes.size(), 1024);
        std::vector<std::uint8_t> grown(kConfigImageSize, 0);
        std::memcpy(grown.data(), bytes.data(), head);
        grown.insert(grown.end(), bytes.begin() + static_cast<long>(head), bytes.end());
        bytes = std::move(grown);
    }
    const ProfileCheck check = CheckProfileBytes(bytes);
    ConfigContext context;
    // Load everything long enough, valid or not: a load must be safe on any image.
    const bool loaded = DecodeProfileFile(bytes, context);
    if (loaded != (bytes.size() >= kConfigImageSize))
        std::abort();
    if (context.image == nullptr)
        std::abort();
    const std::vector<std::uint8_t> saved = EncodeProfileFile(context);
    if (check.result == kProfileValid && CheckProfileBytes(saved).result != kProfileValid)
        std::abort();
    ConfigContext again;
    if (!DecodeProfileFile(saved, again))
        std::abort();
    // A second round trip is stable byte for byte.
    if (EncodeProfileFile(again) != saved)
        std::abort();
    return 0;
}
