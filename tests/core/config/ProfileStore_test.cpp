#include "core/config/ProfileStore.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "TestKeyboard.h"
#include "core/config/KeyboardWriter.h"
#include "core/config/ProfileFile.h"
#include "core/keys/KeyTables.h"
#include "core/keys/MacroBlock.h"

namespace brindle {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::TestKeyboard;
using test::WriteBytes;

MacroRecord Macro(std::u16string_view name, std::size_t actions) {
    MacroRecord m{};
    SetMacroName(m, name);
    m.playCount = 2;
    m.actionCount = static_cast<std::uint16_t>(actions);
    for (std::size_t i = 0; i < actions; ++i)
        m.actions[i] = {static_cast<std::uint32_t>(30 * i), 0x02A,
                        static_cast<std::uint16_t>(i % 2)};
    return m;
}

TEST(ProfileStore, Folder_isDocumentsPlusUserFolderAndIsCreatedOnDemand) {
    TempFolder home;
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home.Path() + "/.config").c_str(), 1);
    const ProfileStore store;
    EXPECT_EQ(store.Folder(), home.Path() + "/Documents/Keyweave_35B");
    EXPECT_EQ(store.SnapshotPath(2), home.Path() + "/Documents/Keyweave_35B/$Profile2");
    EXPECT_TRUE(std::filesystem::is_directory(store.Folder()));
    EXPECT_EQ(store.SnapshotPath(3), "");
    ::setenv("HOME", oldHome.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(ProfileStore, SaveSnapshot_writesOnlyAnExistingSnapshot) {
    TempFolder dir;
    const ProfileStore store(dir.Path());
    ConfigContext live;
    InstallDefaultImage(live);
    EXPECT_EQ(SaveSnapshot(live, store, 1, true), 0);
    EXPECT_FALSE(std::filesystem::exists(store.SnapshotPath(1)));
    WriteBytes(store.SnapshotPath(1), {1});
    EXPECT_EQ(SaveSnapshot(live, store, 1, true), 1);
    EXPECT_EQ(ReadBytes(store.SnapshotPath(1)).size(), sizeof(ConfigImage));
    EXPECT_EQ(SaveSnapshot(live, store, -1, true), 0);
}

TEST(ProfileStore, ReadKeyboardToFile_givesPagesMacrosAndNoPool) {
    TempFolder dir;
    TestKeyboard keyboard;
    keyboard.tables[1][19 * 3] = 5; // A plays macro position 1
    keyboard.tables[1][19 * 3 + 1] = 1;
    keyboard.tables[1][19 * 3 + 2] = 1;
    const MacroList written = {Macro(u"one", 3), Macro(u"two", 4)};
    const std::vector<std::uint8_t> area = EncodeMacroBlock(written, true);
    std::copy(area.begin(), area.end(), keyboard.macroArea.begin());

    ASSERT_EQ(ReadKeyboardToFile(keyboard, dir.File("k.kwv"), kBuiltInFactoryKeyTable, u"Macro"),
              1);
    const std::vector<std::string> reads = {"read table 0", "read table 1", "read table 2",
                                            "read macros 16",
                                            "read macros " + std::to_string(area.size())};
    EXPECT_EQ(keyboard.calls, reads);
    const std::vector<std::uint8_t> file = ReadBytes(dir.File("k.kwv"));
    ASSERT_EQ(file.size(), 32832u + 2 * 16512);
    EXPECT_EQ(CheckProfileBytes(file).result, 1);
    ConfigImage image;
    std::memcpy(&image, file.data(), sizeof image);
    EXPECT_EQ(image.header.poolSize, 0u);
    EXPECT_EQ(image.header.macroCount, 2);
    for (const KeyEntry& e : image.pages[3].entries)
        ASSERT_EQ(e.type | e.extraKeyId | e.payload, 0u);
    const KeyEntry& a = image.pages[1].entries[KeyCodeToIndex(0x01E)];
    EXPECT_EQ(a.type, kKeyPlayMacro);
    EXPECT_EQ(a.payload, 2u); // position 1 = id 2
    EXPECT_EQ(image.pages[2].entries[257].extraKeyId, 0x0302);

    ConfigContext loaded;
    ASSERT_EQ(LoadProfileFile(dir.File("k.kwv"), loaded), 1);
    ASSERT_EQ(loaded.macros.size(), 2u);
    EXPECT_EQ(MacroName(loaded.macros[1]), u"two");
    EXPECT_EQ(loaded.macros[1].id, 2);
    EXPECT_EQ(loaded.macros[1].actionCount, 4);
    EXPECT_EQ(loaded.macros[1].actions[3].delayMs, 90u);
}

TEST(ProfileStore, ReadKeyboardToFile_withoutMacroArea_givesNoMacros) {
    TempFolder dir;
    TestKeyboard keyboard; // a fresh keyboard: the area holds no 0x55AA
    ASSERT_EQ(ReadKeyboardToFile(keyboard, dir.File("k.kwv"), kBuiltInFactoryKeyTable, u"M"), 1);
    EXPECT_EQ(ReadBytes(dir.File("k.kwv")).size(), 32832u);
    EXPECT_EQ(keyboard.calls.back(), "read macros 16");
}

TEST(ProfileStore, ReadKeyboardToFile_lengthBeyondCapacity_isCutToIt) {
    TempFolder dir;
    TestKeyboard keyboard;
    keyboard.capacity = 256;
    const std::vector<std::uint8_t> head = {0xAA, 0x55, 0xFF, 0xFF, 1, 0, 1, 0};
    std::copy(head.begin(), head.end(), keyboard.macroArea.begin());
    EXPECT_EQ(ReadKeyboardToFile(keyboard, dir.File("k.kwv"), kBuiltInFactoryKeyTable, u"M"), 1);
    EXPECT_EQ(keyboard.calls.back(), "read macros 256");
}

TEST(ProfileStore, ReadKeyboardToFile_failures_giveZeroAndKeepTheOldFile) {
    TempFolder dir;
    WriteBytes(dir.File("k.kwv"), {7, 7});
    TestKeyboard keyboard;
    keyboard.active = -1;
    EXPECT_EQ(ReadKeyboardToFile(keyboard, dir.File("k.kwv"), kBuiltInFactoryKeyTable, u"M"), 0);
    keyboard.active = 0;
    keyboard.failReads = true;
    EXPECT_EQ(ReadKeyboardToFile(keyboard, dir.File("k.kwv"), kBuiltInFactoryKeyTable, u"M"), 0);
    EXPECT_EQ(ReadBytes(dir.File("k.kwv")), (std::vector<std::uint8_t>{7, 7}));
}

TEST(ProfileStore, Reload_loadsTheKeyboardOrADefaultImage) {
    TempFolder dir;
    const ProfileStore store(dir.Path());
    TestKeyboard keyboard;
    keyboard.active = 1;
    keyboard.tables[1][8 * 3] = 0; // Esc disabled in profile 1
    ConfigContext live;
    InstallDefaultImage(live);
    live.macros.resize(1);
    bool redrawn = false;
    EXPECT_EQ(ReloadFromKeyboard(live, keyboard, store, kBuiltInFactoryKeyTable, u"M",
                                 [&] { redrawn = true; }),
              1);
    EXPECT_TRUE(redrawn);
    EXPECT_TRUE(std::filesystem::exists(store.SnapshotPath(1)));
    EXPECT_EQ(live.image->pages[1].entries[1].type, kKeyDisabled);
    EXPECT_TRUE(live.macros.empty());

    keyboard.failReads = true;
    live.image->pages[1].entries[1].type = kKeySingleKey;
    const std::vector<std::uint8_t> before = ReadBytes(store.SnapshotPath(1));
    EXPECT_EQ(ReloadFromKeyboard(live, keyboard, store, kBuiltInFactoryKeyTable, u"M"), 0);
    ASSERT_NE(live.image, nullptr);
    EXPECT_EQ(live.image->pages[1].entries[1].type, kKeyDefault);
    EXPECT_EQ(ReadBytes(store.SnapshotPath(1)), before); // the snapshot keeps its contents
}

} // namespace
} // namespace brindle
