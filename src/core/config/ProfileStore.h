// The per-user folder (documents folder + "Keyweave_35B") and the three snapshot files in it,
// "$Profile0".."$Profile2": the program's record of what the keyboard holds. The active profile's
// snapshot is rewritten from the keyboard whenever the keyboard is attached and from the image
// whenever changes are applied.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/config/ConfigContext.h"
#include "core/config/KeyboardMemory.h"
#include "core/lang/TextLookup.h"

namespace brindle {

inline constexpr char kUserFolderName[] = "Keyweave_35B";

class ProfileStore {
public:
    // The per-user folder under the user's documents folder.
    ProfileStore();
    // Any folder (tests).
    explicit ProfileStore(std::string folder) : folder_(std::move(folder)) {}

    const std::string& Folder() const { return folder_; }
    // Creates the folder when it is missing; true when it exists afterwards.
    bool EnsureFolder() const;
    // "$Profile<n>" in the folder, which is created first. Empty for a profile outside 0-2.
    std::string SnapshotPath(int profile) const;

private:
    std::string folder_;
};

// Saves the context to the active profile's snapshot file, but only when that file already
// exists (it is made when the keyboard is first read). 1 when written, 0 otherwise (no such
// file, unknown profile, write error). Takes the context's lock when `lock` is set.
int SaveSnapshot(ConfigContext& live, const ProfileStore& store, int activeProfile, bool lock);

// Reads the keyboard's three key tables and its macro area and writes them as a profile file
// (no texts, page 3 zero). 1 on success, 0 otherwise; the file is only replaced on success.
// `prefix` names macros the keyboard holds without names.
int ReadKeyboardToFile(KeyboardMemory& keyboard, const std::string& path,
                       const DeviceKeyTable& factory, std::u16string_view prefix);

// Refreshes the active profile's snapshot from the keyboard and loads it into the live context
// under its lock; a default image when the keyboard cannot be read. `underLock` runs before the
// lock is released (the keyboard view redraws from the new image). 1 when the keyboard's
// contents were loaded, 0 when a default image was installed. The caller disables Apply.
int ReloadFromKeyboard(ConfigContext& live, KeyboardMemory& keyboard, const ProfileStore& store,
                       const DeviceKeyTable& factory, std::u16string_view prefix,
                       const std::function<void()>& underLock = {});

} // namespace brindle
