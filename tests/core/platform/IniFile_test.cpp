#include "core/platform/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TestFolder.h"
#include "core/platform/Utf.h"
#include "core/skin/CIniFile.h"

namespace brindle {
namespace {

using test::TestFolder;

// One file showing every reading rule; cases below look keys up in it.
constexpr const char kRules[] = "stray=before any section\r\n"
                                "[Main]\r\n"
                                "  Name  =   \"Hello\"   \r\n"
                                "name=second wins never\r\n"
                                "Empty=\r\n"
                                "Quoted=\"\"\r\n"
                                "OneQuote=\"open\r\n"
                                "Inner=a \"b\" c\r\n"
                                "; comment=not a key\r\n"
                                "  ;indented=also a comment\r\n"
                                "no equals sign\r\n"
                                "Eq=a=b\r\n"
                                "Tabbed\t=\tx\t\r\n"
                                "[ Other ]\r\n"
                                "name=other\r\n"
                                "[MAIN]\r\n"
                                "late=in a repeated section\r\n"
                                "[Gr\xC3\x9C\xC3\x9F]\r\n"
                                "K=umlaut section";

TEST(IniDocument, Find_readsAsPrivateProfileFunctions) {
    const IniDocument doc = IniDocument::FromBytes(std::string_view(kRules));
    struct Case {
        const char16_t* section;
        const char16_t* key;
        std::optional<std::u16string> expected;
    };
    const Case cases[] = {
        {u"Main", u"Name", u"Hello"},      // trimmed, quotes removed
        {u"main", u"NAME", u"Hello"},      // case-insensitive, first key wins
        {u"Main", u"Empty", u""},          // present but empty
        {u"Main", u"Quoted", u""},         // "" is an empty value
        {u"Main", u"OneQuote", u"\"open"}, // unmatched quote stays
        {u"Main", u"Inner", u"a \"b\" c"}, // quotes inside stay
        {u"Main", u"; comment", std::nullopt},
        {u"Main", u";indented", std::nullopt},
        {u"Main", u"no equals sign", std::nullopt},
        {u"Main", u"Eq", u"a=b"}, // split at the first '='
        {u"Main", u"Tabbed", u"x"},
        {u"Other", u"name", u"other"},     // section name trimmed
        {u"Main", u"late", std::nullopt},  // only the first [Main] counts
        {u"Main", u"stray", std::nullopt}, // keys before any section belong to none
        {u"Gr\u00fc\u00df", u"k", u"umlaut section"},
        {u"Missing", u"name", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(doc.Find(c.section, c.key), c.expected)
            << Utf16ToUtf8(c.section) << "/" << Utf16ToUtf8(c.key);
}

TEST(IniDocument, ReadString_cutsToBufferAndFallsBackToDefault) {
    const IniDocument doc =
        IniDocument::FromBytes(std::string_view("[S]\nk=abcdef\nemoji=ab\xF0\x9F\x98\x80\n"));
    EXPECT_EQ(doc.ReadString(u"S", u"k", u"dflt", 4), u"abc"); // N characters hold N-1
    EXPECT_EQ(doc.ReadString(u"S", u"k", u"dflt", 1), u"");
    EXPECT_EQ(doc.ReadString(u"S", u"k", u"dflt", 0), u"");
    EXPECT_EQ(doc.ReadString(u"S", u"k", u"dflt", 260), u"abcdef");
    EXPECT_EQ(doc.ReadString(u"S", u"none", u"dflt", 260), u"dflt");
    EXPECT_EQ(doc.ReadString(u"S", u"none", u"dflt", 3), u"df"); // the default is cut too
    EXPECT_EQ(doc.ReadString(u"S", u"none", u" ", 260), u" ");   // a blank default stays
    EXPECT_EQ(doc.ReadString(u"S", u"emoji", u"", 4), u"ab");    // no half surrogate pair
}

TEST(IniDocument, ReadInt_takesLeadingDecimalNumber) {
    const IniDocument doc = IniDocument::FromBytes(
        std::string_view("[S]\na=42\nb=-7x\nc=+3\nd=abc\ne=\nf=\" 12 \"\ng=4294967297\n"));
    struct Case {
        const char16_t* key;
        int expected;
    };
    const Case cases[] = {{u"a", 42}, {u"b", -7}, {u"c", 3}, {u"d", 0},
                          {u"e", 99}, {u"f", 12}, {u"g", 1}, {u"missing", 99}};
    for (const Case& c : cases)
        EXPECT_EQ(doc.ReadInt(u"S", c.key, 99), c.expected) << Utf16ToUtf8(c.key);
}

TEST(IniFile, ReadIniString_encodings_allReadAlike) {
    TestFolder dir;
    dir.Write("plain.ini", "[T]\nk=\xC3\xA9t\xC3\xA9\n");
    dir.Write("bom.ini", "\xEF\xBB\xBF[T]\nk=\xC3\xA9t\xC3\xA9\n");
    const std::u16string wide = u"[T]\r\nk=\u00e9t\u00e9\r\n";
    std::string le = "\xFF\xFE";
    for (char16_t c : wide) {
        le.push_back(static_cast<char>(c & 0xFF));
        le.push_back(static_cast<char>(c >> 8));
    }
    dir.Write("utf16.ini", le);
    for (const char* name : {"plain.ini", "bom.ini", "utf16.ini"})
        EXPECT_EQ(ReadIniString(dir / name, u"t", u"K", u"#", 260), u"\u00e9t\u00e9") << name;
    EXPECT_EQ(ReadIniString(dir / "missing.ini", u"T", u"k", u"#", 260), u"#");
    EXPECT_EQ(ReadIniInt(dir / "missing.ini", u"T", u"k", 5), 5);
}

TEST(IniFile, WriteIniString_keepsEveryOtherLineByteForByte) {
    TestFolder dir;
    const std::string before = "; skin file\r\n"
                               "[A]\r\n"
                               "  Key = old   \r\n"
                               "other=\xFF raw byte\r\n"
                               "\r\n"
                               "[B]\r\n"
                               "x=1"; // no line end at the end of the file
    dir.Write("f.ini", before);
    const std::string path = dir / "f.ini";

    ASSERT_TRUE(WriteIniString(path, u"a", u"KEY", u"new"));
    std::string expected = before;
    expected.replace(expected.find("  Key = old   "), 14, "KEY=new");
    EXPECT_EQ(dir.Read("f.ini"), expected);

    // A new key goes after the section's last line, before the blank line.
    ASSERT_TRUE(WriteIniString(path, u"A", u"added", u"2"));
    expected.insert(expected.find("\r\n[B]"), "added=2\r\n");
    EXPECT_EQ(dir.Read("f.ini"), expected);

    // A new key in the last section ends the unterminated line first.
    ASSERT_TRUE(WriteIniString(path, u"B", u"y", u"2"));
    expected += "\r\ny=2\r\n";
    EXPECT_EQ(dir.Read("f.ini"), expected);

    ASSERT_TRUE(WriteIniString(path, u"C", u"z", u"3"));
    expected += "[C]\r\nz=3\r\n";
    EXPECT_EQ(dir.Read("f.ini"), expected);
    EXPECT_EQ(ReadIniString(path, u"C", u"z", u"", 260), u"3");
}

TEST(IniFile, WriteIniString_newFileAndFolder_createdAsUtf8) {
    TestFolder dir;
    const std::string path = dir / "deep/er/vara.ini";
    ASSERT_TRUE(WriteIniString(path, u"KEYCOLOR", u"DengCheck", u"1"));
    ASSERT_TRUE(WriteIniString(path, u"KEYCOLOR", u"Name", u"\u00e9"));
    EXPECT_EQ(dir.Read("deep/er/vara.ini"), "[KEYCOLOR]\nDengCheck=1\nName=\xC3\xA9\n");
}

TEST(IniFile, WriteIniString_utf16File_staysUtf16) {
    TestFolder dir;
    dir.Write("w.ini", std::string("\xFF\xFE[\0S\0]\0\n\0", 10));
    const std::string path = dir / "w.ini";
    ASSERT_TRUE(WriteIniString(path, u"S", u"k", u"\u4e2d"));
    EXPECT_EQ(dir.Read("w.ini"), std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0\x2D\x4E\n\0", 18));
    EXPECT_EQ(ReadIniString(path, u"S", u"k", u"", 260), u"\u4e2d");

    // A stray last byte is half a character; a line added after it must not come out shifted.
    dir.Write("odd.ini", std::string("\xFF\xFE[\0S\0]\0 ", 9));
    ASSERT_TRUE(WriteIniString(dir / "odd.ini", u"S", u"k", u"v"));
    EXPECT_EQ(ReadIniString(dir / "odd.ini", u"S", u"k", u"", 260), u"v");
}

TEST(IniFile, WriteIniString_unsafeOrUnreadable_refusedAndFileKept) {
    TestFolder dir;
    dir.Write("f.ini", "[S]\nk=v\n");
    const std::string path = dir / "f.ini";
    // A line break would plant further keys in the file.
    EXPECT_FALSE(WriteIniString(path, u"S", u"k", u"x\n[Evil]\nk=1"));
    EXPECT_FALSE(WriteIniString(path, u"S", u"a=b", u"x"));
    EXPECT_FALSE(WriteIniString(path, u"S]", u"k", u"x"));
    EXPECT_FALSE(WriteIniString(path, u"S", u"", u"x"));
    EXPECT_FALSE(WriteIniString(path, u"S", u"[T", u"x"));
    EXPECT_EQ(dir.Read("f.ini"), "[S]\nk=v\n");
    // A folder where the file should be is not replaced.
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_FALSE(WriteIniString(dir / "folder.ini", u"S", u"k", u"v"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
    // A file where a folder should be.
    EXPECT_FALSE(WriteIniString(dir / "f.ini/sub.ini", u"S", u"k", u"v"));
    EXPECT_EQ(dir.Read("f.ini"), "[S]\nk=v\n");
}

TEST(IniFile, WriteIniString_throughSymlink_keepsLinkAndMode) {
    TestFolder dir;
    dir.Write("real.ini", "[S]\nk=v\n");
    chmod((dir / "real.ini").c_str(), 0640);
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(WriteIniString(dir / "link.ini", u"S", u"k", u"w"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(dir.Read("real.ini"), "[S]\nk=w\n");
    struct stat st {};
    ASSERT_EQ(stat((dir / "real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2)
        << "no temporary file left behind";
}

TEST(CIniFile, ReadValue_emptyOrMissingGivesNothingAndLongValuesAreCut) {
    TestFolder dir;
    dir.Write("Main.ini", "[SCREEN]\nMain=bg.jpg\nMask=\nLong=" + std::string(3000, 'x') + "\n");
    const CIniFile ini(dir / "Main.ini");
    EXPECT_EQ(ini.ReadValue(u"SCREEN", u"Main"), u"bg.jpg");
    EXPECT_EQ(ini.ReadValue(u"SCREEN", u"Mask"), std::nullopt);
    EXPECT_EQ(ini.ReadValue(u"SCREEN", u"Missing"), std::nullopt);
    EXPECT_EQ(ini.ReadValue(u"SCREEN", u"Long")->size(), 2047u);
    EXPECT_EQ(CIniFile(dir / "none.ini").ReadValue(u"SCREEN", u"Main"), std::nullopt);

    // A path beyond 259 characters is kept whole rather than shortened to another file.
    const std::string longName = std::string(200, 'd') + "/" + std::string(100, 'f') + ".ini";
    const CIniFile deep(dir / longName);
    ASSERT_TRUE(deep.WriteValue(u"S", u"k", u"v"));
    EXPECT_EQ(deep.ReadValue(u"S", u"k"), u"v");
}

} // namespace
} // namespace brindle
