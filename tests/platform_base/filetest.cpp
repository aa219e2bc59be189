#include "platform/base/file.h"

#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

std::wstring Wide(const std::filesystem::path& path) { return WideFromUtf8(path.string()); }

} // namespace

TEST(File, WriteReadSeekAndLength) {
    TestFolder folder;
    const std::wstring path = Wide(folder / "\xEC\x83\x81\xEC\x8B\x9C.bin");
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
    file.Write("0123456789", 10);
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.Seek(-4, CFile::end), 6u);
    char tail[8] = {};
    EXPECT_EQ(file.Read(tail, sizeof tail), 4u);
    EXPECT_EQ(std::string(tail, 4), "6789");
    EXPECT_EQ(file.Read(tail, sizeof tail), 0u);
    file.SetLength(3);
    EXPECT_EQ(file.GetLength(), 3u);
    EXPECT_EQ(file.GetFilePath(), path);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
}

TEST(File, CreateWithoutTruncateKeepsContent) {
    TestFolder folder;
    const auto path = folder / "keep.txt";
    std::ofstream(path) << "kept";
    CFile file;
    ASSERT_TRUE(file.Open(Wide(path), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
    EXPECT_EQ(file.GetLength(), 4u);
    ASSERT_TRUE(file.Open(Wide(path), CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST(File, OpenFailuresReportTheirCause) {
    TestFolder folder;
    struct Case {
        std::filesystem::path path;
        UINT flags;
        int cause;
    };
    const Case cases[] = {
        {folder / "missing.bin", CFile::modeRead, CFileException::fileNotFound},
        {folder / "no" / "such" / "dir.bin", CFile::modeCreate | CFile::modeWrite, CFileException::fileNotFound},
        {folder.Path(), CFile::modeRead, CFileException::accessDenied},
    };
    for (const auto& c : cases) {
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(Wide(c.path), c.flags, &error)) << c.path;
        EXPECT_EQ(error.m_cause, c.cause) << c.path;
        EXPECT_EQ(error.m_strFileName, Wide(c.path));
        EXPECT_FALSE(file.IsOpen());
    }
}

TEST(File, ErrorsAfterOpenThrow) {
    TestFolder folder;
    std::ofstream(folder / "r.bin") << "x";
    CFile file;
    ASSERT_TRUE(file.Open(Wide(folder / "r.bin"), CFile::modeRead));
    EXPECT_THROW(file.Write("y", 1), CFileException);
    EXPECT_THROW(file.Seek(-5, CFile::begin), CFileException);
}
