// Reading the recorders' file names: kinds, dates, camera letters and tags, keys and pairing.
#include "viewer/catalogue/recordingnames.h"
#include "viewer/catalogue/datadirstruct.h"

#include "cataloguetestsupport.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingNamesTest, TypeFromTokenByModel) {
    struct Case {
        int model;
        const char* token;
        int type;
    };
    const Case cases[] = {
        {0, "normal", 3}, {0, "norm", 3},  {1, "motion", 6}, {2, "event", 4},  {0, "parking", 5},
        {0, "manual", 7}, {0, "pinfo", 8}, {0, "pinf", 8},   {0, "nor", 0},    {0, "Normal", 0},
        {0, "N", 0},      {0, "L", 0},     {0, "", 0},       {-1, "normX", 3}, {3, "N", 3},
        {3, "E", 4},      {3, "M", 4},     {3, "P", 6},      {3, "S", 7},      {3, "L", 10},
        {3, "normal", 0}, {3, "n", 0},     {3, "NN", 0},     {3, "", 0},       {3, "park", 0},
    };
    for (const Case& c : cases) {
        ModelIndexScope model(c.model);
        EXPECT_EQ(DataDirStruct::TypeFromToken(c.token), c.type) << c.model << " " << c.token;
    }
}

struct NameCase {
    int model;
    const char* name;
    int result;
    int type; // 0: no record expected
    int date[6];
};

TEST(RecordingNamesTest, ParseFileNameTable) {
    const NameCase cases[] = {
        {0, "2023_05_24_12_30_45_F_norm.mp4", 3, 3, {2023, 5, 24, 12, 30, 45}},
        {0, "2023_05_24_12_30_45_F_norm.mov", 0, 0, {}},
        {0, "R_2023_05_24_12_30_45_F_normal.mov", 3, 3, {2023, 5, 24, 12, 30, 45}},
        {1, "T_2023_05_24_12_30_45_F_event.mp4", 4, 4, {2023, 5, 24, 12, 30, 45}},
        {2, "2023_05_24_12_30_45_F_parking.mp4", 5, 5, {2023, 5, 24, 12, 30, 45}},
        {0, "2023_05_24_12_30_45_F_motion.mp4", 6, 6, {2023, 5, 24, 12, 30, 45}},
        {0, "2023_05_24_12_30_45_F_manual.mp4", 7, 7, {2023, 5, 24, 12, 30, 45}},
        {0, "2023_05_24_12_30_45_F_pinfo.mp4", 8, 8, {2023, 5, 24, 12, 30, 45}},
        {0, "2023_05_24_12_30_.mp4", 0, 0, {}},
        {0, "2023_05_24_12_30_45_F.mp4", 0, 0, {}},
        {0, "2023_0A_24_12_30_45_F_norm.mp4", 0, 0, {}},
        {0, "2023-05-24 12.30.45xFxnorm.mp4", 3, 3, {2023, 5, 24, 12, 30, 45}},
        {0, "2023_13_24_12_30_45_F_norm.mp4", 0, 0, {}},
        {0, "2023_05_32_12_30_45_F_norm.mp4", 0, 0, {}},
        {0, "2023_05_24_24_30_45_F_norm.mp4", 0, 0, {}},
        {0, "2023_05_24_12_60_45_F_norm.mp4", 0, 0, {}},
        {0, "2023_05_24_12_30_60_F_norm.mp4", 0, 0, {}},
        {0, "9999_00_00_23_59_59_F_norm.mp4", 3, 3, {9999, 0, 0, 23, 59, 59}},
        {0, "2023_05_24_12_30_45_F_normalnormalnormal.mp4", 3, 3, {2023, 5, 24, 12, 30, 45}},
        {0, "2023_05_24_12_30_45_F_xxxx.mp4", 0, 0, {}},
        {0, "2023_05_24_12_30_45_F_norm.MP4", 0, 0, {}},
        {0, "2023_05_24_12_30_45_F_norm.mp4.bak", 3, 3, {2023, 5, 24, 12, 30, 45}},
        {0, "2023_05_24_12_30_45_F_N.avi", 0, 0, {}},
        {0, "2023_05_24_12_30_45_R_norm.mp4", 2, 0, {}},
        {0, "2023_05_24_12_30_45_D_norm.mp4", 3, 0, {}},
        {0, "X_2023_05_24_12_30_45_F_norm.mp4", 0, 0, {}},
        {0, ".2023_05_24_12_30_45_F_norm.mp4", 0, 0, {}},
        {3, "2023_05_24_12_30_45_F_norm.mp4", 0, 0, {}},
        {3, "2023_05_24_12_30_45_F_normal.avi", 0, 0, {}},
        {3, "2023_05_24_12_30_45_F_N.avi", 3, 3, {2023, 5, 24, 12, 30, 45}},
        {3, "2023_05_24_12_30_45_R_N.avi", 2, 0, {}},
        {3, "2023_05_24_12_30_45_D_E.avi", 4, 4, {2023, 5, 24, 12, 30, 45}},
        {3, "2023_05_24_12_30_45_T_M.avi", 4, 4, {2023, 5, 24, 12, 30, 45}},
        {3, "2023_05_24_12_30_45_Q_P.avi", 6, 6, {2023, 5, 24, 12, 30, 45}},
        {3, "2023_05_24_12_30_45_D_S.avi", 7, 7, {2023, 5, 24, 12, 30, 45}},
        {3, "2023_05_24_12_30_45_D_L.avi", 10, 10, {2023, 5, 24, 12, 30, 45}},
        {3, "R_2023_05_24_12_30_45_D_L.avi", 10, 10, {2023, 5, 24, 12, 30, 45}},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        ModelIndexScope model(c.model);
        TestFolder folder;
        WriteBytes(folder / "Drive" / c.name, "");
        DataDirStruct catalogue;
        stringex key;
        EXPECT_EQ(catalogue.ParseFileName(folder.Wide("Drive/" + std::string(c.name)), 0, &key), c.result);
        if (c.type == 0) {
            EXPECT_TRUE(key.empty());
            EXPECT_EQ(catalogue.GetRecordCount(), 0u);
            continue;
        }
        const std::wstring name = WideFromUtf8(c.name);
        EXPECT_EQ(key, name.substr(0, 22) + L"_" + folder.Wide("Drive") + L"//E");
        const RecFileInfo* record = catalogue.GetRecord(key);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->type, c.type);
        const int date[6] = {record->year, record->month,  record->day,
                             record->hour, record->minute, record->second};
        EXPECT_TRUE(std::equal(date, date + 6, c.date));
        EXPECT_EQ(record->frontPath, folder.Wide("Drive/" + std::string(c.name)));
    }
}

TEST(RecordingNamesTest, RejectsFoldersHiddenAndMissingFiles) {
    ModelIndexScope model(0);
    TestFolder folder;
    std::filesystem::create_directories(folder / "2023_05_24_12_30_45_F_norm.mp4");
    WriteBytes(folder / ".2023_05_24_12_30_45_F_norm.mp4", "");
    DataDirStruct catalogue;
    for (const char* name : {"2023_05_24_12_30_45_F_norm.mp4", ".2023_05_24_12_30_45_F_norm.mp4",
                             "2023_05_24_12_30_46_F_norm.mp4"})
        EXPECT_EQ(catalogue.ParseFileName(folder.Wide(name), 0), 0) << name;
    EXPECT_EQ(catalogue.GetRecordCount(), 0u);
}

class PairingTest : public testing::Test {
  protected:
    std::wstring Make(const std::string& name) {
        WriteBytes(m_folder / name, "");
        return m_folder.Wide(name);
    }
    stringex KeyOf(const std::string& name) const {
        return WideFromUtf8(name.substr(0, 22)) + L"_" + m_folder.Wide() + L"//E";
    }

    TestFolder m_folder;
    DataDirStruct m_catalogue;
};

TEST_F(PairingTest, FrontFileTakesItsRearPartnerOnlyWhenItExists) {
    ModelIndexScope model(0);
    const std::wstring lone = Make("2023_05_24_12_30_45_F_normal.mp4");
    const std::wstring front = Make("2023_05_24_12_31_00_F_normal.mp4");
    const std::wstring rear = Make("2023_05_24_12_31_00_R_normal.mp4");
    EXPECT_EQ(m_catalogue.ParseFileName(lone, 0), 3);
    EXPECT_EQ(m_catalogue.ParseFileName(front, 0), 3);
    ASSERT_NE(m_catalogue.GetRecord(KeyOf("2023_05_24_12_30_45_F_normal.mp4")), nullptr);
    EXPECT_EQ(m_catalogue.GetRecord(KeyOf("2023_05_24_12_30_45_F_normal.mp4"))->secondPath, L"");
    ASSERT_NE(m_catalogue.GetRecord(KeyOf("2023_05_24_12_31_00_F_normal.mp4")), nullptr);
    EXPECT_EQ(m_catalogue.GetRecord(KeyOf("2023_05_24_12_31_00_F_normal.mp4"))->secondPath, rear);
    EXPECT_EQ(m_catalogue.ParseFileName(rear, 0), 2);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 2u);
}

TEST_F(PairingTest, RearFileAloneMakesNoRecord) {
    ModelIndexScope model(0);
    EXPECT_EQ(m_catalogue.ParseFileName(Make("2023_05_24_12_30_45_R_normal.mp4"), 0), 2);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 0u);
}

TEST_F(PairingTest, SameFrontMetAgainReplacesTheFrontFile) {
    ModelIndexScope model(0);
    const std::wstring first = Make("2023_05_24_12_30_45_F_normal.mp4");
    const std::wstring again = Make("2023_05_24_12_30_45_F_event.mp4");
    stringex key;
    EXPECT_EQ(m_catalogue.ParseFileName(first, 0, &key), 3);
    stringex second;
    EXPECT_EQ(m_catalogue.ParseFileName(again, 0, &second), 1);
    EXPECT_TRUE(second.empty());
    ASSERT_EQ(m_catalogue.GetRecordCount(), 1u);
    EXPECT_EQ(m_catalogue.GetRecord(key)->frontPath, again);
    EXPECT_EQ(m_catalogue.GetRecord(key)->type, 3);
}

TEST_F(PairingTest, PrefixedPairSharesOneKeyAndPrefixesSortApart) {
    ModelIndexScope model(0);
    const std::wstring front = Make("R_2023_05_24_12_30_45_F_normal.mov");
    const std::wstring rear = Make("R_2023_05_24_12_30_45_R_normal.mov");
    const std::wstring plain = Make("2023_05_24_12_30_45_F_normal.mp4");
    stringex key;
    EXPECT_EQ(m_catalogue.ParseFileName(front, 0, &key), 3);
    EXPECT_EQ(key, L"R_2023_05_24_12_30_45_" + std::wstring(L"_") + m_folder.Wide() + L"//E");
    EXPECT_EQ(m_catalogue.ParseFileName(rear, 0), 2);
    EXPECT_EQ(m_catalogue.GetRecord(key)->frontPath, front);
    EXPECT_EQ(m_catalogue.GetRecord(key)->secondPath, rear);
    stringex plainKey;
    EXPECT_EQ(m_catalogue.ParseFileName(plain, 0, &plainKey), 3);
    EXPECT_NE(plainKey, key);
    EXPECT_EQ(m_catalogue.GetRecordCount(), 2u);
}

TEST_F(PairingTest, OneFileAviRecordingsAreOneRecordEach) {
    ModelIndexScope model(3);
    for (const char* name :
         {"2023_05_24_12_30_45_D_N.avi", "2023_05_24_12_31_45_T_N.avi", "2023_05_24_12_32_45_Q_N.avi"}) {
        stringex key;
        EXPECT_EQ(m_catalogue.ParseFileName(Make(name), 0, &key), 3) << name;
        EXPECT_EQ(m_catalogue.GetRecord(key)->secondPath, L"") << name;
    }
    EXPECT_EQ(m_catalogue.GetRecordCount(), 3u);
    const std::wstring rear = Make("2023_05_24_12_33_45_R_N.avi");
    const std::wstring front = Make("2023_05_24_12_33_45_F_N.avi");
    stringex key;
    EXPECT_EQ(m_catalogue.ParseFileName(front, 0, &key), 3);
    EXPECT_EQ(m_catalogue.GetRecord(key)->secondPath, rear);
}

TEST_F(PairingTest, PartnerDiffersInTheCameraLetterOnly) {
    ModelIndexScope model(0);
    // A token with a capital F must not be taken for the camera letter.
    const std::wstring front = Make("2023_05_24_12_30_45_F_normFull.mp4");
    const std::wstring rear = Make("2023_05_24_12_30_45_R_normFull.mp4");
    Make("2023_05_24_12_30_45_F_normRull.mp4");
    stringex key;
    EXPECT_EQ(m_catalogue.ParseFileName(front, 0, &key), 3);
    EXPECT_EQ(m_catalogue.GetRecord(key)->secondPath, rear);
}

TEST(RecordingNamesLongPathTest, PairsBeyondTwoThousandCharacters) {
    ModelIndexScope model(0);
    TestFolder folder;
    std::filesystem::path deep = folder.Path();
    while (deep.string().size() < 2100)
        deep /= std::string(200, 'd');
    WriteBytes(deep / "2023_05_24_12_30_45_F_normal.mp4", "");
    WriteBytes(deep / "2023_05_24_12_30_45_R_normal.mp4", "");
    DataDirStruct catalogue;
    stringex key;
    EXPECT_EQ(catalogue.ParseFileName(Wide(deep / "2023_05_24_12_30_45_F_normal.mp4"), 0, &key), 3);
    ASSERT_NE(catalogue.GetRecord(key), nullptr);
    EXPECT_EQ(catalogue.GetRecord(key)->secondPath, Wide(deep / "2023_05_24_12_30_45_R_normal.mp4"));
    EXPECT_GT(catalogue.GetRecord(key)->secondPath.size(), 2048u);
}

TEST(RecordingNamesTest, LacksFrontRearTag) {
    struct Case {
        int model;
        const wchar_t* name;
        int expected;
    };
    const Case cases[] = {
        {0, L"2023_05_24_12_30_45_D_N.avi", 0},
        {2, L"2023_05_24_12_30_45_N.avi", 0},
        {3, L"2023_05_24_12_30_45_D_N.avi", 1},
        {3, L"2023_05_24_12_30_45_F_N.avi", 0},
        {3, L"2023_05_24_12_30_45_R_N.avi", 0},
        {3, L"/card/Drive/2023_05_24_12_30_45_Q_N.avi", 1},
        {3, L"/card/x_F_y/2023_05_24_12_30_45_D_N.avi", 1},
        {3, L"/card/x/2023_05_24_12_30_45_F_N.avi", 0},
    };
    for (const Case& c : cases) {
        ModelIndexScope model(c.model);
        EXPECT_EQ(LacksFrontRearTag(c.name), c.expected) << c.model;
    }
}

TEST(RecordingNamesTest, ChannelTagsOfExistingAndMissingFiles) {
    struct Case {
        int model;
        const char* name;
        int channel1, channel2, channel0;
        bool d, t, q;
    };
    const Case cases[] = {
        {0, "2023_05_24_12_30_45_F_normal.mp4", 1, 0, 1, false, false, false},
        {0, "2023_05_24_12_30_45_R_normal.mp4", 0, 1, 0, false, false, false},
        {0, "2023_05_24_12_30_45_D_normal.mp4", 0, 0, 0, false, false, false},
        {3, "2023_05_24_12_30_45_F_N.avi", 1, 0, 1, false, false, false},
        {3, "2023_05_24_12_30_45_R_N.avi", 0, 1, 0, false, false, false},
        {3, "2023_05_24_12_30_45_D_N.avi", 3, 1, 3, true, false, false},
        {3, "2023_05_24_12_30_45_T_N.avi", 3, 2, 3, true, true, false},
        {3, "2023_05_24_12_30_45_Q_N.avi", 3, 3, 3, true, true, true},
        {3, "2023_05_24_12_30_45_Q_D_N.avi", 3, 3, 3, true, true, true},
        {3, "2023_05_24_12_30_45_D_T_N.avi", 3, 2, 3, true, true, false},
        {3, "2023_05_24_12_30_45-N.avi", 3, 0, 3, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelIndexScope model(c.model);
        TestFolder folder;
        const std::wstring missing = folder.Wide(c.name);
        EXPECT_EQ(GetFileTagCode(missing, 1), 0);
        EXPECT_EQ(GetFileTagCode(missing, 2), 0);
        EXPECT_FALSE(HasChannelTag(missing, L"D"));
        WriteBytes(folder / c.name, "");
        EXPECT_EQ(GetFileTagCode(folder.Wide(c.name), 1), c.channel1);
        EXPECT_EQ(GetFileTagCode(folder.Wide(c.name), 2), c.channel2);
        EXPECT_EQ(GetFileTagCode(folder.Wide(c.name), 7), c.channel0);
        EXPECT_EQ(HasChannelTag(folder.Wide(c.name), L"D"), c.d);
        EXPECT_EQ(HasChannelTag(folder.Wide(c.name), L"T"), c.t);
        EXPECT_EQ(HasChannelTag(folder.Wide(c.name), L"Q"), c.q);
        EXPECT_FALSE(HasChannelTag(folder.Wide(c.name), L"F"));
    }
}

} // namespace
