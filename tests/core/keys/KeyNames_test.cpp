#include "core/keys/KeyTables.h"
#include "core/platform/IniFile.h"
#include "core/platform/Utf.h"

#include <gtest/gtest.h>

#include <map>

namespace brindle {
namespace {

// A language with a few texts; every other key gives "#Error" as a missing language key does.
TextLookup Language(std::map<std::u16string, std::u16string> texts) {
    return [texts = std::move(texts)](std::u16string_view key) {
        const auto it = texts.find(std::u16string(key));
        return it == texts.end() ? std::u16string(u"#Error") : it->second;
    };
}

const std::map<std::u16string, std::u16string> kEnglish = {
    {u"IDS_KEYBOARD_A", u"A"},
    {u"IDS_KEYBOARD_BS", u"Backspace"},
    {u"IDS_KEYBOARD_CAPS", u"Caps Lock"},
    {u"IDS_KEYBOARD_RSHIFT", u"Right Shift"},
    {u"IDS_KEYBOARD_SYSREQ", u""},
    {u"UNKNOWN_KEY", u"Unknown Key: %03x"},
};

TEST(KeyNameByCode, NamesAndFallbacks) {
    auto withUnknown = [](std::u16string text) {
        auto texts = kEnglish;
        texts[u"UNKNOWN_KEY"] = std::move(text);
        return Language(texts);
    };
    struct Case {
        const char* what;
        KeyCode code;
        TextLookup lookup;
        std::u16string expected;
    };
    const Case cases[] = {
        {"localized name", 0x01E, Language(kEnglish), u"A"},
        {"both Right Shifts", 0x136, Language(kEnglish), u"Right Shift"},
        {"F13 has no string key", 0x064, Language(kEnglish), u"Unknown Key: 064"},
        {"empty text", 0x054, Language(kEnglish), u"Unknown Key: 054"},
        {"no key at the code", 0x000, Language(kEnglish), u"Unknown Key: 000"},
        {"code sharing Up's index", 0x0C8, Language(kEnglish), u"Unknown Key: 0c8"},
        {"code above three digits", 0x1234, Language(kEnglish), u"Unknown Key: 1234"},
        {"missing name stays visible", 0x030, Language(kEnglish), u"#Error"},
        {"translated fallback", 0x064, withUnknown(u"Touche inconnue (%03X) %%"),
         u"Touche inconnue (064) %"},
        {"fallback missing", 0x064, Language({}), u"Unknown Key: 064"},
        {"fallback empty", 0x064, withUnknown(u""), u"Unknown Key: 064"},
        {"fallback without a hex field", 0x064, withUnknown(u"Unknown %s%n"), u"Unknown Key: 064"},
        {"no language: English labels", 0x148, TextLookup{}, u"\u2191"},
        {"no language: built-in fallback", 0x064, TextLookup{}, u"Unknown Key: 064"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyNameByCode(c.code, c.lookup), c.expected) << c.what;
}

TEST(KeyNameByCode, BufferIsCutAndTerminated) {
    const TextLookup english = Language(kEnglish);
    char16_t buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), u'#');

    EXPECT_EQ(KeyNameByCode(0x00E, buffer, 0, english), 0u);
    EXPECT_EQ(buffer[0], u'#'); // capacity 0: nothing written
    EXPECT_EQ(KeyNameByCode(0x00E, buffer, 1, english), 0u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(KeyNameByCode(0x00E, buffer, 4, english), 3u);
    EXPECT_EQ(std::u16string(buffer), u"Bac");
    EXPECT_EQ(buffer[4], u'#');
    EXPECT_EQ(KeyNameByCode(0x00E, buffer, 10, english), 9u);
    EXPECT_EQ(std::u16string(buffer), u"Backspace");
    EXPECT_EQ(KeyNameByCode(0x064, buffer, 16, english), 15u);
    EXPECT_EQ(std::u16string(buffer), u"Unknown Key: 06");
    EXPECT_EQ(KeyNameByCode(0x01E, nullptr, 16, english), 0u);
}

TEST(KeyNameByNumber, NameOfTheFirstKeyWithoutFallback) {
    const TextLookup english = Language(kEnglish);
    EXPECT_EQ(KeyNameByNumber(0x0000, english), u"A");
    EXPECT_EQ(KeyNameByNumber(0x0067, english), u"Right Shift");
    EXPECT_EQ(KeyNameByNumber(0x006A, english), u""); // no key has it
    EXPECT_EQ(KeyNameByNumber(0x8030, english), u""); // F13: no string key
    EXPECT_EQ(KeyNameByNumber(kNoKeyNumber, english), u"");
    EXPECT_EQ(KeyNameByNumber(0x0026, TextLookup{}), u"Backspace");
}

TEST(FindKeyByName, LocalizedNamesFirstThenLabels) {
    auto texts = kEnglish;
    texts[u"IDS_KEYBOARD_CAPS"] = u" Verr. Maj ";
    texts[u"IDS_KEYBOARD_Z"] = u"Y"; // a language where another key carries the label "Y"
    texts[u"IDS_KEYBOARD_W_HOME"] = u"Accueil Web";
    const TextLookup french = Language(texts);
    struct Case {
        std::u16string name;
        std::optional<KeyCode> expected;
    };
    const Case cases[] = {
        {u"a", 0x01E},           {u"verr. maj", 0x03A},
        {u"CAPS LOCK", 0x03A}, // the English label still works
        {u"Right Shift", 0x036}, {u"right shift", 0x036},
        {u"Y", 0x02C},           {u"ACCUEIL WEB", 0x132},
        {u"  Tab\t", 0x00F},     {u"num 7", 0x047},
        {u"\u2190", 0x14B},      {u"", std::nullopt},
        {u"   ", std::nullopt},  {u"#Error", std::nullopt},
        {u"F14", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto found = FindKeyByName(c.name, french);
        EXPECT_EQ(found, c.expected) << Utf16ToUtf8(c.name);
    }
    EXPECT_EQ(FindKeyByName(u"f13", TextLookup{}), std::optional<KeyCode>(0x064));
}

// The English language file shipped with the program: every key has a name, and the names are
// distinct, so a name typed by the user finds its key.
TEST(KeyNames, EnglishFileNamesEveryKeyUniquely) {
    const std::string file = std::string(BRINDLE_SOURCE_DIR) + "/data/program/Lang0409.ini";
    const TextLookup english = [&file](std::u16string_view key) {
        return ReadIniString(file, u"TEXT", key, u"#Error", 260);
    };
    ASSERT_NE(english(kUnknownKeyTextKey), u"#Error");
    for (unsigned i = 0; i < kKeyIndexCount; ++i) {
        const KeyCode code = KeyIndexToCode(static_cast<KeyIndex>(i));
        const KeyInfo* info = FindKeyInfo(code);
        if (info == nullptr || info->stringKey.empty())
            continue;
        const std::u16string name = KeyNameByCode(code, english);
        EXPECT_NE(name, u"#Error") << Utf16ToUtf8(info->stringKey);
        EXPECT_EQ(FindKeyByName(name, english), code == 0x136 ? 0x036 : code) << Utf16ToUtf8(name);
    }
    EXPECT_EQ(KeyNameByCode(0x064, english), u"Unknown Key: 064");
}

} // namespace
} // namespace brindle
