// The skin archive the build makes: it loads, and every component the windows ask for is there
// with its rectangle and the complete image set of its control, at sizes that agree.

#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/skin/resstorage.h"

#include "platform/base/filesystem.h"
#include "platform/base/registry.h"
#include "platform/base/unicode.h"
#include "platform/ui/gdiobj.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class Kind { Button, Slider, Static, List, Combo, Rect };

struct Expected {
    unsigned id;
    Kind kind;
};

// Every component the main window, its panels, the control bar, the defog window and the settings
// window ask for, with the control that uses it (Rect: only its rectangle is used).
const std::vector<Expected>& ProgramComponents() {
    static const std::vector<Expected> components = [] {
        std::vector<Expected> list;
        auto add = [&list](Kind kind, std::initializer_list<unsigned> ids) {
            for (unsigned id : ids) {
                list.push_back({id, kind});
            }
        };
        // Main view
        add(Kind::Button,
            {0x10000002, 0x10000003, 0x100000FF, 0x1000002F, 0x1000000B, 0x1000000C, 0x10000011, 0x1000000D,
             0x1000000E, 0x1000000F, 0x10000010, 0x10000013, 0x10000012, 0x10000014, 0x10000008});
        add(Kind::Slider, {0x10000005, 0x10000009, 0x10000015});
        add(Kind::Static, {0x10000016, 0x10000033, 0x10000034, 0x10000035, 0x10000017, 0x10000018, 0x10000019,
                           0x1000001A, 0x1000000A, 0x1000005D, 0x1000002A, 0x10000121, 0x1000012A, 0x1000012B,
                           0x1000002B, 0x10000029, 0x10000118, 0x10000120, 0x10000119});
        add(Kind::Rect, {0x1000001E, 0x1000001B, 0x1000001C, 0x10000101, 0x10000100});
        // Playback control bar
        add(Kind::Button,
            {0x10000040, 0x10000041, 0x10000042, 0x10000043, 0x10000044, 0x10000045, 0x10000046, 0x10000047});
        add(Kind::Static, {0x10000001, 0x1000004B});
        add(Kind::Slider, {0x10000048, 0x10000049, 0x1000004A});
        add(Kind::Rect, {0x1000005E, 0x1000002C, 0x1000002D});
        // Playlist
        add(Kind::List, {0x10000006});
        add(Kind::Rect, {0x100000CD, 0x100000C8, 0x100000C9, 0x100000CA, 0x100000CB, 0x100000CC});
        // G-sensor panel
        add(Kind::Static, {0x10000021});
        add(Kind::Button, {0x10000007});
        add(Kind::Rect, {0x1000001F, 0x10000020, 0x10000030, 0x10000031, 0x10000032});
        // Map panel
        add(Kind::Static, {0x10000022, 0x10000023, 0x10000024, 0x10000025});
        add(Kind::Button, {0x10000026});
        add(Kind::Rect, {0x10000027, 0x10000028});
        // Defog window
        add(Kind::Button,
            {0x1000006C, 0x1000006D, 0x1000006E, 0x10000070, 0x10000071, 0x10000072, 0x10000073, 0x10000074,
             0x10000075, 0x10000108, 0x10000109, 0x10000110, 0x10000111, 0x10000112, 0x10000113});
        add(Kind::Static, {0x10000065, 0x10000066, 0x10000067, 0x10000068, 0x10000069, 0x10000077, 0x10000079,
                           0x10000104, 0x10000105, 0x10000122, 0x10000123, 0x10000124, 0x10000125, 0x10000126,
                           0x10000127, 0x10000128, 0x10000129});
        add(Kind::Slider, {0x10000076, 0x10000078, 0x10000102, 0x10000103});
        add(Kind::Rect, {0x1000006F, 0x1000006A, 0x1000006B, 0x10000106, 0x10000107});
        // Settings window
        add(Kind::Rect, {0x10000085, 0x110000F3});
        add(Kind::Button, {0x1000007F, 0x10000084, 0x110000F4, 0x11000094, 0x10000086});
        add(Kind::Slider, {0x10000087});
        add(Kind::Static, {0x10000088, 0x100000C3, 0x11000089, 0x11000095, 0x110000A0, 0x110000AB, 0x110000C0,
                           0x11000096, 0x11000097, 0x110000E0, 0x100000BE});
        add(Kind::Button,
            {0x1100008A, 0x11000090, 0x1100008F, 0x100000CE, 0x100000CF, 0x110000CD, 0x110000C5, 0x110000C4,
             0x110000C3, 0x110000CE, 0x110000CA, 0x110000D8, 0x100000AC, 0x100000AD, 0x100000AE, 0x110000C6,
             0x110000C7, 0x110000D4, 0x110000A8, 0x110000A9, 0x110000C1, 0x110000C2, 0x110000CF, 0x110000D0,
             0x110000D1, 0x110000E2, 0x110000E3, 0x110000E8, 0x110000E9, 0x110000EA, 0x110000EB, 0x110000EC,
             0x100000D1, 0x100000D2, 0x100000D3, 0x100000D4, 0x100000D5, 0x100000D6, 0x100000D7, 0x100000D8});
        add(Kind::Slider, {0x1100008B, 0x110000A1, 0x110000A3, 0x1100008D, 0x110000E4, 0x110000CB, 0x110000C8,
                           0x110000D2, 0x110000F8});
        add(Kind::Static, {0x1100008C, 0x110000A2, 0x110000A4, 0x1100008E, 0x110000E5, 0x110000CC, 0x110000C9,
                           0x110000D3, 0x110000F9, 0x100000C0});
        add(Kind::Combo, {0x110000E6, 0x110000E7});
        return list;
    }();
    return components;
}

int ImageCount(Kind kind) {
    switch (kind) {
    case Kind::Button:
    case Kind::Slider:
        return 5;
    case Kind::Static:
        return 3;
    case Kind::List:
        return 13;
    case Kind::Combo:
        return 7;
    case Kind::Rect:
        return 1;
    }
    return 0;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP description;
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(description), &description) == 0) {
        return {0, 0};
    }
    return {description.bmWidth, description.bmHeight};
}

class SkinArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override { SetModelIndex(0); }
    void TearDown() override { SetModelIndex(0); }
};

void SetLanguageValue(const std::wstring& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\TREVO_VIEWER\\conf", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (value.empty()) {
        RegDeleteValueW(key, L"LanguageID");
    } else {
        const std::vector<BYTE> bytes = RegStringBytes(value, false);
        RegSetValueExW(key, L"LanguageID", 0, REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    RegCloseKey(key);
}

void ExpectCompleteSkin(const ResStorage& store) {
    EXPECT_EQ(store.GetPasswordCheck(), 0);
    for (const Expected& expected : ProgramComponents()) {
        const auto id = static_cast<eComponentID>(expected.id);
        SCOPED_TRACE(::testing::Message() << std::hex << "0x" << expected.id);
        const CRect rect = store.GetComponentRect(id, CRect(0, 0, 0, 0));
        EXPECT_GT(rect.Width(), 0);
        EXPECT_GT(rect.Height(), 0);
        const ComponentImages images = store.GetComponentInfo(id);
        for (int slot = 0; slot < ImageCount(expected.kind); ++slot) {
            EXPECT_NE(images[slot], nullptr) << "slot " << slot;
        }
        const SIZE first = SizeOf(images[0]);
        if (expected.kind == Kind::Button) {
            // The normal image sets the button's size; the mask has the same size.
            EXPECT_EQ(first.cx, rect.Width());
            EXPECT_EQ(first.cy, rect.Height());
            const SIZE mask = SizeOf(images[4]);
            EXPECT_EQ(mask.cx, first.cx);
            EXPECT_EQ(mask.cy, first.cy);
        } else if (expected.kind == Kind::Slider) {
            // The thumb's height is the slider's.
            EXPECT_EQ(first.cy, rect.Height());
            EXPECT_GT(first.cx, 0);
        } else if (expected.kind == Kind::Static) {
            EXPECT_GT(first.cx, 0);
            EXPECT_LE(first.cy, rect.Height());
        }
    }
    for (eComponentID combo : {CID_OPT_TIMEZONE_COMBO, CID_OPT_DRIVE_COMBO}) {
        EXPECT_NE(store.GetComboHighlightColor(combo, 1), store.GetComboNormalColor(combo, 1));
        EXPECT_NE(store.GetComboNormalColor(combo, 1), store.GetComboNormalColor(combo, 0));
    }
}

// Every language's folder is complete: Korean, Japanese (the table of 1033) and English.
TEST_F(SkinArchiveTest, EveryComponentHasItsRectangleAndImagesInEveryLanguage) {
    const struct {
        const wchar_t* registry;
        const wchar_t* folder;
    } languages[] = {{L"", L"skin_ja"},  {L"0", L"skin_ko"}, {L"1", L"skin_ja"}, {L"2", L"skin_en"},
                     {L"3", L"skin_en"}, {L"4", L"skin_en"}, {L"5", L"skin_en"}};
    for (const auto& language : languages) {
        SCOPED_TRACE(Utf8FromWide(language.registry));
        SetLanguageValue(language.registry);
        ResStorage store;
        ASSERT_EQ(store.LoadSkin(L".\\ResStorage.dat", nullptr), 1);
        EXPECT_EQ(store.GetSkinFolder(), language.folder);
        ExpectCompleteSkin(store);
    }
    SetLanguageValue(L"");
}

TEST_F(SkinArchiveTest, ModelTableKnowsFourModelsAndNoEmptyIds) {
    ResStorage store;
    ASSERT_EQ(store.LoadSkin(FileSystem::ProgramFolder() + L"/ResStorage.dat", nullptr), 1);
    ASSERT_EQ(store.GetDevices().size(), 4u);
    for (const sDeviceInfo& device : store.GetDevices()) {
        EXPECT_NE(device.vid, 0);
        EXPECT_NE(device.pid, 0);
        EXPECT_GT(std::wstring(device.name).size(), 0u);
        EXPECT_EQ(store.FindDeviceByVidPid(device.vid, device.pid), &device);
    }
    EXPECT_EQ(store.FindDeviceByVidPid(0, 0), nullptr);
}

TEST_F(SkinArchiveTest, DefaultSettingsHoldTheKeySetOfEachFamily) {
    const std::vector<std::string> longKeys = {"Driving ResolutionF",
                                               "Driving ResolutionR",
                                               "Driving Mode FrameF",
                                               "Driving Mode FrameR",
                                               "Driving Mode Accelerator",
                                               "MIC Volume",
                                               "Sharpness",
                                               "Night Bright",
                                               "Bit rate",
                                               "Rear Mirror",
                                               "Parking ResolutionF",
                                               "Parking ResolutionR",
                                               "Parking Mode FrameF",
                                               "Parking Mode FrameR",
                                               "Parking Accelerator",
                                               "Parking Motion",
                                               "CUT OFF VOL",
                                               "ACC Time",
                                               "Memory Partition",
                                               "ParkEventRatio",
                                               "GPS Speed Display",
                                               "Speaker Volume",
                                               "Time zone",
                                               "Screen Saver Time",
                                               "PIP Mode"};
    std::vector<std::string> withoutResolutions;
    for (const std::string& key : longKeys) {
        if (!ResStorage::IsResolutionOrFrameKey(key)) {
            withoutResolutions.push_back(key);
        }
    }
    const std::vector<std::string> shortKeys = {"lcd_off", "mic_on",  "speak_on",      "gsensor",
                                                "motion",  "cut_off", "parking_timer", "timezone"};
    const struct {
        int model;
        const std::vector<std::string>& keys;
    } cases[] = {{0, longKeys}, {1, withoutResolutions}, {2, longKeys}, {3, shortKeys}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        SetModelIndex(c.model);
        ResStorage store;
        ASSERT_EQ(store.LoadSkin(L".\\ResStorage.dat", nullptr), 1);
        std::vector<std::string> keys;
        for (const CIniFile::Record& record : store.GetDefaultConfig()) {
            if (!record.Key.empty()) {
                keys.push_back(record.Key);
                EXPECT_FALSE(record.Value.empty()) << record.Key;
            }
        }
        EXPECT_EQ(keys, c.keys);
    }
    EXPECT_EQ(withoutResolutions.size(), longKeys.size() - 8);
}

} // namespace
