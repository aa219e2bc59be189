#include "viewer/ziparchive/zippathcomponent.h"
#include "viewer/ziparchive/zipplatform.h"
#include "viewer/ziparchive/zipstringcompare.h"

#include "ziptestsupport.h"

#include "platform/base/filesystem.h"

#include <gtest/gtest.h>

TEST(ZipPathComponent, SplitsIntoItsParts) {
    const struct {
        const wchar_t* path;
        const wchar_t* prefix;
        const wchar_t* drive;
        const wchar_t* directory;
        const wchar_t* title;
        const wchar_t* extension;
        const wchar_t* filePath;
    } cases[] = {
        {L"\\\\?\\C:\\Skin\\a.b.bmp", L"\\\\?\\", L"C:", L"\\Skin", L"a.b", L"bmp", L"\\\\?\\C:\\Skin"},
        {L"C:\\Skin\\", L"", L"C:", L"\\Skin", L"", L"", L"C:\\Skin"},
        {L"/tmp/trevo/v123.tmp", L"", L"", L"/tmp/trevo", L"v123", L"tmp", L"/tmp/trevo"},
        {L"/v.tmp", L"", L"", L"/", L"v", L"tmp", L"/"},
        {L"relative/dir/file", L"", L"", L"relative/dir", L"file", L"", L"relative/dir"},
        {L"\\\\server\\share\\x.txt", L"\\\\", L"", L"server\\share", L"x", L"txt", L"\\\\server\\share"},
        {L"\\\\?\\UNC\\server\\x.txt", L"\\\\?\\UNC\\", L"", L"server", L"x", L"txt", L"\\\\?\\UNC\\server"},
        {L"cfg\\cfg.xml", L"", L"", L"cfg", L"cfg", L"xml", L"cfg"},
    };
    for (const auto& row : cases) {
        const CZipPathComponent path(row.path);
        EXPECT_EQ(path.GetPrefix(), row.prefix) << row.path;
        EXPECT_EQ(path.GetFileDrive(), row.drive) << row.path;
        EXPECT_EQ(path.GetDirectory(), row.directory) << row.path;
        EXPECT_EQ(path.GetFileTitle(), row.title) << row.path;
        EXPECT_EQ(path.GetFileExt(), row.extension) << row.path;
        EXPECT_EQ(path.GetFilePath(), row.filePath) << row.path;
    }
    EXPECT_EQ(CZipPathComponent(L"C:\\Skin\\a.b.bmp").GetFileName(), L"a.b.bmp");
    EXPECT_EQ(CZipPathComponent(L"skin1\\readme").GetFileName(), L"readme");
}

TEST(ZipPathComponent, PrefixLengths) {
    EXPECT_EQ(CZipPathComponent::GetPrefixLength(L"\\\\server\\share"), 2);
    EXPECT_EQ(CZipPathComponent::GetPrefixLength(L"\\\\?\\C:\\x"), 4);
    EXPECT_EQ(CZipPathComponent::GetPrefixLength(L"\\\\?\\UnC\\server\\x"), 8);
    EXPECT_EQ(CZipPathComponent::GetPrefixLength(L"C:\\x"), 0);
    EXPECT_EQ(CZipPathComponent::GetPrefixLength(L"/tmp"), 0);
}

// The folder part of an absolute target keeps its root: extraction never creates folders relative
// to whatever the current folder is.
TEST(ZipPlatform, ForceDirectoryCreatesEveryLevelUnderTheRoot) {
    TestFolder folder;
    const std::wstring deep = folder.Wide("a/b/c");
    ASSERT_TRUE(ZipPlatform::ForceDirectory(deep + L"/"));
    EXPECT_TRUE(FileSystem::IsDirectory(deep));
    EXPECT_TRUE(ZipPlatform::ForceDirectory(deep));
    EXPECT_TRUE(ZipPlatform::ForceDirectory(L"/"));
    EXPECT_EQ(ZipPlatform::FileExists(deep), -1);
    EXPECT_EQ(ZipPlatform::FileExists(deep + L"/none"), 0);
    // A file in the way cannot become a folder.
    WriteFileBytes((folder / "file").string(), "x");
    EXPECT_EQ(ZipPlatform::FileExists(folder.Wide("file")), 1);
    EXPECT_FALSE(ZipPlatform::ForceDirectory(folder.Wide("file/sub")));
}

TEST(ZipPlatform, RemoveFileClearsReadOnlyOnRequest) {
    TestFolder folder;
    const std::wstring path = folder.Wide("ro.txt");
    WriteFileBytes((folder / "ro.txt").string(), "x");
    ASSERT_TRUE(ZipPlatform::SetFileAttr(path, 0x21));
    DWORD attributes = 0;
    ASSERT_TRUE(ZipPlatform::GetFileAttr(path, attributes));
    EXPECT_EQ(attributes & 0x01, 0x01u);
    EXPECT_TRUE(ZipPlatform::RemoveFile(path, true, 0x1));
    EXPECT_EQ(ZipPlatform::FileExists(path), 0);
    EXPECT_FALSE(ZipPlatform::RemoveFile(path, false));
    EXPECT_EQ(CauseOf([&] { ZipPlatform::RemoveFile(path, true); }), 218);
}

TEST(ZipStringCompare, OrdinalAndFolded) {
    const ZipStringCompare sensitive = GetStringCompareFunction(true, false);
    const ZipStringCompare insensitive = GetStringCompareFunction(false, false);
    EXPECT_LT(sensitive(L"CFG", L"cfg"), 0);
    EXPECT_EQ(insensitive(L"CFG\\Cfg.XML", L"cfg\\cfg.xml"), 0);
    EXPECT_EQ(GetStringCompareFunction(false, true)(L"Skin1", L"skin1"), 0);
    EXPECT_NE(GetStringCompareFunction(true, true)(L"Skin1", L"skin1"), 0);
    EXPECT_GT(insensitive(L"b", L"A"), 0);
}
