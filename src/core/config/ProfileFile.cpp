#include "core/config/ProfileFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "core/config/TextPool.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/Utf.h"

namespace brindle {

namespace {

constexpr std::uint64_t kFourGiB = std::uint64_t{1} << 32;

struct ReadResult {
    int result = kProfileInvalid;
    std::vector<std::uint8_t> bytes;
    std::string reason;
};

// Reads at most `limit` bytes of a regular file.
ReadResult ReadFile(const std::string& path, std::uint64_t limit) {
    ReadResult r;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        r.reason = "file not found";
        return r;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        r.result = kProfileUnreadable;
        r.reason = "cannot be opened";
        return r;
    }
    if (::fstat(fd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) >= kFourGiB) {
        ::close(fd);
        r.reason = "4 GiB or longer";
        return r;
    }
    if (st.st_size < static_cast<off_t>(kConfigImageSize)) {
        ::close(fd);
        r.reason = "shorter than a configuration image (32832 bytes)";
        return r;
    }
    const std::uint64_t want =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), limit);
    try {
        r.bytes.resize(static_cast<std::size_t>(want));
    } catch (const std::bad_alloc&) {
        ::close(fd);
        r.result = kProfileNoMemory;
        r.reason = "no memory to read it";
        return r;
    }
    std::size_t got = 0;
    while (got < r.bytes.size()) {
        const ssize_t n = ::read(fd, r.bytes.data() + got, r.bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    r.bytes.resize(got); // a file that shrank meanwhile: what is there
    r.result = kProfileValid;
    return r;
}

} // namespace

std::string FirstBrokenHeaderRule(const ProfileFileHeader& h) {
    if (h.magic != kProfileFileMagic)
        return "magic 0x4446";
    if (h.headerSize != kProfileHeaderSize)
        return "header size 32";
    if (h.profileCount != kImageProfileCount)
        return "profile count 3";
    if (h.version != kProfileFormatVersion)
        return "format version 1";
    if (h.totalSize < kConfigImageSize)
        return "total size at least 32832";
    if (h.slotCount != kKeyStringSlots)
        return "string slot count 2048";
    if (h.macroCount > kMaxMacros)
        return "macro count at most 100";
    if (h.flag > 1)
        return "flag 0 or 1";
    // 64-bit sum: a huge pool size must not wrap around to a matching total.
    const std::uint64_t total = std::uint64_t{h.macroCount} * sizeof(MacroRecord) +
                                std::uint64_t{h.poolSize} + kConfigImageSize;
    if (total != h.totalSize)
        return "total size = 32832 + macro count x 16512 + pool size";
    if (h.checksum != HeaderChecksum(h))
        return "checksum byte 31 = sum of bytes 0-30";
    return {};
}

ProfileCheck CheckProfileBytes(std::span<const std::uint8_t> bytes) {
    ProfileCheck check;
    if (bytes.size() >= kFourGiB) {
        check.reason = "4 GiB or longer";
        return check;
    }
    if (bytes.size() < kConfigImageSize) {
        check.reason = "shorter than a configuration image (32832 bytes)";
        return check;
    }
    ProfileFileHeader header;
    std::memcpy(&header, bytes.data(), sizeof header);
    check.failedRule = FirstBrokenHeaderRule(header);
    if (!check.failedRule.empty()) {
        check.headerFault = true;
        check.reason = "header rule broken: " + check.failedRule;
        return check;
    }
    check.result = kProfileValid;
    return check;
}

ProfileCheck CheckProfileFile(const std::string& path) {
    // The header is all a check needs; the rest of the file is read when it is loaded.
    ReadResult read = ReadFile(path, kConfigImageSize);
    if (read.result != kProfileValid) {
        ProfileCheck check;
        check.result = read.result;
        check.reason = read.reason;
        return check;
    }
    if (read.bytes.size() < kConfigImageSize) {
        ProfileCheck check;
        check.reason = "shorter than a configuration image (32832 bytes)";
        return check;
    }
    return CheckProfileBytes(read.bytes);
}

int ValidateProfileFile(const std::string& path, UserMessages* messages) {
    const ProfileCheck check = CheckProfileFile(path);
    if (check.headerFault && messages != nullptr) {
        std::u16string text = kWrongFileFormatText;
        text.replace(text.find(u"%s"), 2, Utf8ToUtf16(path));
        messages->ShowInfo(text);
    }
    return check.result;
}

std::vector<std::uint8_t> EncodeProfileFile(ConfigContext& context) {
    if (!context.image)
        context.image = CreateDefaultImage();
    ConfigImage& image = *context.image;
    RefreshHeader(image, context.MacroCount(), context.TotalTextSize(), 0);
    const std::vector<std::uint8_t> pool = PackTextPool(image, context.texts);
    const std::size_t macroBytes = context.macros.size() * sizeof(MacroRecord);
    std::vector<std::uint8_t> bytes(kConfigImageSize + macroBytes + pool.size());
    std::memcpy(bytes.data(), &image, kConfigImageSize);
    if (macroBytes != 0)
        std::memcpy(bytes.data() + kConfigImageSize, context.macros.data(), macroBytes);
    if (!pool.empty())
        std::memcpy(bytes.data() + kConfigImageSize + macroBytes, pool.data(), pool.size());
    return bytes;
}

bool DecodeProfileFile(std::span<const std::uint8_t> bytes, ConfigContext& context) {
    ReleaseContents(context);
    if (bytes.size() < kConfigImageSize) {
        context.image = CreateDefaultImage();
        return false;
    }
    try {
        auto image = std::make_unique<ConfigImage>();
        std::memcpy(image.get(), bytes.data(), kConfigImageSize);
        const std::size_t declared = image->header.macroCount;
        const std::size_t present = (bytes.size() - kConfigImageSize) / sizeof(MacroRecord);
        const std::size_t count = std::min({declared, present, kMaxMacros});
        MacroList macros(count);
        if (count != 0)
            std::memcpy(macros.data(), bytes.data() + kConfigImageSize,
                        count * sizeof(MacroRecord));
        const std::size_t poolStart =
            std::min(bytes.size(), kConfigImageSize + declared * sizeof(MacroRecord));
        const std::size_t poolSize =
            std::min<std::size_t>(image->header.poolSize, bytes.size() - poolStart);
        UnpackTextPool(*image, bytes.subspan(poolStart, poolSize), context.texts);
        context.image = std::move(image);
        context.macros = std::move(macros);
        return true;
    } catch (const std::bad_alloc&) {
        ReleaseContents(context);
        context.image = CreateDefaultImage();
        return false;
    }
}

int LoadProfileFile(const std::string& path, ConfigContext& context) {
    ReadResult read = ReadFile(path, kFourGiB);
    if (read.result != kProfileValid) {
        InstallDefaultImage(context);
        return 0;
    }
    return DecodeProfileFile(read.bytes, context) ? 1 : 0;
}

bool WriteProfileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    return WriteFileAtomically(path, bytes);
}

bool SaveProfileFile(ConfigContext& context, const std::string& path, bool lock) {
    std::vector<std::uint8_t> bytes;
    if (lock) {
        std::lock_guard<std::mutex> guard(context.lock);
        bytes = EncodeProfileFile(context);
    } else {
        bytes = EncodeProfileFile(context);
    }
    return WriteProfileBytes(path, bytes);
}

} // namespace brindle
