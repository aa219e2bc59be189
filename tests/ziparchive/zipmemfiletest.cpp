#include "viewer/ziparchive/zipmemfile.h"

#include "ziptestsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

TEST(ZipMemFile, GrowsInWholeSteps) {
    CZipMemFile file(1024);
    const std::string bytes(1500, 'a');
    file.Write(bytes.data(), 1500);
    EXPECT_EQ(file.GetBufferSize(), 2048u);
    EXPECT_EQ(file.GetLength(), 1500u);
    EXPECT_EQ(file.GetPosition(), 1500u);
    char out[8];
    EXPECT_EQ(file.Read(out, sizeof out), 0u);
    file.SeekToBegin();
    EXPECT_EQ(file.Read(out, sizeof out), 8u);
    EXPECT_EQ(std::string(out, 8), "aaaaaaaa");
}

TEST(ZipMemFile, SeekRules) {
    CZipMemFile file(1024);
    file.Write("0123456789", 10);
    file.Seek(5, CZipAbstractFile::begin);
    EXPECT_EQ(CauseOf([&] { file.Seek(-10, CZipAbstractFile::current); }), 505);
    EXPECT_EQ(file.GetPosition(), 5u);
    EXPECT_EQ(CauseOf([&] { file.Seek(-1, CZipAbstractFile::begin); }), 505);
    EXPECT_EQ(CauseOf([&] { file.Seek(-11, CZipAbstractFile::end); }), 505);
    EXPECT_EQ(file.Seek(-3, CZipAbstractFile::end), 7u);
    EXPECT_EQ(file.Seek(7, 9), 7u);
    // Beyond the data the buffer grows; the length stays.
    EXPECT_EQ(file.Seek(5000, CZipAbstractFile::begin), 5000u);
    EXPECT_GE(file.GetBufferSize(), 5000u);
    EXPECT_EQ(file.GetLength(), 10u);
}

TEST(ZipMemFile, SetLengthAndDetach) {
    CZipMemFile file(1024);
    EXPECT_EQ(file.SetLength(100), 100u);
    EXPECT_EQ(file.GetPosition(), 0u);
    file.Seek(50, CZipAbstractFile::begin);
    EXPECT_EQ(file.SetLength(10), 10u);
    EXPECT_EQ(file.GetPosition(), 10u);
    EXPECT_EQ(file.GetLength(), 10u);

    BYTE* buffer = file.Detach();
    ASSERT_NE(buffer, nullptr);
    std::free(buffer);
    EXPECT_TRUE(file.IsClosed());
    EXPECT_EQ(file.GetLength(), 0u);
    // A grow step of 0 after Detach: nothing can be written until ReInit.
    EXPECT_EQ(CauseOf([&] { file.Write("x", 1); }), 505);
    file.ReInit(1024);
    file.Write("x", 1);
    EXPECT_EQ(file.GetLength(), 1u);
}

// A damaged size field must never wrap the size arithmetic or pass silently: sizes and positions
// beyond 4 GiB - 1 are refused before anything is allocated.
TEST(ZipMemFile, HugeSizesAreRefusedWithoutWrapping) {
    CZipMemFile file(1024);
    EXPECT_EQ(CauseOf([&] { file.SetLength(0x100000000ull); }), 505);
    EXPECT_EQ(CauseOf([&] { file.Seek(0x100000000ll, CZipAbstractFile::begin); }), 505);
    EXPECT_EQ(CauseOf([&] { file.Seek(std::numeric_limits<LONGLONG>::max(), CZipAbstractFile::begin); }),
              505);
    EXPECT_EQ(CauseOf([&] { file.Seek(std::numeric_limits<LONGLONG>::min(), CZipAbstractFile::end); }), 505);
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_EQ(file.GetBufferSize(), 0u);
}
