#include "viewer/catalogue/moviesimpleparser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SentenceCase {
    const char* name;
    std::string text;
    char status;
    int flag;
    char latHemisphere;
    char lonHemisphere;
    double latitude;
    double longitude;
    double speed;
    double course;
};

TEST(ParseGprmc, FieldsByPosition) {
    const SentenceCase cases[] = {
        {"the published example", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", 'A',
         1, 'N', 'E', 48.1173, 11.5166666667, 22.4, 84.4},
        {"a multi-system talker is not shown",
         "$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 'A', 0, 'N', 'E', 48.1173,
         11.5166666667, 22.4, 84.4},
        {"south and west are negative", "$GPRMC,000001,A,3351.000,S,15112.600,W,1.5,270.0,010120,,", 'A', 1,
         'S', 'W', -33.85, -151.21, 1.5, 270.0},
        // Standing still, the course is often empty: the date must not slide into its place.
        {"an empty course", "$GPRMC,123519,A,4807.038,N,01131.000,E,000.0,,230394,003.1,W", 'A', 1, 'N', 'E',
         48.1173, 11.5166666667, 0.0, 0.0},
        {"empty speed and course", "$GPRMC,123519,A,4807.038,N,01131.000,E,,,230394,,", 'A', 1, 'N', 'E',
         48.1173, 11.5166666667, 0.0, 0.0},
        {"a void fix keeps its fields in place", "$GPRMC,235959,V,,,,,,,010100,,,N", 'V', 1, 0, 0, 0, 0, 0,
         0},
        {"short coordinates have no minutes", "$GPRMC,1,A,5,N,48,E,1,2", 'A', 1, 'N', 'E', 0, 0, 1, 2},
        {"coordinates of degrees only", "$GPRMC,1,A,48,N,011,E,1,2", 'A', 1, 'N', 'E', 0, 0, 1, 2},
        {"the text ends at its first NUL", std::string("$GPRMC,1,A,4807.038,N,01131.000,E,5.0\0,9,9", 42),
         'A', 1, 'N', 'E', 48.1173, 11.5166666667, 5.0, 0.0},
        {"numbers as the C library reads them", "$GPRMC,1,A,4807.038,N,01131.000xyz,E, +7.5knots,abc", 'A', 1,
         'N', 'E', 48.1173, 11.5166666667, 7.5, 0.0},
        {"an empty text", "", 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const SentenceCase& c : cases) {
        GpsRecord record;
        ParseGprmc(record, c.text);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(record.status, c.status);
        EXPECT_EQ(record.sentenceFlag, c.flag);
        EXPECT_EQ(record.latHemisphere, c.latHemisphere);
        EXPECT_EQ(record.lonHemisphere, c.lonHemisphere);
        EXPECT_NEAR(record.latitude, c.latitude, 1e-9);
        EXPECT_NEAR(record.longitude, c.longitude, 1e-9);
        EXPECT_DOUBLE_EQ(record.speed, c.speed);
        EXPECT_DOUBLE_EQ(record.course, c.course);
    }
}

TEST(ParseGprmc, ReadsOnlyWithinItsText) {
    // The slot of an AVI text chunk is 256 bytes with no terminator when the sentence fills it:
    // the parse must stop at the slot's end (AddressSanitizer sees any read beyond).
    const std::string sentence = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,";
    std::string slot = sentence + std::string(256 - sentence.size(), '9');
    auto heap = std::make_unique<char[]>(slot.size());
    std::copy(slot.begin(), slot.end(), heap.get());
    GpsRecord record;
    ParseGprmc(record, std::string_view(heap.get(), slot.size()));
    EXPECT_EQ(record.status, 'A');
    EXPECT_DOUBLE_EQ(record.course, 84.4);

    // A lone coordinate digit at the very end of the text.
    auto tail = std::make_unique<char[]>(12);
    std::copy_n("$GPRMC,1,A,5", 12, tail.get());
    ParseGprmc(record, std::string_view(tail.get(), 12));
    EXPECT_DOUBLE_EQ(record.latitude, 0.0);
}

} // namespace
