// The metadata readers and the signature check on recordings made as the recorders make them
// (tools/fixtures): real H.264/HEVC media muxed by FFmpeg, with the recorder's boxes and chunks.

#include "support/testfolder.h"
#include "tools/fixtures/avimaker.h"
#include "tools/fixtures/moviemaker.h"
#include "viewer/catalogue/moviesimpleparser.h"
#include "viewer/catalogue/recordingcheck.h"

#include <gtest/gtest.h>

namespace {

using fixtures::MovieContainer;
using fixtures::MovieOptions;

class MadeRecordingTest : public ::testing::Test {
  protected:
    void SetUp() override { fixtures::QuietCodecLogs(); }

    TestFolder m_folder;
};

// Compares the parse of a made recording with what the maker put in.
void ExpectMetadata(const MovieSimpleParser& parser, const MovieOptions& options,
                    const fixtures::MovieLayout& layout) {
    EXPECT_EQ(parser.frameCount, layout.frames);
    ASSERT_EQ(parser.gpsRecords.size(), layout.gpsSentences.size());
    ASSERT_FALSE(parser.gpsRecords.empty());
    const GpsRecord& first = parser.gpsRecords.front();
    EXPECT_EQ(first.status, options.gps.valid ? 'A' : 'V');
    EXPECT_EQ(first.sentenceFlag, options.gps.talker == "GP" ? 1 : 0);
    if (options.gps.valid) {
        EXPECT_NEAR(first.latitude, options.gps.latitude, 1e-5);
        EXPECT_NEAR(first.longitude, options.gps.longitude, 1e-5);
        EXPECT_EQ(first.latHemisphere, options.gps.latitude < 0 ? 'S' : 'N');
        EXPECT_EQ(first.lonHemisphere, options.gps.longitude < 0 ? 'W' : 'E');
        EXPECT_DOUBLE_EQ(first.speed, options.gps.speedKnots);
        EXPECT_DOUBLE_EQ(first.course, options.gps.courseDegrees);
    }
    const fixtures::DriveTrack track(options.start, options.gps);
    ASSERT_EQ(parser.gsensorSamples.size(), static_cast<size_t>(layout.gsensorSamples));
    for (size_t i = 0; i < parser.gsensorSamples.size(); ++i) {
        const fixtures::GsensorReading reading =
            track.GsensorAt(static_cast<double>(i) / options.gsensorPerSecond);
        EXPECT_FLOAT_EQ(parser.gsensorSamples[i].x, reading.x) << i;
        EXPECT_FLOAT_EQ(parser.gsensorSamples[i].y, reading.y) << i;
        EXPECT_FLOAT_EQ(parser.gsensorSamples[i].z, reading.z) << i;
    }
    EXPECT_EQ(parser.carNumber, options.carNumber);
    EXPECT_EQ(parser.encyPayload.size(), options.encySize);
}

TEST_F(MadeRecordingTest, EveryModelsRecordingParsesAndPasses) {
    struct Case {
        const char* name;
        int model;
        MovieContainer container;
        fixtures::VideoCodec codec;
        bool audio;
        bool mdat64;
    };
    const Case cases[] = {
        {"T550 MP4 with sound", 0, MovieContainer::Mp4, fixtures::VideoCodec::H264, true, false},
        {"T310 MOV", 1, MovieContainer::Mov, fixtures::VideoCodec::H264, false, false},
        {"T330 MP4 HEVC", 2, MovieContainer::Mp4, fixtures::VideoCodec::Hevc, false, false},
        {"T550 MOV with a 64-bit mdat and sound", 0, MovieContainer::Mov, fixtures::VideoCodec::H264, true,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MovieOptions options;
        options.model = c.model;
        options.container = c.container;
        options.video.codec = c.codec;
        options.video.frameCount = 45;
        options.audio = c.audio;
        options.mdat64 = c.mdat64;
        options.gps.latitude = -33.8568;
        options.gps.longitude = 151.2153;
        const std::string name = std::string("2023_05_24_12_30_45_F_norm") +
                                 (c.container == MovieContainer::Mov ? ".mov" : ".mp4");
        const fixtures::MovieLayout layout = fixtures::MakeMovieRecording(m_folder / name, options);
        const std::wstring path = m_folder.Wide(name);

        MovieSimpleParser parser;
        EXPECT_EQ(parser.ParseMovie(path), 0);
        ExpectMetadata(parser, options, layout);
        EXPECT_EQ(HasAudioTrack(path), c.audio);
        EXPECT_EQ(VerifyRecordingFile(path), 1);
    }
}

TEST_F(MadeRecordingTest, FixesOfOtherTalkersAndVoidFixes) {
    MovieOptions options;
    options.gps.talker = "GN";
    fixtures::MovieLayout layout = fixtures::MakeMovieRecording(m_folder / "gn.mp4", options);
    MovieSimpleParser multi;
    multi.ParseMovie(m_folder.Wide("gn.mp4"));
    ExpectMetadata(multi, options, layout);

    options = MovieOptions();
    options.gps.valid = false;
    layout = fixtures::MakeMovieRecording(m_folder / "void.mp4", options);
    MovieSimpleParser voidFixes;
    voidFixes.ParseMovie(m_folder.Wide("void.mp4"));
    ExpectMetadata(voidFixes, options, layout);
    EXPECT_DOUBLE_EQ(voidFixes.gpsRecords.front().latitude, 0.0);
}

TEST_F(MadeRecordingTest, DamagedRecordings) {
    struct Case {
        const char* name;
        fixtures::MovieDamage damage;
        std::vector<std::string> omitted;
        bool sign;
        int verify;
        bool frames;    // the frame count is found
        int gpsRecords; // -1: all the maker wrote
        bool gsensor;
    };
    auto damage = [](auto change) {
        fixtures::MovieDamage d;
        change(d);
        return d;
    };
    const Case cases[] = {
        {"intact", {}, {}, true, 1, true, -1, true},
        {"unsigned", {}, {}, false, 0, true, -1, true},
        {"a bad signature", damage([](auto& d) { d.badSignature = true; }), {}, true, 0, true, -1, true},
        {"no MD5J box", {}, {"MD5J"}, true, 0, true, -1, true},
        {"no moov index", damage([](auto& d) { d.dropIndex = true; }), {}, true, 1, false, -1, true},
        {"cut inside mdat", damage([](auto& d) { d.truncateTo = 3000; }), {}, true, 0, false, 0, false},
        {"a GPSR box larger than the file",
         damage([](auto& d) {
             d.boxSizes = {{"GPSR", 0xFFFFFFF0u}};
         }),
         {},
         true,
         0,
         true,
         0,
         false},
        {"a GPSR box of size 4",
         damage([](auto& d) {
             d.boxSizes = {{"GPSR", 4}};
         }),
         {},
         true,
         0,
         true,
         0,
         false},
        {"a SENS box of size 0",
         damage([](auto& d) {
             d.boxSizes = {{"SENS", 0}};
         }),
         {},
         true,
         0,
         true,
         -1,
         false},
        {"an mdat larger than the file",
         damage([](auto& d) {
             d.boxSizes = {{"mdat", 0x7FFFFFFFu}};
         }),
         {},
         true,
         0,
         false,
         0,
         false},
        {"a negative last GPS text length",
         damage([](auto& d) { d.lastGpsRecordLength = -1; }),
         {},
         true,
         0,
         true,
         -2,
         true},
        {"a last GPS text length past the payload",
         damage([](auto& d) { d.lastGpsRecordLength = 100000; }),
         {},
         true,
         0,
         true,
         -2,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MovieOptions options;
        options.video.frameCount = 60;
        options.damage = c.damage;
        options.omittedBoxes = c.omitted;
        options.sign = c.sign;
        const fixtures::MovieLayout layout = fixtures::MakeMovieRecording(m_folder / "damaged.mp4", options);
        const std::wstring path = m_folder.Wide("damaged.mp4");

        MovieSimpleParser parser;
        EXPECT_EQ(parser.ParseMovie(path), 0);
        EXPECT_EQ(parser.frameCount, c.frames ? layout.frames : 0);
        const int all = static_cast<int>(layout.gpsSentences.size());
        const int expected = c.gpsRecords == -1 ? all : c.gpsRecords == -2 ? all - 1 : c.gpsRecords;
        EXPECT_EQ(static_cast<int>(parser.gpsRecords.size()), expected);
        EXPECT_EQ(parser.gsensorSamples.size(), c.gsensor ? static_cast<size_t>(layout.gsensorSamples) : 0u);
        EXPECT_EQ(VerifyRecordingFile(path), c.verify);
    }
}

TEST_F(MadeRecordingTest, AviRecordings) {
    struct Case {
        const char* name;
        int streams;
        bool audio;
        bool leadIn;
        int textChunks;
        int listsBeforeIndex;
    };
    const Case cases[] = {
        {"one stream", 1, false, false, -1, 0},
        {"four streams with sound", 4, true, false, -1, 0},
        {"two streams, text with a lead-in", 2, false, true, -1, 0},
        {"text for the first frames only", 2, false, false, 10, 0},
        {"an INFO list before the index", 1, false, false, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::AviOptions options;
        options.streams = c.streams;
        options.audio = c.audio;
        options.textLeadIn = c.leadIn;
        options.textChunkCount = c.textChunks;
        options.listsBeforeIndex = c.listsBeforeIndex;
        options.video.frameCount = 40;
        const fixtures::AviLayout layout =
            fixtures::MakeAviRecording(m_folder / "2023_05_24_12_30_45_N.avi", options);

        MovieSimpleParser parser;
        parser.ParseAvi(m_folder.Wide("2023_05_24_12_30_45_N.avi"));
        ASSERT_EQ(parser.frameCount, layout.frames);
        ASSERT_EQ(parser.gpsRecords.size(), static_cast<size_t>(layout.frames));
        for (size_t k = 0; k < parser.gpsRecords.size(); ++k) {
            SCOPED_TRACE(k);
            if (k >= layout.texts.size()) {
                EXPECT_EQ(parser.gpsRecords[k].status, 0);
                EXPECT_FLOAT_EQ(parser.gsensorSamples[k].z, 0.0f);
                continue;
            }
            const fixtures::AviTextRecord& text = layout.texts[k];
            EXPECT_EQ(std::string(parser.gpsrPayload.data() + k * 256, text.sentence.size()), text.sentence);
            EXPECT_EQ(parser.gpsRecords[k].status, 'A');
            EXPECT_EQ(parser.gpsRecords[k].sentenceFlag, 1);
            EXPECT_NEAR(parser.gpsRecords[k].latitude, options.gps.latitude, 1e-3);
            EXPECT_DOUBLE_EQ(parser.gpsRecords[k].speed, options.gps.speedKnots);
            EXPECT_FLOAT_EQ(parser.gsensorSamples[k].x, static_cast<float>(text.acceleration[0] / 1000.0));
            EXPECT_FLOAT_EQ(parser.gsensorSamples[k].y, static_cast<float>(text.acceleration[1] / 1000.0));
            EXPECT_FLOAT_EQ(parser.gsensorSamples[k].z, static_cast<float>(text.acceleration[2] / 1000.0));
        }
        // An AVI recording carries no signature.
        EXPECT_EQ(VerifyRecordingFile(m_folder.Wide("2023_05_24_12_30_45_N.avi")), 0);
    }
}

TEST_F(MadeRecordingTest, DamagedAviRecordings) {
    struct Case {
        const char* name;
        fixtures::AviDamage damage;
        bool frames;
    };
    auto damage = [](auto change) {
        fixtures::AviDamage d;
        change(d);
        return d;
    };
    const Case cases[] = {
        {"no index", damage([](auto& d) { d.dropIndex = true; }), false},
        {"an index size of -16", damage([](auto& d) { d.indexSize = 0xFFFFFFF0u; }), false},
        {"a header list size of -1", damage([](auto& d) { d.headerListSize = 0xFFFFFFFFu; }), false},
        {"a header list size past the end", damage([](auto& d) { d.headerListSize = 0x7FFFFF00u; }), false},
        {"cut inside the movie list", damage([](auto& d) { d.truncateTo = 5000; }), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fixtures::AviOptions options;
        options.streams = 2;
        options.damage = c.damage;
        const fixtures::AviLayout layout = fixtures::MakeAviRecording(m_folder / "damaged.avi", options);
        MovieSimpleParser parser;
        parser.ParseAvi(m_folder.Wide("damaged.avi"));
        EXPECT_EQ(parser.frameCount, c.frames ? layout.frames : 0);
    }
}

} // namespace
