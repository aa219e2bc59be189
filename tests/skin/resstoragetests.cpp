// The skin store on small archives made by the tests: language choice, the walk of skin.xml and
// its progress texts, the model table, the default settings, the lookups, image decoding and
// ownership, and every way an archive can be missing or damaged.

#include "zipfixture.h"

#include "support/testfolder.h"

#include "viewer/app/globals.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/skin/resstorage.h"

#include "platform/base/filesystem.h"
#include "platform/base/registry.h"
#include "platform/base/unicode.h"
#include "platform/ui/gdiobj.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

class ProgressLog : public ISkinLoadProgress {
  public:
    void SetLoadingMessage(const std::wstring& text) override { messages.push_back(text); }
    std::vector<std::wstring> messages;
};

void SetLanguageValue(const std::optional<std::wstring>& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (value) {
        // Written without a terminator, as the settings window writes it.
        const std::vector<BYTE> bytes = RegStringBytes(*value, false);
        RegSetValueExW(key, L"LanguageID", 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
    } else {
        RegDeleteValueW(key, L"LanguageID");
    }
    RegCloseKey(key);
}

std::string Item(const std::string& type, const std::string& id, int x, int y, int width, int height,
                 const std::string& images = "", const std::string& extra = "") {
    return "<item><type>" + type + "</type><id>" + id + "</id><location><x>" + std::to_string(x) + "</x><y>" +
           std::to_string(y) + "</y></location><size><width>" + std::to_string(width) + "</width><height>" +
           std::to_string(height) + "</height></size><image>" + images + "</image>" + extra + "</item>";
}

std::string Images(const std::vector<std::string>& slots) {
    std::string text;
    for (const std::string& slot : slots) {
        text += "<" + slot + ">a.bmp</" + slot + ">";
    }
    return text;
}

int CountImages(const ComponentImages& images) {
    int count = 0;
    for (HBITMAP image : images.images) {
        count += image != nullptr ? 1 : 0;
    }
    return count;
}

class ResStorageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetLanguageValue(std::nullopt);
        SetModelIndex(0);
    }
    void TearDown() override {
        SetLanguageValue(std::nullopt);
        SetModelIndex(0);
    }

    std::wstring Write(const ZipFixture& zip, bool damageCrc = false) {
        const std::string path = (m_folder / "ResStorage.dat").string();
        EXPECT_TRUE(zip.Write(path, damageCrc));
        return WideFromUtf8(path);
    }

    TestFolder m_folder;
};

TEST_F(ResStorageTest, LanguageComesFromTheRegistryThenFromCfgXml) {
    struct Case {
        std::optional<std::wstring> registry;
        std::string cfgLanguage; // empty: no element
        int index;
        LANGID languageId;
        std::wstring folder;
    };
    const Case cases[] = {
        {std::nullopt, "", 1, 1033, L"folder1"},
        {L"7", "", 1, 1033, L"folder1"},  // out of range: cfg.xml decides, English row without it
        {L"7", "3", 3, 2052, L"folder3"}, // cfg.xml's language when the registry has none
        {L"0", "3", 0, 1042, L"folder0"}, // the registry wins
        {L"5", "", 5, 1034, L"folder5"},
        {L"x", "2", 0, 1042, L"folder0"}, // read as a number the way _wtoi reads it: 0
    };
    for (const Case& c : cases) {
        SetLanguageValue(c.registry);
        std::string cfg = "<cfg>";
        if (!c.cfgLanguage.empty()) {
            cfg += "<language>" + c.cfgLanguage + "</language>";
        }
        for (int index = 0; index < 6; ++index) {
            cfg += "<skin" + std::to_string(index) + ">folder" + std::to_string(index) + "</skin" +
                   std::to_string(index) + ">";
        }
        cfg += "</cfg>";
        ZipFixture zip = MinimalSkin("");
        zip.Set("cfg\\cfg.xml", cfg);
        zip.Remove("skin\\skin.xml");
        zip.Add(Utf8FromWide(c.folder) + "\\skin.xml", "<component/>");
        ResStorage store;
        SCOPED_TRACE(c.registry ? Utf8FromWide(*c.registry) : "none");
        EXPECT_EQ(store.LoadSkin(Write(zip), nullptr), 1);
        EXPECT_EQ(store.GetLanguageIndex(), c.index);
        EXPECT_EQ(store.GetLanguageId(), c.languageId);
        EXPECT_EQ(store.GetSkinFolder(), c.folder);
        EXPECT_EQ(store.GetPasswordCheck(), 0);
    }
}

TEST_F(ResStorageTest, BeforeLoadingTheStoreHoldsTheRegistryChoiceOnly) {
    SetLanguageValue(L"3");
    ResStorage chosen;
    EXPECT_EQ(chosen.GetLanguageIndex(), 3);
    EXPECT_EQ(chosen.GetLanguageId(), 2052);
    SetLanguageValue(L"7");
    ResStorage unchosen;
    EXPECT_EQ(unchosen.GetLanguageIndex(), -1);
    EXPECT_EQ(unchosen.GetLanguageId(), 1033);
    // Only text counts: the bytes of a number stored in another type are no language index.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = L'2';
    RegSetValueExW(key, L"LanguageID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
    RegCloseKey(key);
    ResStorage numeric;
    EXPECT_EQ(numeric.GetLanguageIndex(), -1);
}

TEST_F(ResStorageTest, MissingOrDamagedArchiveAnswersZeroWithoutAnException) {
    const std::string good = MinimalSkin(Item("dummy", "0x10000001", 0, 0, 1, 1)).Bytes();
    struct Case {
        const char* name;
        std::optional<std::string> bytes; // nothing: no file at all
        bool damageCrc;
    };
    const Case cases[] = {
        {"missing file", std::nullopt, false},
        {"empty file", std::string(), false},
        {"not a zip", std::string(4096, 'x'), false},
        {"central directory cut off", good.substr(0, good.size() - 30), false},
        {"entries fail their CRC", good, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (m_folder / "archive.dat").string();
        std::filesystem::remove(path);
        if (c.bytes) {
            if (c.damageCrc) {
                ASSERT_TRUE(MinimalSkin(Item("dummy", "0x10000001", 0, 0, 1, 1)).Write(path, true));
            } else {
                std::FILE* file = std::fopen(path.c_str(), "wb");
                ASSERT_NE(file, nullptr);
                std::fwrite(c.bytes->data(), 1, c.bytes->size(), file);
                std::fclose(file);
            }
        }
        ResStorage store;
        int result = -1;
        EXPECT_NO_THROW(result = store.LoadSkin(WideFromUtf8(path), nullptr));
        EXPECT_EQ(result, 0);
    }
}

TEST_F(ResStorageTest, EveryRequiredEntryIsNeeded) {
    struct Case {
        const char* entry;
        int model;
    };
    const Case cases[] = {{"cfg\\cfg.xml", 0},
                          {"skin\\skin.xml", 0},
                          {"cfg\\pidinfo.xml", 0},
                          {"default\\default_r4.ini", 2},
                          {"default\\def_config.txt", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        SetModelIndex(c.model);
        ZipFixture zip = MinimalSkin("");
        zip.Remove(c.entry);
        ResStorage store;
        EXPECT_EQ(store.LoadSkin(Write(zip), nullptr), 0);
    }
    // Without a "cfg" root no folder is chosen, and "\skin.xml" is not in the archive.
    SetModelIndex(0);
    ZipFixture zip = MinimalSkin("");
    zip.Set("cfg\\cfg.xml", "<settings><skin1>skin</skin1></settings>");
    ResStorage store;
    EXPECT_EQ(store.LoadSkin(Write(zip), nullptr), 0);
    // A language index outside the table fails the load.
    zip.Set("cfg\\cfg.xml", "<cfg><language>9</language><skin1>skin</skin1></cfg>");
    ResStorage outOfRange;
    EXPECT_EQ(outOfRange.LoadSkin(Write(zip), nullptr), 0);
}

TEST_F(ResStorageTest, ItemsGoToTheirMapsAndTheFirstOfAnIdWins) {
    const std::string items =
        Item("button", "10000002", 10, 20, 30, 40, Images({"normal", "hover", "press", "disable", "mask"})) +
        Item("slider", "0x10000005", 1, 2, 3, 4,
             Images({"thumb_normal", "thumb_hover", "thumb_press", "thumb_disable", "blank"})) +
        Item("static", "0x10000016", 0, 0, 5, 5, Images({"start", "middle", "end"})) +
        Item("list", "0x10000006", 0, 0, 5, 5,
             Images({"col_hdr_start", "col_hdr_span", "col_hdr_end", "hor_scrollbar_left_arrow",
                     "hor_scrollbar_right_arrow", "hor_scrollbar_thumb", "hor_scrollbar_span",
                     "ver_scrollbar_top", "ver_scrollbar_bottom", "ver_scrollbar_up_arrow",
                     "ver_scrollbar_down_arrow", "ver_scrollbar_span", "ver_scrollbar_thumb"})) +
        Item("dummy", "0x1000001e", 0, 0, 1280, 800, Images({"bg"})) +
        Item("combobox", "0x110000e6", 0, 0, 5, 5,
             Images({"combo_left", "combo_center", "combo_right", "list_top", "list_left", "list_right",
                     "list_bottom"}),
             "<color><highlight_bg r=\"300\" g=\"0\" b=\"0\"/><highlight_fg r=\"1\" g=\"2\" b=\"3\"/>"
             "<normal_bg r=\"23\" g=\"23\" b=\"23\"/><normal_fg g=\"139\"/></color>") +
        // Same id and type again: ignored. A button without most images keeps null slots.
        Item("button", "0x10000002", 99, 99, 1, 1) +
        Item("button", "0x10000003", 0, 0, 1, 1, Images({"hover"})) +
        // Unknown type: skipped.
        Item("label", "0x10000004", 0, 0, 9, 9);
    ZipFixture zip = MinimalSkin(items);
    zip.Add("skin\\a.bmp", MakeBmp(3, 2));
    ResStorage store;
    ASSERT_EQ(store.LoadSkin(Write(zip), nullptr), 1);

    const struct {
        eComponentID id;
        int images;
    } counts[] = {{CID_MAIN_EXIT, 5},      {CID_MAIN_VOLUME, 5}, {CID_MAIN_BACKGROUND_0, 3},
                  {CID_PLAYLIST_LIST, 13}, {CID_MAIN_WINDOW, 1}, {CID_OPT_TIMEZONE_COMBO, 7}};
    for (const auto& count : counts) {
        const ComponentImages images = store.GetComponentInfo(count.id);
        EXPECT_EQ(CountImages(images), count.images) << std::hex << count.id;
        for (int slot = 0; slot < count.images; ++slot) {
            EXPECT_NE(images[slot], nullptr) << std::hex << count.id << " slot " << slot;
        }
    }
    EXPECT_EQ(store.GetComponentRect(CID_MAIN_EXIT, CRect(0, 0, 0, 0)), CRect(10, 20, 40, 60));
    const ComponentImages partial = store.GetComponentInfo(CID_MAIN_MINIMIZE);
    EXPECT_EQ(partial[0], nullptr);
    EXPECT_NE(partial[1], nullptr);
    EXPECT_EQ(CountImages(partial), 1);
    EXPECT_EQ(store.GetComponentRect(static_cast<eComponentID>(0x10000004), CRect()), CRect(0, 0, 0, 0));

    EXPECT_EQ(store.GetComboHighlightColor(CID_OPT_TIMEZONE_COMBO, 1), RGB(44, 0, 0));
    EXPECT_EQ(store.GetComboHighlightColor(CID_OPT_TIMEZONE_COMBO, 0), RGB(1, 2, 3));
    EXPECT_EQ(store.GetComboHighlightColor(CID_OPT_TIMEZONE_COMBO, 2), RGB(1, 2, 3));
    EXPECT_EQ(store.GetComboNormalColor(CID_OPT_TIMEZONE_COMBO, 1), RGB(23, 23, 23));
    EXPECT_EQ(store.GetComboNormalColor(CID_OPT_TIMEZONE_COMBO, 0), RGB(0, 139, 0));
    EXPECT_EQ(store.GetComboHighlightColor(CID_MAIN_EXIT, 1), 0u);
    EXPECT_EQ(store.GetComboNormalColor(CID_MAIN_EXIT, 0), 0u);
}

TEST_F(ResStorageTest, RectanglesAndImagesSearchTheTypesInTheirOwnOrders) {
    // One id as a static (images: a.bmp) and as a slider (images: b.bmp).
    const std::string items =
        Item("static", "0x10000040", 120, 60, 30, 20, "<start>a.bmp</start>") +
        Item("slider", "0x10000040", 500, 500, 10, 10, "<thumb_normal>b.bmp</thumb_normal>");
    ZipFixture zip = MinimalSkin(items);
    zip.Add("skin\\a.bmp", MakeBmp(3, 3));
    zip.Add("skin\\b.bmp", MakeBmp(7, 7));
    ResStorage store;
    ASSERT_EQ(store.LoadSkin(Write(zip), nullptr), 1);
    EXPECT_EQ(store.GetComponentRect(CID_BAR_PREV, CRect(100, 50, 900, 650)), CRect(400, 450, 410, 460));
    BITMAP description;
    ASSERT_NE(GetObjectW(store.GetComponentInfo(CID_BAR_PREV)[0], sizeof(description), &description), 0);
    EXPECT_EQ(description.bmWidth, 3);

    ZipFixture plain = MinimalSkin(Item("static", "0x10000040", 120, 60, 30, 20));
    ResStorage other;
    ASSERT_EQ(other.LoadSkin(Write(plain), nullptr), 1);
    EXPECT_EQ(other.GetComponentRect(CID_BAR_PREV, CRect(100, 50, 900, 650)), CRect(20, 10, 50, 30));
    EXPECT_EQ(other.GetComponentRect(CID_BAR_PLAY, CRect(100, 50, 900, 650)), CRect(0, 0, 0, 0));
    EXPECT_EQ(CountImages(other.GetComponentInfo(CID_BAR_PLAY)), 0);
}

TEST_F(ResStorageTest, ProgressCountsEveryItemAndReportsRecognisedOnes) {
    SetLanguageValue(L"2");
    std::string items = Item("unknown", "0x1", 0, 0, 1, 1);
    for (int index = 0; index < 399; ++index) {
        items += Item("dummy", std::to_string(0x10000 + index), 0, 0, 1, 1);
    }
    g_hResourceDll = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(g_hResourceDll, nullptr);
    ProgressLog log;
    {
        ResStorage store;
        EXPECT_EQ(store.LoadSkin(Write(MinimalSkin(items)), &log), 1);
    }
    FreeLibrary(g_hResourceDll);
    g_hResourceDll = nullptr;
    // The English tables' caption, as the registry chose the language 1028.
    const std::wstring caption = L"Loading skin components...";
    ASSERT_EQ(log.messages.size(), 399u);
    // The first item is not recognised: it counts, but the first message is the second item's.
    EXPECT_EQ(log.messages[0], caption + L" -2%");
    EXPECT_EQ(log.messages[1], caption + L" -2%");
    EXPECT_EQ(log.messages[2], caption + L" -1%");
    EXPECT_EQ(log.messages[5], caption + L" -1%");
    EXPECT_EQ(log.messages[6], caption + L" 0%");
    EXPECT_EQ(log.messages.back(), caption + L" 98%");
}

TEST_F(ResStorageTest, ModelTableKeepsDocumentOrderAndTerminatesNames) {
    ZipFixture zip = MinimalSkin("");
    zip.Set("cfg\\pidinfo.xml", "<pidinfo>"
                                "<model><name>FIRST</name><vid>0x3A7E</vid><pid>0001</pid></model>"
                                "<model><name>SECOND</name><vid>3a7e</vid><pid>1</pid></model>"
                                "<model><name>ABCDEFGHIJKLMNOPQRST</name><vid>12</vid><pid>34</pid></model>"
                                "<model><name>NO IDS</name></model>"
                                "</pidinfo>");
    ResStorage store;
    ASSERT_EQ(store.LoadSkin(Write(zip), nullptr), 1);
    ASSERT_EQ(store.GetDevices().size(), 3u);
    const sDeviceInfo* first = store.FindDeviceByVidPid(0x3A7E, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::wstring(first->name), L"FIRST");
    EXPECT_EQ(std::wstring(store.GetDevices()[1].name), L"SECOND");
    const sDeviceInfo* longName = store.FindDeviceByVidPid(0x12, 0x34);
    ASSERT_NE(longName, nullptr);
    EXPECT_EQ(std::wstring(longName->name), L"ABCDEFGHIJKLMNO");
    EXPECT_EQ(store.FindDeviceByVidPid(0, 0), nullptr);
}

TEST_F(ResStorageTest, DefaultSettingsFollowTheModelFamily) {
    TestFolder temporary;
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp != nullptr ? oldTmp : "";
    setenv("TMPDIR", temporary.Path().c_str(), 1);
    ZipFixture zip = MinimalSkin("");
    zip.Set(
        "default\\default_r4.ini",
        "Driving ResolutionF=1\r\nMIC Volume=2\r\nDriving ResolutionR=1\r\nParking ResolutionF=1\r\n"
        "Parking ResolutionR=1\r\nDriving Mode FrameF=1\r\nDriving Mode FrameR=1\r\nParking Mode FrameF=1\r\n"
        "Parking Mode FrameR=1\r\nPIP Mode=0\r\n[later]\r\nHidden=1\r\n");
    zip.Set("default\\def_config.txt", "lcd_off=0\nmic_on=1\ntimezone=1\n");
    const struct {
        int model;
        std::vector<std::string> keys;
    } cases[] = {
        {0,
         {"Driving ResolutionF", "MIC Volume", "Driving ResolutionR", "Parking ResolutionF",
          "Parking ResolutionR", "Driving Mode FrameF", "Driving Mode FrameR", "Parking Mode FrameF",
          "Parking Mode FrameR", "PIP Mode"}},
        {1, {"MIC Volume", "PIP Mode"}},
        {3, {"lcd_off", "mic_on", "timezone"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        SetModelIndex(c.model);
        ResStorage store;
        ASSERT_EQ(store.LoadSkin(Write(zip), nullptr), 1);
        std::vector<std::string> keys;
        for (const CIniFile::Record& record : store.GetDefaultConfig()) {
            if (!record.Key.empty()) {
                keys.push_back(record.Key);
            }
        }
        EXPECT_EQ(keys, c.keys);
        // The copy is the caller's own.
        std::vector<CIniFile::Record> copy = store.GetDefaultConfig();
        copy.clear();
        EXPECT_FALSE(store.GetDefaultConfig().empty());
        // No temporary file is left behind.
        EXPECT_TRUE(std::filesystem::is_empty(temporary.Path()));
    }
    if (oldTmp != nullptr) {
        setenv("TMPDIR", savedTmp.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
}

TEST_F(ResStorageTest, ArchiveBitmapsAreCheckedAgainstTheirData) {
    std::string negative = MakeBmp(4, 4);
    negative[22] = '\xFC';
    negative[23] = negative[24] = negative[25] = '\xFF';
    std::string offsetBeyond = MakeBmp(4, 4);
    offsetBeyond[10] = '\xF0';
    offsetBeyond[11] = '\x7F';
    std::string bitfields = MakeBmp(4, 4, 32);
    bitfields[30] = 3;
    std::string eightBit = MakeBmp(4, 4);
    eightBit[28] = 8;
    const struct {
        const char* name;
        std::string data;
        int width; // 0: no bitmap
        int height;
    } cases[] = {
        {"w3.bmp", MakeBmp(3, 5), 3, 5}, // rows padded to four bytes
        {"w32.bmp", MakeBmp(6, 2, 32), 6, 2},
        {"w16.bmp", MakeBmp(5, 3, 16), 5, 3},
        {"cut.bmp", MakeBmp(3, 5).substr(0, 60), 0, 0},
        {"short.bmp", std::string("BM", 2), 0, 0},
        {"negative.bmp", negative, 0, 0},
        {"offset.bmp", offsetBeyond, 0, 0},
        {"bitfields.bmp", bitfields, 0, 0},
        {"eight.bmp", eightBit, 0, 0},
    };
    ZipFixture zip = MinimalSkin("");
    for (const auto& c : cases) {
        zip.Add(std::string("skin\\") + c.name, c.data);
    }
    ResStorage store;
    ASSERT_EQ(store.LoadSkin(Write(zip), nullptr), 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HBITMAP bitmap = store.LoadArchiveBitmap(c.name);
        if (c.width == 0) {
            EXPECT_EQ(bitmap, nullptr);
            continue;
        }
        ASSERT_NE(bitmap, nullptr);
        BITMAP description;
        ASSERT_NE(GetObjectW(bitmap, sizeof(description), &description), 0);
        EXPECT_EQ(description.bmWidth, c.width);
        EXPECT_EQ(description.bmHeight, c.height);
        DeleteObject(bitmap);
    }
    EXPECT_EQ(store.LoadArchiveBitmap("absent.bmp"), nullptr);
}

// Sizes and offsets are judged when an entry is extracted: a bitmap entry whose headers cannot be
// right costs its own picture, and the load, the archive and every other picture stay.
TEST_F(ResStorageTest, AnImageEntryWithImpossibleSizesCostsOnlyItsPicture) {
    const std::string picture = MakeBmp(4, 4);
    const auto size = static_cast<std::uint32_t>(picture.size());
    const struct {
        const char* name;
        EntryOverride damage;
    } cases[] = {
        {"plain size below the stored bytes", {size - 1, std::nullopt, std::nullopt}},
        {"plain size above the stored bytes", {size + 1, std::nullopt, std::nullopt}},
        {"plain size of 4 GiB", {0xFFFFFFFFu, std::nullopt, std::nullopt}},
        {"local header past the end", {std::nullopt, std::nullopt, 0x7FFFFFF0u}},
        {"unsupported method claiming 4 GiB", {0xFFFFFFFFu, std::uint16_t(12), std::nullopt}},
    };
    // The damaged picture is read before the sound one.
    const std::string items = Item("static", "0x10000088", 0, 0, 4, 4, "<start>bad.bmp</start>") +
                              Item("button", "0x10000086", 0, 0, 4, 4, "<normal>a.bmp</normal>");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ZipFixture zip = MinimalSkin(items);
        zip.Add("skin\\bad.bmp", picture);
        zip.Add("skin\\a.bmp", picture);
        zip.Override("skin\\bad.bmp", c.damage);
        ResStorage store;
        ASSERT_EQ(store.LoadSkin(Write(zip), nullptr), 1);
        EXPECT_EQ(store.GetComponentInfo(CID_OPT_LABEL_IMAGES)[0], nullptr);
        EXPECT_NE(store.GetComponentInfo(CID_OPT_CHOICE_IMAGES)[0], nullptr);
        EXPECT_EQ(store.GetComponentRect(CID_OPT_LABEL_IMAGES, CRect(0, 0, 0, 0)), CRect(0, 0, 4, 4));
        EXPECT_EQ(store.LoadArchiveBitmap("bad.bmp"), nullptr);
    }
}

TEST_F(ResStorageTest, ImagesBelongToTheStoreAlone) {
    // Two components share one file; a damaged image entry costs only its own picture.
    const std::string items = Item("button", "0x10000086", 0, 0, 4, 4, "<normal>a.bmp</normal>") +
                              Item("slider", "0x10000087", 0, 0, 4, 4, "<thumb_normal>a.bmp</thumb_normal>") +
                              Item("static", "0x10000088", 0, 0, 4, 4, "<start>bad.bmp</start>") +
                              Item("button", "0x10000086", 0, 0, 4, 4, "<normal>a.bmp</normal>");
    ZipFixture zip = MinimalSkin(items);
    zip.Add("skin\\a.bmp", MakeBmp(4, 4));
    zip.Add("skin\\bad.bmp", MakeBmp(4, 4));
    // Flip one pixel byte of bad.bmp: its CRC no longer matches.
    std::string bytes = zip.Bytes();
    const std::string name = "skin\\bad.bmp";
    const size_t pixel = bytes.find(name) + name.size() + 60;
    bytes[pixel] = static_cast<char>(bytes[pixel] ^ 0x55);
    const std::string path = (m_folder / "shared.dat").string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    std::vector<HBITMAP> handles;
    {
        ResStorage store;
        ASSERT_EQ(store.LoadSkin(WideFromUtf8(path), nullptr), 1);
        EXPECT_EQ(store.GetComponentInfo(CID_OPT_LABEL_IMAGES)[0], nullptr);
        const HBITMAP button = store.GetComponentInfo(CID_OPT_CHOICE_IMAGES)[0];
        const HBITMAP slider = store.GetComponentInfo(CID_OPT_SLIDER_IMAGES)[0];
        ASSERT_NE(button, nullptr);
        ASSERT_NE(slider, nullptr);
        EXPECT_NE(button, slider);
        // Every control asking for the same component gets the same, still living handle.
        EXPECT_EQ(store.GetComponentInfo(CID_OPT_CHOICE_IMAGES)[0], button);
        handles = {button, slider};
    }
    BITMAP description;
    for (HBITMAP handle : handles) {
        EXPECT_EQ(GetObjectW(handle, sizeof(description), &description), 0);
    }
}

} // namespace
