// Every text of every table, as the viewer loads them by id and language.
#include "platform/base/resourcemodule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr LANGID KOREAN = 1042;
constexpr LANGID JAPANESE = 1033;
constexpr LANGID ENGLISH = 1028;
const std::vector<LANGID> ALL_LANGUAGES = {1042, 1033, 1028, 2052, 1049, 1034};
const std::vector<LANGID> ENGLISH_LANGUAGES = {1028, 2052, 1049, 1034};
constexpr UINT HIGHEST_ID = 0xFFFF;

const std::wstring BLANKS = L"   ";

// The English texts as the viewer shows them, typos included (they are the product's own).
std::map<UINT, std::wstring> EnglishTexts() {
    std::map<UINT, std::wstring> texts = {
        {160, L"Select..."},
        {161, L"Type"},
        {162, L"Date&Time"},
        {163, L"\u25B3"},
        {164, L"\u25BD"},
        {165, L"Always"},
        {166, L"Event"},
        {167, L"Manual"},
        {168, L"Cannot open the directory."},
        {169, L"Loading skin components..."},
        {170, L"This file is already added."},
        {171, L"File name format is not correct."},
        {172, L"The configuration file is not loaded."},
        {173, L"The USB device is detected. Do you want to open this device?"},
        {174, L"Analyzing recorded files..."},
        {175, L"All"},
        {176, L"Drive/Directory"},
        {177, L"File"},
        {178, L"Files are malformed or are missing."},
        {179, L"To File..."},
        {180, L"To Printer..."},
        {181, L"Previous file"},
        {182, L"Pause"},
        {183, L"Play"},
        {184, L"Stop"},
        {185, L"Next Frame"},
        {186, L"Next File"},
        {187, L"Capture"},
        {188, L"Map"},
        {189, L"Defog"},
        {190, L"Sensor"},
        {191, L"Configuration"},
        {192, L"Minimize"},
        {193, L"Exit"},
        {194, L"Zoom In"},
        {195, L"Zoom Out"},
        {196, L"Original Size"},
        {197, L"Playlist"},
        {198, L"Close"},
        {199, L"Save"},
        {200, L"Print"},
        {201, L"Add"},
        {202, L"Delete"},
        {203, L"Parking Event"},
        {204, L"Parking"},
        {205, L"File aleary exists."},
        {206, L"Verification Check"},
        {207, L"Success"},
        {208, L"Fail"},
        {209, L"Motion Event"},
        {210, L"Do you want to repair this broken file?"},
        {211, L"Try again, after playing normal video file."},
        {212, L"Complete. \n(Path : C:\\repair)"},
        {213, L"This video files are not found"},
        {214, L"Fail to repair video file"},
        {215, L"This file is opened by another program"},
        {216, L"Password/CarRegNo Settting"},
        {217, L"Password Setting"},
        {218, L"When you lost password, you should reinstall this software. Watch : All your data will be "
              L"deleted."},
        {219, L"Password"},
        {220, L"Password Confirm"},
        {221, L"Car No."},
        {222, L"password is incorrect, try again."},
        {223, L"you miss password 5 times, this program will be exit automatically."},
        {224, L"password confirm error"},
        {225, L"input car registration number"},
        {226, L"Input your password"},
        {227, L"No playing video."},
        {228, L"Parking_INF"},
        {229, L"Please set the removable disk path."},
        {230, L"Setting the path has been canceled."},
        {231, L"Setting the Path of removable disk has been completed."},
        {232, L"Open"},
        {233, L"File Copy"},
        {235, L"Formating has been completed."},
        {236, L"ALL data on drive '%c' will be lost irretrievably.\nAre you sure?"},
        {237, L"Formating has been failed. Please check the drive."},
        {238, L"Model change will apply when program is reloaded.\nExit this program now?"},
        {239, L"File read is now processing.\nPlease wait..."},
        {240, L"Select drive."},
        {241, L"SD card doesn't have file %s.\nNo file creation is permitted on SD card."},
        {242, L"This file has checksum error.\nContinue reading?"},
        {243, L"Changing parking partition needs SD card format.\nDo you want to format SD card?"},
        {244, L"Can't modify R310 model's memory partition."},
        {245, L"Can't format SD card in R310 model."},
        {327, L"\u25C1"},
        {328, L"\u25B7"},
        {329, L"Timelapse"},
    };
    for (UINT id = 300; id <= 325; ++id) {
        texts[id] = BLANKS;
    }
    return texts;
}

std::set<UINT> IdsOf(const std::map<UINT, std::wstring>& texts) {
    std::set<UINT> ids;
    for (const auto& entry : texts) {
        ids.insert(entry.first);
    }
    return ids;
}

std::set<UINT> Range(UINT first, UINT last) {
    std::set<UINT> ids;
    for (UINT id = first; id <= last; ++id) {
        ids.insert(id);
    }
    return ids;
}

const std::set<UINT> GLYPH_IDS = {163, 164, 327, 328};
const std::set<UINT> TIME_ZONE_IDS = Range(300, 325);

// Ids where the Japanese table carries the Korean text.
std::set<UINT> KoreanInJapanese() {
    std::set<UINT> ids = Range(216, 226);
    ids.insert({229, 230, 231, 238, 241, 244, 245});
    ids.insert(TIME_ZONE_IDS.begin(), TIME_ZONE_IDS.end());
    return ids;
}

const std::map<UINT, std::wstring> JAPANESE_LETTERS = {{165, L"N"}, {166, L"E"}, {167, L"M"}, {209, L"P"}};

bool HasHangul(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0xAC00 && c <= 0xD7A3; });
}

bool HasKanaOrKanji(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) {
        return (c >= 0x3040 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF);
    });
}

// The parts of a text that callers and message boxes rely on: format placeholders in order,
// and the line breaks.
std::vector<std::wstring> Placeholders(const std::wstring& text) {
    std::vector<std::wstring> found;
    for (size_t percent = text.find(L'%'); percent != std::wstring::npos && percent + 1 < text.size();
         percent = text.find(L'%', percent + 2)) {
        found.push_back(text.substr(percent, 2));
    }
    return found;
}

class StringTables : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        module = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() {
        FreeLibrary(module);
        module = nullptr;
    }
    void SetUp() override { ASSERT_NE(module, nullptr) << "TREVO_Res.so beside the test program"; }

    static std::wstring Load(UINT id, LANGID language) { return LoadStringLang(module, id, language); }

    static HMODULE module;
};

HMODULE StringTables::module = nullptr;

TEST_F(StringTables, EveryTableHoldsExactlyItsIds) {
    const std::set<UINT> english = IdsOf(EnglishTexts());
    std::set<UINT> withCopyQuestion = english;
    withCopyQuestion.insert(234);
    ASSERT_EQ(withCopyQuestion.size(), 115u);
    for (const LANGID language : ALL_LANGUAGES) {
        const bool english_table = language != KOREAN && language != JAPANESE;
        const std::set<UINT>& expected = english_table ? english : withCopyQuestion;
        std::set<UINT> present;
        for (UINT id = 0; id <= HIGHEST_ID; ++id) {
            if (!Load(id, language).empty()) {
                present.insert(id);
            }
        }
        EXPECT_EQ(present, expected) << language;
    }
}

TEST_F(StringTables, EnglishTableHoldsTheProductsTexts) {
    for (const auto& [id, text] : EnglishTexts()) {
        EXPECT_EQ(Load(id, ENGLISH), text) << id;
    }
}

TEST_F(StringTables, OtherEnglishTablesDifferOnlyWhereTheyShould) {
    struct Case {
        LANGID language;
        std::map<UINT, std::wstring> differences;
    };
    const Case cases[] = {
        {2052, {}},
        {1049, {{214, L"Fail to Repair Video File"}, {215, L"This file is opened by another program."}}},
        {1034, {{213, L"This video fies are not found"}, {214, L"Fail to reapir video file"}}},
    };
    for (const auto& c : cases) {
        for (UINT id = 0; id <= HIGHEST_ID; ++id) {
            const auto difference = c.differences.find(id);
            const std::wstring expected =
                difference == c.differences.end() ? Load(id, ENGLISH) : difference->second;
            EXPECT_EQ(Load(id, c.language), expected) << c.language << " id " << id;
        }
    }
}

TEST_F(StringTables, CopyQuestionOnlyInKoreanAndJapaneseWithoutFallback) {
    for (const LANGID language : ENGLISH_LANGUAGES) {
        EXPECT_EQ(Load(234, language), L"") << language;
    }
    EXPECT_TRUE(HasHangul(Load(234, KOREAN)));
    EXPECT_TRUE(HasKanaOrKanji(Load(234, JAPANESE)));
}

TEST_F(StringTables, TimeZoneNamesAreBlankInEnglishAndKoreanElsewhere) {
    for (const UINT id : TIME_ZONE_IDS) {
        for (const LANGID language : ENGLISH_LANGUAGES) {
            EXPECT_EQ(Load(id, language), BLANKS) << language << " id " << id;
        }
        EXPECT_TRUE(HasHangul(Load(id, KOREAN))) << id;
        EXPECT_EQ(Load(id, JAPANESE), Load(id, KOREAN)) << id;
    }
}

TEST_F(StringTables, UnusedIdIsEmptyEverywhere) {
    for (const LANGID language : ALL_LANGUAGES) {
        EXPECT_EQ(Load(326, language), L"") << language;
    }
}

TEST_F(StringTables, KoreanTableIsKoreanApartFromGlyphsAndDefog) {
    EXPECT_EQ(Load(189, KOREAN), L"Defog");
    for (UINT id = 0; id <= HIGHEST_ID; ++id) {
        const std::wstring text = Load(id, KOREAN);
        if (text.empty() || GLYPH_IDS.count(id) || id == 189) {
            continue;
        }
        EXPECT_TRUE(HasHangul(text)) << id;
    }
}

TEST_F(StringTables, JapaneseTableHoldsLettersKoreanAndJapanese) {
    const std::set<UINT> korean = KoreanInJapanese();
    for (UINT id = 0; id <= HIGHEST_ID; ++id) {
        const std::wstring text = Load(id, JAPANESE);
        if (text.empty() || GLYPH_IDS.count(id)) {
            continue;
        }
        const auto letter = JAPANESE_LETTERS.find(id);
        if (letter != JAPANESE_LETTERS.end()) {
            EXPECT_EQ(text, letter->second) << id;
        } else if (korean.count(id)) {
            EXPECT_EQ(text, Load(id, KOREAN)) << id;
        } else {
            EXPECT_TRUE(HasKanaOrKanji(text)) << id;
            EXPECT_FALSE(HasHangul(text)) << id;
            EXPECT_NE(text, Load(id, KOREAN)) << id;
        }
    }
}

TEST_F(StringTables, GlyphsAreTheSameInEveryTable) {
    for (const UINT id : GLYPH_IDS) {
        for (const LANGID language : ALL_LANGUAGES) {
            EXPECT_EQ(Load(id, language), Load(id, ENGLISH)) << language << " id " << id;
        }
    }
}

TEST_F(StringTables, KoreanTextsTheCatalogueAndSkinStoreShow) {
    const std::map<UINT, std::wstring> korean = {
        {165, L"상시"},
        {166, L"이벤트"},
        {167, L"수동"},
        {169, L"로딩 중..."},
        {171, L"파일이름의 형식이 올바르지 않습니다."},
        {175, L"모두"},
        {178, L"파일이 손상되었거나 찾을 수 없습니다."},
        {203, L"주차 이벤트"},
        {207, L"검증 성공"},
        {208, L"검증 실패"},
        {209, L"모션 이벤트"},
        {228, L"주차상시"},
        {242, L"체크섬에 오류가 있는 환경파일입니다.\n계속 읽으시겠습니까?"},
        {329, L"타임"},
    };
    for (const auto& [id, text] : korean) {
        EXPECT_EQ(Load(id, KOREAN), text) << id;
    }
}

TEST_F(StringTables, KoreanAndJapaneseReadAsANativeUserWritesThem) {
    const struct {
        LANGID language;
        UINT id;
        const wchar_t* text;
    } wording[] = {
        {KOREAN, 160, L"디렉터리를 선택하십시오."},
        {KOREAN, 162, L"날짜/시간"},
        {KOREAN, 168, L"디렉터리를 열 수 없습니다."},
        {KOREAN, 172, L"환경 파일이 로드되지 않았습니다."},
        {KOREAN, 176, L"드라이브/디렉터리"},
        {KOREAN, 206, L"파일 검증"},
        {KOREAN, 212, L"완료되었습니다. \n(경로: C:\\repair)"},
        {KOREAN, 215,
         L"다른 프로그램에서 사용 중인 파일입니다. 해당 프로그램을 종료한 후 다시 시도하십시오."},
        {KOREAN, 218,
         L"비밀번호를 분실하면 이 프로그램을 다시 설치해야 합니다. 주의: 모든 데이터가 삭제됩니다."},
        {KOREAN, 224, L"비밀번호가 일치하지 않습니다."},
        {KOREAN, 236, L"드라이브 '%c'의 모든 데이터가 삭제되며 복구할 수 없습니다.\n계속하시겠습니까?"},
        {JAPANESE, 162, L"日時"},
        {JAPANESE, 174, L"録画ファイルを解析中..."},
        {JAPANESE, 206, L"ファイル検証"},
        {JAPANESE, 218,
         L"비밀번호를 분실하면 이 프로그램을 다시 설치해야 합니다. 주의: 모든 데이터가 삭제됩니다."},
        {JAPANESE, 224, L"비밀번호가 일치하지 않습니다."},
        {JAPANESE, 234,
         L"再生中のファイルをコピーしますか？\nコンピューターによっては、コピーに時間がかかる場合があります"
         L"。"},
    };
    for (const auto& expected : wording) {
        EXPECT_EQ(Load(expected.id, expected.language), expected.text)
            << expected.language << " id " << expected.id;
    }
}

TEST_F(StringTables, TranslationsKeepPlaceholdersLineBreaksAndTheRepairPath) {
    for (const auto& [id, english] : EnglishTexts()) {
        for (const LANGID language : ALL_LANGUAGES) {
            const std::wstring text = Load(id, language);
            EXPECT_EQ(Placeholders(text), Placeholders(english)) << language << " id " << id;
            EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'),
                      std::count(english.begin(), english.end(), L'\n'))
                << language << " id " << id;
        }
    }
    for (const LANGID language : ALL_LANGUAGES) {
        EXPECT_NE(Load(212, language).find(L"C:\\repair"), std::wstring::npos) << language;
    }
}

} // namespace
