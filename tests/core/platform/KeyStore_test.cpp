#include "core/platform/KeyStore.h"

#include <gtest/gtest.h>

#include "TestFolder.h"

namespace brindle {
namespace {

using test::TestFolder;

TEST(KeyStore, FileForKeyPath_mapsKeyPathsUnderTheConfigFolder) {
    struct Case {
        const char* keyPath;
        std::string expected;
    };
    const Case cases[] = {
        {"HKEY_CURRENT_USER\\Software\\QX5570", "/c/Brindle/registry/Software/QX5570.ini"},
        {"hkcu\\Software\\Keyweave_Orvane\\Brindle\\PROFILES",
         "/c/Brindle/registry/Software/Keyweave_Orvane/Brindle/PROFILES.ini"},
        {"HKEY_LOCAL_MACHINE\\Software\\QX5570", ""},
        {"HKEY_CURRENT_USER\\", ""},
        {"HKEY_CURRENT_USER\\Software\\..\\..\\etc", ""},
        {"HKEY_CURRENT_USER\\Software\\\\QX5570", ""},
        {"HKEY_CURRENT_USER\\Software/../x", ""}, // '/' inside a part
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyStore::FileForKeyPath(c.keyPath, "/c"), c.expected) << c.keyPath;
}

TEST(KeyStore, Open_createsTheKeyAndValuesPersistByType) {
    TestFolder dir;
    {
        KeyStore key("HKEY_CURRENT_USER\\Software\\QX5570", dir.Path());
        ASSERT_TRUE(key.HoldsKey());
        EXPECT_TRUE(std::filesystem::exists(dir / "Brindle/registry/Software/QX5570.ini"));
        EXPECT_EQ(key.ReadDword(u"dwLanguageId"), std::nullopt);
        EXPECT_TRUE(key.WriteDword(u"dwLanguageId", 0x0409));
        EXPECT_TRUE(key.WriteString(u"Flip", u"  1 "));
        EXPECT_TRUE(key.WriteString(u"Fake", u"dword:00000001"));
        EXPECT_FALSE(key.WriteString(u"Bad", u"two\nlines"));
    }
    KeyStore again("HKEY_CURRENT_USER\\Software\\QX5570", dir.Path());
    EXPECT_EQ(again.ReadDword(u"DWLANGUAGEID"), 0x0409u);
    EXPECT_EQ(again.ReadString(u"flip"), u"  1 ");
    // A value read as the other type gives nothing, as the registry does.
    EXPECT_EQ(again.ReadString(u"dwLanguageId"), std::nullopt);
    EXPECT_EQ(again.ReadDword(u"Flip"), std::nullopt);
    EXPECT_EQ(again.ReadDword(u"Fake"), std::nullopt);
    EXPECT_EQ(again.ReadString(u"Fake"), u"dword:00000001");
    EXPECT_EQ(again.ReadString(u"Bad"), std::nullopt);
    EXPECT_EQ(dir.Read("Brindle/registry/Software/QX5570.ini"),
              "[Values]\ndwLanguageId=dword:00000409\nFlip=\"  1 \"\n"
              "Fake=\"dword:00000001\"\n");
}

TEST(KeyStore, HandEditedValues_readLeniently) {
    TestFolder dir;
    dir.Write("Brindle/registry/Software/QX5570.ini",
              "[values]\nA=DWORD:0000041f\nB=plain text\nC=dword:123456789\nD=dword:xyz\n");
    KeyStore key("HKCU\\Software\\QX5570", dir.Path());
    EXPECT_EQ(key.ReadDword(u"A"), 0x041Fu);
    EXPECT_EQ(key.ReadString(u"B"), u"plain text");
    EXPECT_EQ(key.ReadDword(u"C"), std::nullopt); // more than 32 bits
    EXPECT_EQ(key.ReadDword(u"D"), std::nullopt);
}

TEST(KeyStore, CannotCreate_holdsNoKeyAndStaysSilent) {
    TestFolder dir;
    dir.Write("Brindle", "a file where the folder belongs");
    KeyStore key("HKEY_CURRENT_USER\\Software\\QX5570", dir.Path());
    EXPECT_FALSE(key.HoldsKey());
    EXPECT_FALSE(key.WriteDword(u"dwLanguageId", 1));
    EXPECT_EQ(key.ReadDword(u"dwLanguageId"), std::nullopt);
    EXPECT_EQ(key.ReadString(u"x"), std::nullopt);

    KeyStore other("HKEY_CLASSES_ROOT\\x", dir.Path());
    EXPECT_FALSE(other.HoldsKey());
}

} // namespace
} // namespace brindle
