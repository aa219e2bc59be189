// The card's settings through the catalogue: where the file lies, loading a chosen file, single
// keys and saving by model.
#include "viewer/catalogue/cardsettings.h"
#include "viewer/catalogue/datadirstruct.h"

#include "cataloguetestsupport.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

namespace {

TEST(CardSettingsTest, PathAndNameByModel) {
    struct Case {
        int model;
        const wchar_t* path;
        const wchar_t* name;
    };
    const Case cases[] = {{-1, L"/Parameter/config.txt", L"???"}, {0, L"/Parameter/config.txt", L"T550"},
                          {1, L"/Parameter/config.txt", L"T310"}, {2, L"/Parameter/config.txt", L"T330"},
                          {3, L"/config.txt", L"R310/R330"},      {4, L"/config.txt", L"???"}};
    for (const Case& c : cases) {
        ModelIndexScope model(c.model);
        EXPECT_EQ(GetConfigFilePath(), c.path) << c.model;
        EXPECT_EQ(GetModelName(c.model), c.name) << c.model;
    }
}

class CatalogueSettingsTest : public testing::Test {
  protected:
    void SetUp() override { LoadStringLibrary(); }

    std::wstring Write(const std::string& name, const std::string& bytes) {
        WriteBytes(m_folder / name, bytes);
        return m_folder.Wide(name);
    }

    TestFolder m_folder;
    FakeWindowSystem m_windows;
    DataDirStruct m_catalogue;
};

TEST_F(CatalogueSettingsTest, FileWithoutKeysIsRefusedWithAMessageAndChangesNothing) {
    struct Case {
        const char* what;
        int model;
        const wchar_t* modelName;
        const char* name;
        const char* bytes;     // null: no such file
        bool checksumQuestion; // asked, and answered No
    };
    const Case cases[] = {
        {"empty file", 1, L"T310", "empty.txt", "", false},
        {"comments and a line without '='", 1, L"T310", "comments.txt", "#only\r\n;comments\r\ngarbage\r\n",
         false},
        {"keys of a section only", 0, L"T550", "sectioned.txt", "[Other]\r\nSpeed=2\r\n", false},
        {"missing file", 1, L"T310", "missing.txt", nullptr, false},
        {"missing file, unknown model", -1, L"???", "missing.txt", nullptr, false},
        {"damaged checksum", 3, L"R310/R330", "config.txt", "Speed=2\n", true},
    };
    const std::wstring good = Write("good.txt", "Speed=1\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DataDirStruct catalogue;
        {
            ModelIndexScope model(1);
            ASSERT_EQ(catalogue.LoadConfigFile(good), 1);
        }
        ModelIndexScope model(c.model);
        const std::wstring path = c.bytes ? Write(c.name, c.bytes) : m_folder.Wide(c.name);
        m_windows.events.clear();
        m_windows.answer = IDNO;
        EXPECT_EQ(catalogue.LoadConfigFile(path), 1);
        std::vector<std::wstring> messages;
        if (c.checksumQuestion)
            messages.push_back(LoadStringLang(g_hResourceDll, 242, 0));
        messages.push_back(std::wstring(L"Config file is incorrect.\nCurrnet model is ") + c.modelName +
                           L".");
        EXPECT_EQ(m_windows.MessageBoxes(), messages);
        EXPECT_EQ(std::wstring(catalogue.GetConfigPath()), good);
        EXPECT_EQ(catalogue.GetConfigValue(L"Speed"), L"1");
    }

    // Without a path there is nothing to tell the user.
    m_windows.events.clear();
    DataDirStruct catalogue;
    EXPECT_EQ(catalogue.LoadConfigFile(L""), 0);
    EXPECT_TRUE(m_windows.events.empty());
    EXPECT_EQ(catalogue.GetConfigPath(), nullptr);
}

TEST_F(CatalogueSettingsTest, SaveWithoutPathWritesNothing) {
    ModelIndexScope model(0);
    m_catalogue.SetConfigValue(L"A", L"1");
    EXPECT_EQ(m_catalogue.GetConfigPath(), nullptr);
    EXPECT_FALSE(m_catalogue.SaveConfig());
    EXPECT_TRUE(std::filesystem::is_empty(m_folder.Path()));
}

TEST_F(CatalogueSettingsTest, RoundTripByModel) {
    struct Case {
        int model;
        std::string file;
    };
    // Models 0-2 write CR LF and no headers; model 3 writes LF and the checksum byte. A new key
    // goes right behind the section's own record.
    const Case cases[] = {{0, "N=x\r\n#c\r\nA=new\r\nB=2\r\n"}, {3, "N=x\n#c\nA=new\nB=2\n*"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        ModelIndexScope model(c.model);
        DataDirStruct catalogue;
        CIniFile::Record header;
        CIniFile::Record a;
        a.Comments = "#c\n";
        a.Key = "A";
        a.Value = "1";
        CIniFile::Record b;
        b.Key = "B";
        b.Value = "2";
        EXPECT_EQ(catalogue.SetConfigRecords({header, a, b}), 1);
        EXPECT_EQ(catalogue.GetConfigValue(L"A"), L"1");
        EXPECT_TRUE(catalogue.SetConfigValue(L"A", L"new"));
        EXPECT_TRUE(catalogue.SetConfigValue(L"N", L"x"));
        const std::wstring path = m_folder.Wide("chosen" + std::to_string(c.model) + ".txt");
        catalogue.SetConfigPath(path);
        ASSERT_TRUE(catalogue.SaveConfig());
        EXPECT_EQ(ReadBytes(m_folder / ("chosen" + std::to_string(c.model) + ".txt")), c.file);

        DataDirStruct reread;
        ASSERT_EQ(reread.LoadConfigFile(path), 1);
        EXPECT_EQ(reread.GetConfigValue(L"A"), L"new");
        EXPECT_EQ(reread.GetConfigValue(L"N"), L"x");
        EXPECT_EQ(reread.GetConfigValue(L"Missing"), L"");
    }
    EXPECT_TRUE(m_windows.MessageBoxes().empty());
}

TEST_F(CatalogueSettingsTest, LongPathIsKeptWhole) {
    ModelIndexScope model(3);
    std::filesystem::path deep = m_folder.Path();
    while (deep.string().size() < 1100)
        deep /= std::string(100, 'p');
    std::filesystem::create_directories(deep);
    const std::wstring path = Wide(deep / "config.txt");
    m_catalogue.SetConfigPath(path);
    m_catalogue.SetConfigValue(L"A", L"1");
    ASSERT_TRUE(m_catalogue.SaveConfig());
    EXPECT_EQ(std::wstring(m_catalogue.GetConfigPath()), path);
    EXPECT_TRUE(VerifyFileChecksum((deep / "config.txt").string()));
}

TEST_F(CatalogueSettingsTest, NonAsciiValuesSurvive) {
    ModelIndexScope model(0);
    const std::wstring path = m_folder.Wide("config.txt");
    m_catalogue.SetConfigPath(path);
    const std::wstring carNumber = L"12\uAC003456";
    ASSERT_TRUE(m_catalogue.SetConfigValue(L"CarNumber", carNumber));
    ASSERT_TRUE(m_catalogue.SaveConfig());
    // Korean text goes to the card in the recorder's own code page.
    EXPECT_EQ(ReadBytes(m_folder / "config.txt"), "CarNumber=12\xB0\xA1"
                                                  "3456\r\n");
    DataDirStruct reread;
    ASSERT_EQ(reread.LoadConfigFile(path), 1);
    EXPECT_EQ(reread.GetConfigValue(L"CarNumber"), carNumber);
}

TEST_F(CatalogueSettingsTest, AviModelDropsHighBytesOnLoad) {
    ModelIndexScope model(3);
    const std::wstring path = m_folder.Wide("config.txt");
    m_catalogue.SetConfigPath(path);
    ASSERT_TRUE(m_catalogue.SetConfigValue(L"CarNumber", L"12\uAC003456"));
    ASSERT_TRUE(m_catalogue.SaveConfig());
    DataDirStruct reread;
    ASSERT_EQ(reread.LoadConfigFile(path), 1);
    EXPECT_EQ(reread.GetConfigValue(L"CarNumber"), L"123456");
}

} // namespace
