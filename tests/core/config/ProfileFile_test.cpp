#include "core/config/ProfileFile.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"
#include "core/config/TextPool.h"
#include "core/keys/KeyTables.h"
#include "core/platform/Utf.h"

namespace brindle {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

MacroRecord Macro(std::u16string_view name, std::uint16_t id, std::size_t actions) {
    MacroRecord m{};
    SetMacroName(m, name);
    m.playCount = 3;
    m.id = id;
    m.actionCount = static_cast<std::uint16_t>(actions);
    for (std::size_t i = 0; i < actions; ++i)
        m.actions[i] = {static_cast<std::uint32_t>(10 * i), 0x01E,
                        static_cast<std::uint16_t>(i % 2)};
    return m;
}

// Esc of page 0 launches "ab", F1 of page 1 types "xyz", A of page 0 plays macro 1.
void FillSmall(ConfigContext& c) {
    InstallDefaultImage(c);
    KeyEntry& esc = c.image->pages[0].entries[KeyCodeToIndex(0x001)];
    esc.type = kKeyLaunchProgram;
    c.texts.SetText(KeyStringTable::SlotOf(0, KeyCodeToIndex(0x001)), u"ab");
    KeyEntry& f1 = c.image->pages[1].entries[KeyCodeToIndex(0x03B)];
    f1.type = kKeyTextBlock;
    c.texts.SetText(KeyStringTable::SlotOf(1, KeyCodeToIndex(0x03B)), u"xyz");
    KeyEntry& a = c.image->pages[0].entries[KeyCodeToIndex(0x01E)];
    a.type = kKeyPlayMacro;
    a.payload = 1;
    c.macros.push_back(Macro(u"M", 1, 2));
}

std::vector<std::uint8_t> SmallFile() {
    ConfigContext c;
    FillSmall(c);
    return EncodeProfileFile(c);
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t n) {
    return {b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n)};
}

void FixChecksum(std::vector<std::uint8_t>& b) {
    unsigned sum = 0;
    for (int i = 0; i < 31; ++i)
        sum += b[i];
    b[31] = static_cast<std::uint8_t>(sum);
}

TEST(ProfileFile, SmallFile_hasTheGoldenLayout) {
    const std::vector<std::uint8_t> b = SmallFile();
    ASSERT_EQ(b.size(), 32832u + 16512 + 14);
    // total 0xC0CE = 32832 + 16512 + 14, 1 macro, pool 14
    const std::vector<std::uint8_t> header = {0x46, 0x44, 0x20, 0x00, 0x03, 0x00, 0x01, 0x00,
                                              0xCE, 0xC0, 0x00, 0x00, 0x00, 0x08, 0x01, 0x00,
                                              0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x53};
    EXPECT_EQ(Slice(b, 0, 32), header);
    // Esc (entry 1 of page 0): type 3 at pool offset 0; F1 (entry 0x3B of page 1): type 6 at 6.
    EXPECT_EQ(Slice(b, 64 + 16 * 1, 8), (std::vector<std::uint8_t>{0x03, 0, 0, 0, 0x00, 0, 0, 0}));
    EXPECT_EQ(Slice(b, 64 + 8192 + 16 * 0x3B, 8),
              (std::vector<std::uint8_t>{0x06, 0, 0, 0, 0x06, 0, 0, 0}));
    // The macro record: name "M", play count 3, id 1, 2 actions.
    EXPECT_EQ(Slice(b, 32832, 4), (std::vector<std::uint8_t>{'M', 0, 0, 0}));
    EXPECT_EQ(Slice(b, 32832 + 500, 12),
              (std::vector<std::uint8_t>{3, 0, 0, 0, 0, 0, 1, 0, 2, 0, 0, 0}));
    EXPECT_EQ(
        Slice(b, 32832 + 512, 16),
        (std::vector<std::uint8_t>{0, 0, 0, 0, 0x1E, 0x00, 0, 0, 10, 0, 0, 0, 0x1E, 0x00, 1, 0}));
    EXPECT_EQ(Slice(b, 32832 + 16512, 14),
              (std::vector<std::uint8_t>{'a', 0, 'b', 0, 0, 0, 'x', 0, 'y', 0, 'z', 0, 0, 0}));
}

TEST(ProfileFile, SavedTwiceWithoutChanges_isByteIdentical) {
    TempFolder dir;
    ConfigContext c;
    FillSmall(c);
    ASSERT_TRUE(SaveProfileFile(c, dir.File("one.kwv"), true));
    ASSERT_TRUE(SaveProfileFile(c, dir.File("two.kwv"), true));
    EXPECT_EQ(ReadBytes(dir.File("one.kwv")), ReadBytes(dir.File("two.kwv")));
    // and again after a load of the first
    ConfigContext loaded;
    ASSERT_EQ(LoadProfileFile(dir.File("one.kwv"), loaded), 1);
    ASSERT_TRUE(SaveProfileFile(loaded, dir.File("three.kwv"), false));
    EXPECT_EQ(ReadBytes(dir.File("one.kwv")), ReadBytes(dir.File("three.kwv")));
}

TEST(ProfileFile, TextKeyWithoutText_neverPicksUpAnotherKeysTextOnReload) {
    ConfigContext c;
    FillSmall(c);
    // Tab launches a program but has no text; its stale offset points at Esc's "ab".
    KeyEntry& tab = c.image->pages[0].entries[KeyCodeToIndex(0x00F)];
    tab.type = kKeyLaunchProgram;
    tab.payload = 0;
    const std::vector<std::uint8_t> first = EncodeProfileFile(c);
    ConfigContext loaded;
    ASSERT_TRUE(DecodeProfileFile(first, loaded));
    EXPECT_TRUE(loaded.texts.Text(KeyStringTable::SlotOf(0, KeyCodeToIndex(0x00F))).empty());
    EXPECT_EQ(EncodeProfileFile(loaded), first);
}

TEST(ProfileFile, SaveThenLoad_givesBackImageMacrosAndTexts) {
    TempFolder dir;
    ConfigContext c;
    FillSmall(c);
    c.image->pages[3].entries[5].type = kKeyLaunchProgram; // page 3 travels too
    c.texts.SetText(KeyStringTable::SlotOf(3, 5), u"/usr/bin/\u00e9t\u00e9");
    c.image->pages[2].entries[9].lightFlag = 1;
    c.macros.push_back(Macro(u"second", 7, 2000));
    ASSERT_TRUE(SaveProfileFile(c, dir.File("p.kwv"), true));
    ASSERT_EQ(ValidateProfileFile(dir.File("p.kwv")), 1);

    ConfigContext loaded;
    ASSERT_EQ(LoadProfileFile(dir.File("p.kwv"), loaded), 1);
    EXPECT_EQ(std::memcmp(loaded.image.get(), c.image.get(), sizeof(ConfigImage)), 0);
    ASSERT_EQ(loaded.macros.size(), 2u);
    EXPECT_EQ(std::memcmp(loaded.macros.data(), c.macros.data(), 2 * sizeof(MacroRecord)), 0);
    for (std::size_t s = 0; s < kKeyStringSlots; ++s)
        ASSERT_EQ(loaded.texts.Text(s), c.texts.Text(s)) << s;
    EXPECT_EQ(loaded.TotalTextSize(), c.TotalTextSize());
}

TEST(ProfileFile, ImageOnlyFile_validatesAndLoadsWithoutMacrosOrTexts) {
    TempFolder dir;
    const auto image = CreateDefaultImage(0);
    std::vector<std::uint8_t> b(sizeof(ConfigImage));
    std::memcpy(b.data(), image.get(), b.size());
    WriteBytes(dir.File("p.kwv"), b);
    EXPECT_EQ(ValidateProfileFile(dir.File("p.kwv")), 1);
    ConfigContext c;
    c.macros.resize(2);
    ReleaseContents(c);
    ASSERT_EQ(LoadProfileFile(dir.File("p.kwv"), c), 1);
    EXPECT_EQ(std::memcmp(c.image.get(), image.get(), sizeof(ConfigImage)), 0);
    EXPECT_TRUE(c.macros.empty());
    EXPECT_EQ(c.TotalTextSize(), 0u);
}

TEST(ProfileFile, HeaderRules_failInTheirOrderWithTheirRule) {
    struct Case {
        const char* name;
        void (*change)(std::vector<std::uint8_t>&);
        bool fixChecksum;
        std::string rule;
    };
    const Case cases[] = {
        {"magic", [](auto& b) { b[1] = 0x45; }, true, "magic 0x4446"},
        {"header size", [](auto& b) { b[2] = 33; }, true, "header size 32"},
        {"profiles", [](auto& b) { b[4] = 4; }, true, "profile count 3"},
        {"version", [](auto& b) { b[6] = 2; }, true, "format version 1"},
        {"total small", [](auto& b) { b[8] = 0, b[9] = 0, b[10] = 0; }, true,
         "total size at least 32832"},
        {"slots", [](auto& b) { b[12] = 1; }, true, "string slot count 2048"},
        {"macros 101, total matching",
         [](auto& b) {
             b[14] = 101;
             const std::uint32_t total = 32832 + 101 * 16512 + 14;
             std::memcpy(&b[8], &total, 4);
         },
         true, "macro count at most 100"},
        {"flag", [](auto& b) { b[30] = 2; }, true, "flag 0 or 1"},
        {"total mismatch", [](auto& b) { b[16] = 15; }, true,
         "total size = 32832 + macro count x 16512 + pool size"},
        {"pool wrapping the total",
         [](auto& b) {
             // 32832 + 16512 + pool = 2^32 + total: equal only in 32-bit arithmetic
             const std::uint32_t total = 40000, pool = 0xFFFFFFFFu - 9344 + 1;
             std::memcpy(&b[8], &total, 4);
             std::memcpy(&b[16], &pool, 4);
         },
         true, "total size = 32832 + macro count x 16512 + pool size"},
        {"checksum", [](auto& b) { b[31] ^= 0xFF; }, false, "checksum byte 31 = sum of bytes 0-30"},
        {"two faults: the first listed wins",
         [](auto& b) {
             b[6] = 9;
             b[30] = 7;
         },
         true, "format version 1"},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        std::vector<std::uint8_t> b = SmallFile();
        c.change(b);
        if (c.fixChecksum)
            FixChecksum(b);
        WriteBytes(dir.File("p.kwv"), b);
        const ProfileCheck check = CheckProfileFile(dir.File("p.kwv"));
        EXPECT_EQ(check.result, 0) << c.name;
        EXPECT_EQ(check.failedRule, c.rule) << c.name;
        EXPECT_TRUE(check.headerFault) << c.name;
    }
}

TEST(ProfileFile, AnyHeaderByteChangedWithoutItsChecksum_isInvalid) {
    const std::vector<std::uint8_t> valid = SmallFile();
    for (std::size_t i = 0; i < 31; ++i) {
        std::vector<std::uint8_t> b = valid;
        b[i] ^= 0x10;
        EXPECT_EQ(CheckProfileBytes(b).result, 0) << "byte " << i;
    }
    EXPECT_EQ(CheckProfileBytes(valid).result, 1);
}

class CollectMessages : public UserMessages {
public:
    std::vector<std::u16string> shown;
    void ShowInfo(const std::u16string& text) override { shown.push_back(text); }
    bool AskYesNo(const std::u16string&) override { return false; }
};

TEST(ProfileFile, Validate_filesThatAreNotProfiles) {
    TempFolder dir;
    CollectMessages messages;
    EXPECT_EQ(ValidateProfileFile(dir.File("missing.kwv"), &messages), 0);
    EXPECT_EQ(ValidateProfileFile(dir.Path(), &messages), -2); // a folder cannot be read
    std::vector<std::uint8_t> shortFile = SmallFile();
    shortFile.resize(32831);
    WriteBytes(dir.File("short.kwv"), shortFile);
    EXPECT_EQ(ValidateProfileFile(dir.File("short.kwv"), &messages), 0);
    EXPECT_TRUE(messages.shown.empty()); // only a broken header rule is worth a message

    std::vector<std::uint8_t> bad = SmallFile();
    bad[0] = 0;
    WriteBytes(dir.File("bad.kwv"), bad);
    EXPECT_EQ(ValidateProfileFile(dir.File("bad.kwv"), &messages), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0], u"wrong file format, revert to the default values: \n  " +
                                     Utf8ToUtf16(dir.File("bad.kwv")));
}

TEST(ProfileFile, TextOffsetsOutsideThePool_loadAsEmptyTexts) {
    std::vector<std::uint8_t> b = SmallFile(); // pool: "ab\0xyz\0", 14 bytes
    auto entryAt = [&](std::size_t page, std::size_t entry) {
        return 64 + page * 8192 + entry * 16;
    };
    auto setEntry = [&](std::size_t page, std::size_t entry, std::uint16_t type,
                        std::uint32_t payload) {
        std::memcpy(&b[entryAt(page, entry)], &type, 2);
        std::memcpy(&b[entryAt(page, entry) + 4], &payload, 4);
    };
    setEntry(2, 10, kKeyLaunchProgram, 14);      // just past the pool
    setEntry(2, 11, kKeyTextBlock, 0xFFFFFFF0u); // far past it
    setEntry(2, 12, kKeyLaunchProgram, 9);       // odd: rounded down to 8, "yz"
    b.resize(b.size() - 2);                      // the last terminator is missing
    ConfigContext c;
    ASSERT_TRUE(DecodeProfileFile(b, c));
    EXPECT_EQ(c.texts.Text(KeyStringTable::SlotOf(0, 1)), u"ab");
    EXPECT_EQ(c.texts.Text(KeyStringTable::SlotOf(1, 0x3B)), u""); // unterminated in the file
    EXPECT_EQ(c.texts.Text(KeyStringTable::SlotOf(2, 10)), u"");
    EXPECT_EQ(c.texts.Text(KeyStringTable::SlotOf(2, 11)), u"");
    EXPECT_EQ(c.texts.Text(KeyStringTable::SlotOf(2, 12)), u"");
    EXPECT_EQ(c.TotalTextSize(), 6u);
}

TEST(ProfileFile, ShortFileWithRightHeader_validatesAndLoadsWhatIsThere) {
    TempFolder dir;
    ConfigContext full;
    FillSmall(full);
    full.macros.push_back(Macro(u"two", 2, 5));
    std::vector<std::uint8_t> b = EncodeProfileFile(full);
    b.resize(32832 + 16512 + 100); // the second record is cut short, the pool is gone
    WriteBytes(dir.File("p.kwv"), b);
    EXPECT_EQ(ValidateProfileFile(dir.File("p.kwv")), 1);
    ConfigContext c;
    ASSERT_EQ(LoadProfileFile(dir.File("p.kwv"), c), 1);
    ASSERT_EQ(c.macros.size(), 1u); // whole records only
    EXPECT_EQ(MacroName(c.macros[0]), u"M");
    EXPECT_EQ(c.TotalTextSize(), 0u);
}

TEST(ProfileFile, FailedLoad_leavesADefaultImage) {
    TempFolder dir;
    ConfigContext c;
    FillSmall(c);
    ReleaseContents(c);
    EXPECT_EQ(LoadProfileFile(dir.File("missing.kwv"), c), 0);
    ASSERT_NE(c.image, nullptr);
    const auto fresh = CreateDefaultImage(0);
    EXPECT_EQ(std::memcmp(c.image.get(), fresh.get(), sizeof(ConfigImage)), 0);
    EXPECT_TRUE(c.macros.empty());
}

TEST(ProfileFile, SaveThatCannotWrite_failsAndLeavesTheOldFile) {
    TempFolder dir;
    ConfigContext c;
    FillSmall(c);
    // A folder where the file should be: the rename cannot replace it.
    ::mkdir(dir.File("taken.kwv").c_str(), 0755);
    WriteBytes(dir.File("taken.kwv/inside"), {1, 2, 3});
    EXPECT_FALSE(SaveProfileFile(c, dir.File("taken.kwv"), true));
    EXPECT_EQ(ReadBytes(dir.File("taken.kwv/inside")), (std::vector<std::uint8_t>{1, 2, 3}));
    // A file where the folder should be.
    WriteBytes(dir.File("plain"), {9});
    EXPECT_FALSE(SaveProfileFile(c, dir.File("plain/p.kwv"), true));
    EXPECT_EQ(ReadBytes(dir.File("plain")), (std::vector<std::uint8_t>{9}));
}

TEST(ProfileFile, KilledInTheMiddleOfSaves_leavesTheOldOrTheNewFileWhole) {
    TempFolder dir;
    const std::string path = dir.File("$Profile0");
    ConfigContext small, large;
    FillSmall(small);
    FillSmall(large);
    for (std::uint16_t id = 2; id <= 100; ++id)
        large.macros.push_back(Macro(u"big", id, 2000));
    const std::vector<std::uint8_t> smallBytes = EncodeProfileFile(small);
    const std::vector<std::uint8_t> largeBytes = EncodeProfileFile(large);
    ASSERT_TRUE(WriteProfileBytes(path, smallBytes));

    for (int round = 0; round < 5; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            for (int i = 0;; ++i) {
                SaveProfileFile(i % 2 ? small : large, path, true);
                if (i == 2) // a few saves done: let the parent pick its moment
                    (void)!::write(ready[1], "x", 1);
            }
        }
        ::close(ready[1]);
        char x;
        ASSERT_EQ(::read(ready[0], &x, 1), 1);
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>(1000 * round)); // somewhere inside a save
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const std::vector<std::uint8_t> now = ReadBytes(path);
        EXPECT_TRUE(now == smallBytes || now == largeBytes)
            << "round " << round << ": " << now.size() << " bytes";
        EXPECT_EQ(ValidateProfileFile(path), 1);
    }
}

} // namespace
} // namespace brindle
