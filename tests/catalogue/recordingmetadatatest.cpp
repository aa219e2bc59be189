// What the catalogue hands the player of a recording: metadata of the front file, or of the rear
// file when the front one carries none, and the signature check.
#include "viewer/catalogue/datadirstruct.h"

#include "cataloguetestsupport.h"
#include "support/testfolder.h"
#include "tools/fixtures/avimaker.h"
#include "tools/fixtures/moviemaker.h"

#include <gtest/gtest.h>

namespace {

class RecordingMetadataTest : public testing::Test {
  protected:
    static fixtures::MovieOptions Movie(const std::string& carNumber, bool recorderBoxes) {
        fixtures::MovieOptions options;
        options.video.frameCount = 12;
        options.carNumber = carNumber;
        options.recorderBoxes = recorderBoxes;
        return options;
    }
    stringex Add(const std::string& name) {
        stringex key;
        EXPECT_GE(m_catalogue.ParseFileName(m_folder.Wide(name), 0, &key), 3);
        return key;
    }

    TestFolder m_folder;
    DataDirStruct m_catalogue;
};

TEST_F(RecordingMetadataTest, FrontFileFirstRearFileOnlyWithoutFrontMetadata) {
    ModelIndexScope model(0);
    const auto front =
        fixtures::MakeMovieRecording(m_folder / "2023_05_24_12_30_45_F_normal.mp4", Movie("FRONT1", true));
    fixtures::MakeMovieRecording(m_folder / "2023_05_24_12_30_45_R_normal.mp4", Movie("REAR22", true));
    fixtures::MakeMovieRecording(m_folder / "2023_05_24_12_31_45_F_normal.mp4", Movie("", false));
    const auto rear =
        fixtures::MakeMovieRecording(m_folder / "2023_05_24_12_31_45_R_normal.mp4", Movie("REAR33", true));
    const stringex both = Add("2023_05_24_12_30_45_F_normal.mp4");
    const stringex rearOnly = Add("2023_05_24_12_31_45_F_normal.mp4");

    int count = -1;
    EXPECT_EQ(m_catalogue.GetGpsRecords(both, &count), nullptr);
    m_catalogue.LoadMetadata(both);
    m_catalogue.LoadMetadata(rearOnly);

    EXPECT_EQ(m_catalogue.GetFrameCount(both), front.frames);
    ASSERT_NE(m_catalogue.GetCarNumber(both), nullptr);
    EXPECT_STREQ(m_catalogue.GetCarNumber(both), "FRONT1");
    ASSERT_NE(m_catalogue.GetGpsRecords(both, &count), nullptr);
    EXPECT_EQ(count, static_cast<int>(front.gpsSentences.size()));
    ASSERT_NE(m_catalogue.GetGsensorSamples(both, &count), nullptr);
    EXPECT_EQ(count, front.gsensorSamples);

    ASSERT_NE(m_catalogue.GetCarNumber(rearOnly), nullptr);
    EXPECT_STREQ(m_catalogue.GetCarNumber(rearOnly), "REAR33");
    const GpsRecord* fixes = m_catalogue.GetGpsRecords(rearOnly, &count);
    ASSERT_NE(fixes, nullptr);
    EXPECT_EQ(count, static_cast<int>(rear.gpsSentences.size()));
    EXPECT_EQ(fixes[0].status, 'A');
    EXPECT_EQ(m_catalogue.GetFrameCount(rearOnly), rear.frames);
}

TEST_F(RecordingMetadataTest, AviRecordingGivesOneSampleAFrame) {
    ModelIndexScope model(3);
    fixtures::AviOptions options;
    options.video.frameCount = 9;
    options.streams = 2;
    const auto layout = fixtures::MakeAviRecording(m_folder / "2023_05_24_12_30_45_D_N.avi", options);
    const stringex key = Add("2023_05_24_12_30_45_D_N.avi");
    m_catalogue.LoadMetadata(key);
    EXPECT_EQ(m_catalogue.GetFrameCount(key), layout.frames);
    int count = 0;
    ASSERT_NE(m_catalogue.GetGsensorSamples(key, &count), nullptr);
    EXPECT_EQ(count, layout.frames);
    ASSERT_NE(m_catalogue.GetGpsRecords(key, &count), nullptr);
    EXPECT_EQ(count, layout.frames);
    // The AVI model's files carry no signature.
    EXPECT_EQ(m_catalogue.VerifyRecording(key), 0);
}

TEST_F(RecordingMetadataTest, VerifyRecording) {
    ModelIndexScope model(0);
    fixtures::MakeMovieRecording(m_folder / "2023_05_24_12_30_45_F_normal.mp4", Movie("A", true));
    fixtures::MovieOptions tampered = Movie("B", true);
    tampered.damage.badSignature = true;
    fixtures::MakeMovieRecording(m_folder / "2023_05_24_12_31_45_F_normal.mp4", tampered);
    fixtures::MakeMovieRecording(m_folder / "2023_05_24_12_32_45_F_normal.mp4", Movie("C", true));
    const stringex intact = Add("2023_05_24_12_30_45_F_normal.mp4");
    const stringex bad = Add("2023_05_24_12_31_45_F_normal.mp4");
    const stringex gone = Add("2023_05_24_12_32_45_F_normal.mp4");
    std::filesystem::remove(m_folder / "2023_05_24_12_32_45_F_normal.mp4");

    EXPECT_EQ(m_catalogue.VerifyRecording(intact), 1);
    EXPECT_EQ(m_catalogue.VerifyRecording(bad), 0);
    EXPECT_EQ(m_catalogue.VerifyRecording(gone), -1);
    EXPECT_EQ(m_catalogue.VerifyRecording(stringex()), 0);
    EXPECT_EQ(m_catalogue.VerifyRecording(L"unknown//E"), 0);
    m_catalogue.LoadMetadata(gone);
    EXPECT_EQ(m_catalogue.GetFrameCount(gone), 0);
}

} // namespace
