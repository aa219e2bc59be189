#include "viewer/ziparchive/zipcompatibility.h"
#include "viewer/ziparchive/zipplatform.h"

#include "ziptestsupport.h"

#include "platform/base/codepage.h"

#include <gtest/gtest.h>

using namespace ZipCompatibility;

TEST(ZipCompatibility, AttributeConversions) {
    const struct {
        DWORD attributes;
        int from;
        int to;
        DWORD expected;
    } cases[] = {
        {0100644, zcUnix, zcDosFat, 0x20},   {0040755, zcUnix, zcDosFat, 0x10},
        {0100444, zcUnix, zcDosFat, 0x21},   {0100600, zcUnix, zcDosFat, 0x22},
        {0100755, zcUnix, zcDosFat, 0x00},   {0x20, zcDosFat, zcUnix, 0100664},
        {0x21, zcDosFat, zcUnix, 0100444},   {0x10, zcDosFat, zcUnix, 0040775},
        {0x23, zcDosFat, zcUnix, 0100400},   {0x27, zcDosFat, zcNtfs, 0x27},
        {0x37, zcDosFat, zcMacintosh, 0x11}, {0x1234, zcUnix, zcUnix, 0x1234},
        {0x1234, 21, zcDosFat, 0x1234},
    };
    for (const auto& row : cases)
        EXPECT_EQ(ConvertAttributes(row.attributes, row.from, row.to), row.expected)
            << std::oct << row.attributes << " " << row.from << "->" << row.to;
}

TEST(ZipCompatibility, UnsupportedSystemsThrow220) {
    EXPECT_EQ(CauseOf([] { ConvertAttributes(0x20, zcAmiga, zcDosFat); }), 220);
    EXPECT_EQ(CauseOf([] { ConvertAttributes(0x20, zcDosFat, zcVaxVms); }), 220);
    for (int system = 0; system < kSystemCount; ++system) {
        const bool supported = system == 0 || system == 3 || system == 6 || system == 7 || system == 11 ||
                               system == 15 || system == 20;
        EXPECT_EQ(IsHostSystemSupported(system), supported) << system;
    }
}

TEST(ZipCompatibility, CodePagesBySystem) {
    const struct {
        int system;
        UINT names;
        UINT comments;
    } cases[] = {
        {zcDosFat, CP_OEMCP, CP_ACP},    {zcNtfs, CP_OEMCP, CP_ACP}, {zcUnix, CP_UTF8, CP_UTF8},
        {zcMacintosh, CP_UTF8, CP_UTF8}, {zcLast, CP_UTF8, CP_UTF8}, {zcVmCms, CP_ACP, CP_ACP},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(NameCodePageForSystem(row.system), row.names) << row.system;
        EXPECT_EQ(CommentCodePageForSystem(row.system), row.comments) << row.system;
    }
}

TEST(ZipCompatibility, EntryNamesTakeTheWindowsForm) {
    std::wstring name = L"skin1/images/a.bmp";
    ConvertSlashesForPlatform(name);
    EXPECT_EQ(name, L"skin1\\images\\a.bmp");
    ConvertSlashes(name, false);
    EXPECT_EQ(name, L"skin1/images/a.bmp");
}

TEST(ZipCompatibility, TextAndBuffersRoundTrip) {
    const std::wstring korean = L"\xC2A4\xD0A8.xml";
    for (UINT codePage : {CP_UTF8, CP_ACP, CP_OEMCP}) {
        const CZipAutoBuffer buffer = StringToBuffer(korean, codePage);
        EXPECT_GT(buffer.GetSize(), 0u);
        EXPECT_EQ(BufferToString(buffer, codePage), korean) << codePage;
    }
    const CZipAutoBuffer empty = StringToBuffer(L"", CP_UTF8);
    EXPECT_EQ(empty.GetSize(), 0u);
    EXPECT_EQ(empty.GetBuffer(), nullptr);
}

TEST(ZipAutoBuffer, AllocateKeepsOrReleases) {
    CZipAutoBuffer buffer;
    EXPECT_EQ(buffer.Allocate(0), nullptr);
    EXPECT_EQ(buffer.GetSize(), 0u);
    char* first = buffer.Allocate(16, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first[15], 0);
    first[3] = 'x';
    EXPECT_EQ(buffer.Allocate(16), first);
    EXPECT_EQ(buffer[3], 'x');
    EXPECT_EQ(buffer.Allocate(16, true)[3], 0);
    CZipAutoBuffer moved(std::move(buffer));
    EXPECT_EQ(moved.GetSize(), 16u);
    EXPECT_EQ(buffer.GetSize(), 0u);
    moved.Allocate(0);
    EXPECT_EQ(moved.GetBuffer(), nullptr);
}

TEST(ZipPlatform, FileTimeConversions) {
    std::time_t time = 0;
    EXPECT_TRUE(ZipPlatform::FileTimeToTime(116444736010000000ull, time));
    EXPECT_EQ(time, 1);
    EXPECT_FALSE(ZipPlatform::FileTimeToTime(0, time));
    EXPECT_EQ(time, 0);
    // Before 1970.
    EXPECT_FALSE(ZipPlatform::FileTimeToTime(116444736000000000ull - 20000000, time));
    EXPECT_EQ(time, -2);

    ULONGLONG fileTime = 0;
    ZipPlatform::TimeToFileTime(1, fileTime);
    EXPECT_EQ(fileTime, 116444736010000000ull);
    ZipPlatform::TimeToFileTime(1700000000, fileTime);
    ASSERT_TRUE(ZipPlatform::FileTimeToTime(fileTime, time));
    EXPECT_EQ(time, 1700000000);
    // A time of 0 or less stands for now.
    for (const std::time_t none : {std::time_t(0), std::time_t(-5)}) {
        const std::time_t before = std::time(nullptr);
        ZipPlatform::TimeToFileTime(none, fileTime);
        ASSERT_TRUE(ZipPlatform::FileTimeToTime(fileTime, time));
        EXPECT_GE(time, before);
        EXPECT_LE(time, std::time(nullptr));
    }
}
