#include "core/lang/Language.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "../platform/TestFolder.h"
#include "core/lang/LanguageTables.h"
#include "core/platform/IniFile.h"
#include "core/platform/Utf.h"

namespace brindle {
namespace {

using test::TestFolder;

// A program folder with a key store; each test sets the system language it needs.
class LanguageTest : public ::testing::Test {
protected:
    Language Make(uint16_t systemLanguage) {
        return Language(dir.Path() + "/", settings, [systemLanguage] { return systemLanguage; });
    }
    TestFolder dir;
    TestFolder config;
    KeyStore settings{kSettingsKeyPath, config.Path()};
};

TEST_F(LanguageTest, FirstRun_substitutesSystemLanguageAndStoresIt) {
    struct Case {
        uint16_t system;
        uint32_t stored;
        int index;
    };
    const Case cases[] = {
        {0x0809, 0x0409, 5}, // English (UK) -> English (US)
        {0x0C0A, 0x041F, 0}, // Spanish, modern sort -> 0x040A, unsupported -> Turkish
        {0x0C04, 0x041F, 0}, // Chinese (Hong Kong) -> Turkish, as the table says
        {0x1004, 0x0404, 8}, // Chinese (Singapore) -> Chinese (Traditional)
        {0x0C0C, 0x040C, 1}, // French (Canada)
        {0x0816, 0x0416, 3}, // Portuguese (Portugal) -> Brazil
        {0x0813, 0x0413, 4}, // Dutch (Belgium)
        {0x0412, 0x0412, 7}, // supported as it is
        {0x0407, 0x041F, 0}, // German: not shipped
        {0x0000, 0x041F, 0}, // no language is not stored as "not chosen yet"
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(settings.WriteDword(u"dwLanguageId", 0));
        Language language = Make(c.system);
        EXPECT_EQ(language.GetLanguageIndex(), c.index) << std::hex << c.system;
        EXPECT_EQ(settings.ReadDword(u"dwLanguageId"), c.stored) << std::hex << c.system;
    }
    EXPECT_EQ(Make(0x0C0A).LanguageFileName(0), dir.Path() + "/Lang041F.ini");
}

TEST_F(LanguageTest, StoredChoice_winsAndIsNeverRewritten) {
    ASSERT_TRUE(settings.WriteDword(u"dwLanguageId", 0x0412));
    Language language = Make(0x0809);
    EXPECT_EQ(language.GetLanguageId(), 0x0412u);
    EXPECT_EQ(language.GetLanguageIndex(), 7);

    // An unsupported stored identifier is used unchanged and gives index 0.
    ASSERT_TRUE(settings.WriteDword(u"dwLanguageId", 0x0407));
    EXPECT_EQ(language.GetLanguageId(), 0x0407u);
    EXPECT_EQ(language.GetLanguageIndex(), 0);
    EXPECT_EQ(settings.ReadDword(u"dwLanguageId"), 0x0407u);
}

TEST_F(LanguageTest, NoSettingsKey_choosesEveryTimeWithoutStoring) {
    test::TestFolder blocked;
    blocked.Write("Brindle", "not a folder");
    KeyStore none(kSettingsKeyPath, blocked.Path());
    Language language(dir.Path(), none, [] { return uint16_t{0x0809}; });
    EXPECT_EQ(language.GetLanguageIndex(), 5);
    EXPECT_EQ(language.LanguageFileName(5), dir.Path() + "/Lang0409.ini");
}

TEST_F(LanguageTest, LookUpText_readsTheFileOfTheIndexEveryTime) {
    dir.Write("Lang0409.ini", "[TEXT]\nHELLO=  \"Hello\"  \nEMPTY=\nLONG=" + std::string(300, 'x') +
                                  "\n[Mode]\n1=Wave\n");
    dir.Write("Lang041F.ini", "[TEXT]\nHELLO=Merhaba\n");
    const Language language = Make(0x0409);
    EXPECT_EQ(language.LookUpText(u"HELLO", 5), u"Hello");
    EXPECT_EQ(language.LookUpText(u"hello", 5), u"Hello");
    EXPECT_EQ(language.LookUpText(u"MISSING", 5), u"#Error");
    EXPECT_EQ(language.LookUpText(u"EMPTY", 5), u"");
    EXPECT_EQ(language.LookUpText(u"LONG", 5).size(), 259u);
    EXPECT_EQ(language.LookUpText(u"HELLO", 6), u"#Error");   // no Indonesian file
    EXPECT_EQ(language.LookUpText(u"HELLO", 9), u"#Error");   // Lang0000.ini
    EXPECT_EQ(language.LookUpText(u"HELLO", 12), u"Merhaba"); // above 9 counts as 0
    EXPECT_EQ(language.LookUpText(u"HELLO", -1), u"Merhaba");
    EXPECT_EQ(language.LookUpModeName(1, 5), u"Wave");
    EXPECT_EQ(language.Lookup(5)(u"HELLO"), u"Hello");

    // Nothing is cached: a changed file shows at once.
    dir.Write("Lang0409.ini", "[TEXT]\nHELLO=Hi\n");
    EXPECT_EQ(language.LookUpText(u"HELLO", 5), u"Hi");
}

TEST_F(LanguageTest, SkinLanguage_choosesTheTooltipSection) {
    const Language language = Make(0x0409);
    EXPECT_EQ(language.ReadSkinLanguage(), 0); // no file
    const SkinLanguageTexts none = language.ReadSkinLanguageTexts();
    EXPECT_EQ(none.minimizePrompt, u" ");
    EXPECT_EQ(none.menuPrompt, u" ");
    EXPECT_EQ(none.closePrompt, u" ");

    const std::string sections =
        "[ENGINSH]\nMAIN_MINIMIZE_PROMPT=Minimize\n"
        "MAIN_MENU_PROMPT=Menu\nMAIN_CLOSE_PROMPT=Close\n"
        "[CHINESE]\nMAIN_MINIMIZE_PROMPT=\xE6\x9C\x80\xE5\xB0\x8F\xE5\x8C\x96\n";
    struct Case {
        const char* value;
        int number;
        std::u16string minimize;
        std::u16string menu;
    };
    const Case cases[] = {{"1", 1, u"Minimize", u"Menu"},
                          {"2", 2, u"\u6700\u5c0f\u5316", u" "},
                          {"", 0, u"\u6700\u5c0f\u5316", u" "},
                          {" 1x", 1, u"Minimize", u"Menu"}};
    for (const Case& c : cases) {
        dir.Write("Skins/language.ini",
                  std::string("[LANGUAGE]\nlanguage=") + c.value + "\n" + sections);
        EXPECT_EQ(language.ReadSkinLanguage(), c.number) << c.value;
        const SkinLanguageTexts texts = language.ReadSkinLanguageTexts();
        EXPECT_EQ(texts.minimizePrompt, c.minimize) << c.value;
        EXPECT_EQ(texts.menuPrompt, c.menu) << c.value;
    }
}

// The shipped English file: every string key the windows look up, short enough for the lookup
// buffer, and a name for every lighting effect.
TEST(LanguageFiles, English_holdsEveryStringKeyAndModeName) {
    const std::string file = std::string(BRINDLE_SOURCE_DIR) + "/data/program/Lang0409.ini";
    const auto doc = IniDocument::LoadFile(file);
    ASSERT_TRUE(doc) << file;
    const char16_t* const keys[] = {u"IDS_ABOUT_TITLE",
                                    u"IDS_ABOUT_VERSION",
                                    u"IDS_ABOUT_COPYRIGHT",
                                    u"IDS_ABOUT_OK",
                                    u"IDS_BUTTON_MENU_ABOUT",
                                    u"IDS_BUTTON_MENU_EXPORT",
                                    u"IDS_BUTTON_MENU_HIDE",
                                    u"IDS_BUTTON_MENU_IMPORT",
                                    u"IDS_COMPOSITE_CANCEL",
                                    u"IDS_COMPOSITE_FUNC_KEY_COPY",
                                    u"IDS_COMPOSITE_FUNC_KEY_CUT",
                                    u"IDS_COMPOSITE_FUNC_KEY_FIND",
                                    u"IDS_COMPOSITE_FUNC_KEY_NEW",
                                    u"IDS_COMPOSITE_FUNC_KEY_OPEN",
                                    u"IDS_COMPOSITE_FUNC_KEY_PASTE",
                                    u"IDS_COMPOSITE_FUNC_KEY_SAVE",
                                    u"IDS_COMPOSITE_FUNC_KEY_SELECT_ALL",
                                    u"IDS_COMPOSITE_FUNC_KEY_UNDO",
                                    u"IDS_COMPOSITE_FUNC_KEY_ZOOMIN",
                                    u"IDS_COMPOSITE_FUNC_KEY_ZOOMOUT",
                                    u"IDS_COMPOSITE_MACRO_ACTION_CLEAR",
                                    u"IDS_COMPOSITE_MACRO_ACTION_DELETE",
                                    u"IDS_COMPOSITE_MACRO_ACTION_DOWN",
                                    u"IDS_COMPOSITE_MACRO_ACTION_DOWNBOTTOM",
                                    u"IDS_COMPOSITE_MACRO_ACTION_RECORD",
                                    u"IDS_COMPOSITE_MACRO_ACTION_UP",
                                    u"IDS_COMPOSITE_MACRO_ACTION_UPTOP",
                                    u"IDS_COMPOSITE_OK",
                                    u"IDS_COMPOSITE_SELECT_FUNCTION",
                                    u"IDS_COMPOSITE_SELECT_KEY",
                                    u"IDS_COMPOSITE_SELECT_MACRO",
                                    u"IDS_COMPOSITE_SELECT_MEDIA",
                                    u"IDS_DEFAULT_PROFILE_NAME",
                                    u"IDS_FUNCTION_EDIT",
                                    u"IDS_KEYBOARD_EDIT_TISHI",
                                    u"IDS_KEYBOARD_FUNC_COLOR",
                                    u"IDS_KEYBOARD_FUNC_COLOURFUL",
                                    u"IDS_KEYBOARD_FUNC_DENG",
                                    u"IDS_KEYBOARD_FUNC_FX",
                                    u"IDS_KEYBOARD_FUNC_JCOLOR",
                                    u"IDS_KEYBOARD_FUNC_SPEED",
                                    u"IDS_KEYBOARD_FUNC_TEXTLIGHT",
                                    u"IDS_KEYBOARD_FUNC_TOOL",
                                    u"IDS_KEYBOARD_FUNC_USB",
                                    u"IDS_KEYBOARD_KEY_SETTING",
                                    u"IDS_KEYBOARD_KEY_SINGLE",
                                    u"IDS_KEYBOARD_MARCO_RESET",
                                    u"IDS_KEYBOARD_TRAY_DESC",
                                    u"IDS_KEY_APPLY_PROMPT",
                                    u"IDS_KEY_DELAY",
                                    u"IDS_KEY_MACRO_DELETE_CONFIRM_OF_KEYS",
                                    u"IDS_KEY_PRESS",
                                    u"IDS_KEY_PROMPT",
                                    u"IDS_KEY_PROMPT_FUNCTION",
                                    u"IDS_KEY_PROMPT_MACRO",
                                    u"IDS_KEY_PROMPT_MEDIA",
                                    u"IDS_KEY_PROMPT_SET",
                                    u"IDS_KEY_PROMPT_SINGLE",
                                    u"IDS_MACRO_ACTION_CLEAR_CONFIRM",
                                    u"IDS_MACRO_ACTION_ERR_DELAY_MAX",
                                    u"IDS_MACRO_ACTION_ERR_DELAY_MIN",
                                    u"IDS_MACRO_ACTION_ERR_MODIFY",
                                    u"IDS_MACRO_ACTION_RECORD",
                                    u"IDS_MACRO_ACTION_RECORD_DELAY",
                                    u"IDS_MACRO_ACTION_STOP_RECORD",
                                    u"IDS_MACRO_CYCLES",
                                    u"IDS_MACRO_DEFAULT_NAME",
                                    u"IDS_MACRO_ERR_MAX",
                                    u"IDS_MACRO_ERR_NAME_SYSTEM",
                                    u"IDS_MACRO_ERR_RECORD",
                                    u"IDS_MACRO_ERR_SAME",
                                    u"IDS_MACRO_KB_KEY",
                                    u"IDS_MACRO_MACRO_ACTION_COLUME_ACTION",
                                    u"IDS_MACRO_MACRO_ACTION_COLUME_DELAY",
                                    u"IDS_MACRO_MACRO_ACTION_COLUME_KEYS",
                                    u"IDS_MACRO_MOU_KEY",
                                    u"IDS_MACRO_NAME",
                                    u"IDS_MACRO_NEW_PREFIX",
                                    u"IDS_MACRO_OVER",
                                    u"IDS_MACRO_RECORD_DELAY",
                                    u"IDS_MAIN_APPLY_PROMPT",
                                    u"IDS_MAIN_Apply",
                                    u"IDS_MAIN_CAPTION",
                                    u"IDS_MAIN_CLOSE_PROMPT",
                                    u"IDS_MAIN_Cancel",
                                    u"IDS_MAIN_DEFAULT",
                                    u"IDS_MAIN_HELP_PROMPT",
                                    u"IDS_MAIN_MACRO",
                                    u"IDS_MAIN_MENU_PROMPT",
                                    u"IDS_MAIN_MINIMIZE_PROMPT",
                                    u"IDS_MAIN_OK",
                                    u"IDS_MAIN_PROFILE1",
                                    u"IDS_MAIN_PROFILE2",
                                    u"IDS_MAIN_PROFILE3",
                                    u"IDS_MAIN_PROMPT_DEFAULT",
                                    u"IDS_MAIN_PROMPT_DRIVER_TEXT",
                                    u"IDS_MAIN_PROMPT_DRIVER_TITLE",
                                    u"IDS_MAIN_PROMPT_INPORT",
                                    u"IDS_MEDIA_EDIT",
                                    u"IDS_MIAN_DEFAULT_PROMPT",
                                    u"IDS_MOUSE_LEFT",
                                    u"IDS_MOUSE_MID",
                                    u"IDS_MOUSE_RIGHT",
                                    u"IDS_POP_UP_MENU_ABOUT",
                                    u"IDS_POP_UP_MENU_EXIT",
                                    u"IDS_POP_UP_MENU_OPEN",
                                    u"IDS_POP_UP_MENU_STOP",
                                    u"IDS_PROFILE_SELECT_PROMPT",
                                    u"IDS_ROLL_DOWN",
                                    u"IDS_ROLL_UP",
                                    u"EXTRA_PROFILE_SPACE_TIGHT",
                                    u"UNKNOWN_KEY"};
    for (const char16_t* key : keys) {
        const auto text = doc->Find(u"TEXT", key);
        ASSERT_TRUE(text.has_value()) << Utf16ToUtf8(key);
        EXPECT_FALSE(text->empty()) << Utf16ToUtf8(key);
        EXPECT_LT(text->size(), 260u) << Utf16ToUtf8(key);
    }
    // Blanks that are part of a text survive the reader's trimming.
    EXPECT_EQ(doc->Find(u"TEXT", u"IDS_MACRO_NEW_PREFIX"), u"Macro ");
    for (int mode = 1; mode <= 20; ++mode)
        EXPECT_TRUE(doc->Find(u"Mode", Utf8ToUtf16(std::to_string(mode)))) << mode;
}

// brindlectl as a user runs it, with a fresh configuration folder.
struct CtlResult {
    int exitCode;
    std::string output;
};

CtlResult RunCtl(const std::string& environment, const std::string& args) {
    const std::string command = "env -u LC_ALL -u LC_MESSAGES " + environment + " '" +
                                BRINDLE_BIN_DIR + "/brindlectl' " + args + " 2>&1";
    CtlResult result{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        result.output += buffer.data();
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TEST(BrindleCtl, Language_firstRunStoresChoiceAndStoredChoiceStays) {
    TestFolder config;
    const std::string env = "XDG_CONFIG_HOME='" + config.Path() + "' LANG=en_GB.UTF-8";
    const CtlResult first = RunCtl(env, "language");
    EXPECT_EQ(first.exitCode, 0) << first.output;
    EXPECT_EQ(first.output, std::string("identifier 0x0409\nindex      5\nfile       ") +
                                BRINDLE_BIN_DIR + "/Lang0409.ini\n");
    KeyStore settings(kSettingsKeyPath, config.Path());
    EXPECT_EQ(settings.ReadDword(u"dwLanguageId"), 0x0409u);

    ASSERT_TRUE(settings.WriteDword(u"dwLanguageId", 0x0412));
    const CtlResult stored = RunCtl(env, "language");
    EXPECT_NE(stored.output.find("identifier 0x0412\nindex      7\n"), std::string::npos)
        << stored.output;
    EXPECT_EQ(settings.ReadDword(u"dwLanguageId"), 0x0412u);
}

TEST(BrindleCtl, Text_looksUpInCurrentOrGivenLanguage) {
    TestFolder config;
    const std::string env = "XDG_CONFIG_HOME='" + config.Path() + "' LANG=C";
    EXPECT_EQ(RunCtl(env, "text IDS_MAIN_OK").output, "OK\n");
    EXPECT_EQ(RunCtl(env, "text IDS_MACRO_NEW_PREFIX --lang 5").output, "Macro \n");
    EXPECT_EQ(RunCtl(env, "text NO_SUCH_KEY").output, "#Error\n");
    EXPECT_EQ(RunCtl(env, "text IDS_MAIN_OK --lang=9").output, "#Error\n");

    const char* const bad[] = {
        "text",     "text IDS_MAIN_OK --lang", "text IDS_MAIN_OK --lang five",
        "text A B", "text A --colour",         "language now"};
    for (const char* args : bad) {
        const CtlResult r = RunCtl(env, args);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(r.output.rfind("brindlectl: ", 0), 0u) << args << ": " << r.output;
        EXPECT_NE(r.output.find("usage: "), std::string::npos) << args;
    }
}

} // namespace
} // namespace brindle
