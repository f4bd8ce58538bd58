// Profile files: the configuration image (32832 bytes), then the macro records (count x 16512
// bytes) in list order, then the string pool. Snapshot files have the same form.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/config/ConfigContext.h"
#include "core/platform/UserMessages.h"

namespace brindle {

// The message shown when a file's header breaks a rule; %s is the path.
inline constexpr char16_t kWrongFileFormatText[] =
    u"wrong file format, revert to the default values: \n  %s";

// Results of ValidateProfileFile.
constexpr int kProfileValid = 1;
constexpr int kProfileInvalid = 0;     // missing, too short, 4 GiB or longer, or a header rule
constexpr int kProfileUnreadable = -2; // cannot be opened
constexpr int kProfileNoMemory = -3;

struct ProfileCheck {
    int result = kProfileInvalid;
    // The rule that failed ("magic 0x4446", ...); empty when valid or when the file itself is at
    // fault (missing, short, unreadable).
    std::string failedRule;
    // Why the file was refused, for a person to read; empty when valid.
    std::string reason;
    // True when a header rule failed (the wrong-format message is shown for these only).
    bool headerFault = false;
};

// The first header rule `header` breaks, in the order they are checked; empty when none.
std::string FirstBrokenHeaderRule(const ProfileFileHeader& header);

// Checks a file's bytes: long enough for an image, below 4 GiB, and every header rule.
ProfileCheck CheckProfileBytes(std::span<const std::uint8_t> bytes);

// Checks a file on disk. The file's length is not compared with the header's total size.
ProfileCheck CheckProfileFile(const std::string& path);

// 1 valid, 0 invalid, -2 cannot be opened, -3 no memory. A broken header rule shows the
// wrong-format message with the path through `messages` (when given).
int ValidateProfileFile(const std::string& path, UserMessages* messages = nullptr);

// The file form of a context: refreshes the image's header (macro count, total text size, flag
// 0) and the text entries' pool offsets, then returns image, records and pool. The caller holds
// the context's lock.
std::vector<std::uint8_t> EncodeProfileFile(ConfigContext& context);

// Installs the contents of a file's bytes in the context, releasing what it held. Needs at least
// a whole image; macro records and pool are taken as far as the bytes reach (whole records only).
// Text offsets outside the pool give empty texts. False (and a default image installed) when the
// bytes are shorter than an image. The caller holds the context's lock.
bool DecodeProfileFile(std::span<const std::uint8_t> bytes, ConfigContext& context);

// Reads a file into the context (the caller holds its lock). 1 on success; 0 when the file is
// missing, cannot be read or memory runs out, and then the context holds a default image.
int LoadProfileFile(const std::string& path, ConfigContext& context);

// Writes the context to `path`, taking the context's lock when `lock` is set. The file is
// replaced as a whole: a failed or interrupted save leaves the previous file as it was. True on
// success; every write error is a failure.
bool SaveProfileFile(ConfigContext& context, const std::string& path, bool lock);

// Replaces `path` with `bytes` as a whole (temporary file in the same folder, flushed, renamed).
bool WriteProfileBytes(const std::string& path, std::span<const std::uint8_t> bytes);

} // namespace brindle
