#include "core/config/ProfileStore.h"

#include <cstring>
#include <sys/stat.h>
#include <vector>

#include "core/config/KeyTableConversion.h"
#include "core/config/ProfileFile.h"
#include "core/keys/MacroBlock.h"
#include "core/platform/UserFolders.h"

namespace brindle {

ProfileStore::ProfileStore() : folder_(DocumentsFolder() + "/" + kUserFolderName) {}

bool ProfileStore::EnsureFolder() const {
    return MakeFolders(folder_);
}

std::string ProfileStore::SnapshotPath(int profile) const {
    if (profile < 0 || profile > 2)
        return {};
    EnsureFolder();
    return folder_ + "/$Profile" + std::to_string(profile);
}

int SaveSnapshot(ConfigContext& live, const ProfileStore& store, int activeProfile, bool lock) {
    const std::string path = store.SnapshotPath(activeProfile);
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return 0;
    return SaveProfileFile(live, path, lock) ? 1 : 0;
}

int ReadKeyboardToFile(KeyboardMemory& keyboard, const std::string& path,
                       const DeviceKeyTable& factory, std::u16string_view prefix) {
    const int active = keyboard.ActiveProfile();
    if (active < 0 || active > 3)
        return 0;
    DeviceKeyTable tables[3];
    for (int p = 0; p < 3; ++p)
        if (keyboard.ReadKeyTable(tables[p], p) != 1)
            return 0;
    std::uint8_t head[kMacroBlockHeaderSize] = {};
    if (keyboard.ReadMacroArea(head, sizeof head) != 1)
        return 0;
    MacroList macros;
    if (head[0] == 0xAA && head[1] == 0x55) {
        std::size_t length = static_cast<std::size_t>(head[2] | (head[3] << 8));
        // A length beyond the keyboard's memory is cut to it; reading past it would fail anyway.
        if (const std::size_t capacity = keyboard.MacroCapacity(); capacity != 0)
            length = std::min(length, capacity);
        length = std::max(length, kMacroBlockHeaderSize);
        std::vector<std::uint8_t> area(length);
        if (keyboard.ReadMacroArea(area.data(), area.size()) != 1)
            return 0;
        macros = DecodeMacroBlock(area, area.size(), prefix);
    }
    ConfigContext file;
    file.image = std::make_unique<ConfigImage>();
    std::memset(file.image.get(), 0, sizeof(ConfigImage));
    FillDeviceInfoBlock(*file.image);
    for (int p = 0; p < 3; ++p)
        DeviceTableToPage(file.image->pages[p], tables[p], factory);
    file.macros = std::move(macros);
    return WriteProfileBytes(path, EncodeProfileFile(file)) ? 1 : 0;
}

int ReloadFromKeyboard(ConfigContext& live, KeyboardMemory& keyboard, const ProfileStore& store,
                       const DeviceKeyTable& factory, std::u16string_view prefix,
                       const std::function<void()>& underLock) {
    store.EnsureFolder();
    const int active = keyboard.ActiveProfile();
    const std::string path = store.SnapshotPath(active);
    const bool read = !path.empty() && ReadKeyboardToFile(keyboard, path, factory, prefix) == 1;
    std::lock_guard<std::mutex> guard(live.lock);
    ReleaseContents(live);
    const bool loaded = read && LoadProfileFile(path, live) == 1;
    if (!loaded)
        InstallDefaultImage(live);
    if (underLock)
        underLock();
    return loaded ? 1 : 0;
}

} // namespace brindle
