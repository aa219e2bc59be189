// Finding the end record and reading the directory.
#include "ziptestsupport.h"

#include <gtest/gtest.h>

namespace {

ZipBuilderEntry Entry(const std::string& name, const std::string& data) {
    ZipBuilderEntry entry;
    entry.name = name;
    entry.data = data;
    return entry;
}

std::vector<ZipBuilderEntry> TwoEntries() {
    return {Entry("cfg/cfg.xml", "<cfg/>"), Entry("skin1/a.bmp", "BMxx")};
}

std::string WithComment(const std::string& comment) {
    ZipBuilderOptions options;
    options.comment = comment;
    return BuildZip(TwoEntries(), options);
}

} // namespace

TEST(ZipCentralDir, EndRecordIsFoundWhereverTheTailPutsIt) {
    const struct {
        const char* label;
        std::string bytes;
    } cases[] = {
        {"small archive", BuildZip(TwoEntries())},
        {"largest comment", WithComment(std::string(65535, 'c'))},
        // The signature's four bytes straddle the first 32 KiB block read from the end.
        {"signature across blocks", WithComment(std::string(32748, 'c'))},
        {"signature one byte into the block", WithComment(std::string(32745, 'c'))},
        // "K\5\6" preceded by another byte: the partial match is dropped and the true one found.
        {"false tail", WithComment(std::string("xK\x05\x06", 4) + std::string(40000, 'c') + "xK\x05\x06")},
        {"prepended stub",
         [] {
             ZipBuilderOptions options;
             options.prepended = std::string(16, 'S');
             return BuildZip(TwoEntries(), options);
         }()},
        {"large stub",
         [] {
             ZipBuilderOptions options;
             options.prepended = std::string(100000, 'S');
             return BuildZip(TwoEntries(), options);
         }()},
    };
    for (const auto& row : cases) {
        ArchiveFixture fixture(row.bytes);
        ASSERT_EQ(CauseOf([&] { fixture.Open(); }), 0) << row.label;
        ASSERT_EQ(fixture.archive.GetCount(), 2) << row.label;
        EXPECT_EQ(ExtractToString(fixture.archive, fixture.archive.FindFile(L"skin1\\a.bmp")), "BMxx")
            << row.label;
        EXPECT_EQ(ExtractToString(fixture.archive, fixture.archive.FindFile(L"cfg\\cfg.xml")), "<cfg/>")
            << row.label;
    }
}

TEST(ZipCentralDir, EndRecordFailures) {
    std::string tooFarBack = BuildZip(TwoEntries()) + std::string(65536, '\0');
    const struct {
        const char* label;
        std::string bytes;
        int cause;
    } cases[] = {
        {"empty file", "", 221},
        {"no signature", std::string(70000, 'z'), 221},
        {"end record deeper than 65557 bytes", tooFarBack, 221},
        // The signature nearest the end wins, and too few bytes follow it.
        {"signature in the last 21 bytes", WithComment(std::string("PK\x05\x06", 4) + "abc"), 201},
        {"size without entries",
         [] {
             ZipBuilderOptions options;
             options.totalEntries = 0;
             options.volumeEntries = 0;
             return BuildZip(TwoEntries(), options);
         }(),
         201},
        {"entries without size",
         [] {
             ZipBuilderOptions options;
             options.centralDirSize = 0;
             options.centralDirOffset = 0;
             options.totalEntries = 3;
             options.volumeEntries = 3;
             return BuildZip({}, options);
         }(),
         201},
        {"another volume",
         [] {
             ZipBuilderOptions options;
             options.lastVolume = 1;
             options.volumeWithCentralDir = 1;
             return BuildZip(TwoEntries(), options);
         }(),
         201},
        {"zip64 locator with saturated fields",
         [] {
             ZipBuilderOptions options;
             options.zip64Locator = true;
             options.centralDirOffset = 0xFFFFFFFF;
             return BuildZip(TwoEntries(), options);
         }(),
         222},
    };
    for (const auto& row : cases) {
        ArchiveFixture fixture(row.bytes);
        EXPECT_EQ(CauseOf([&] { fixture.archive.Open(fixture.Path(), 3, 0); }), row.cause) << row.label;
        // A failed open leaves the archive closed and ready to open something else.
        EXPECT_TRUE(fixture.archive.IsClosed()) << row.label;
    }
}

TEST(ZipCentralDir, AnEmptyArchiveOpens) {
    ArchiveFixture fixture(BuildZip({}));
    fixture.Open();
    EXPECT_EQ(fixture.archive.GetCount(), 0);
    EXPECT_EQ(fixture.archive.FindFile(L"cfg\\cfg.xml"), CZipArchive::kNotFound);
    EXPECT_EQ(fixture.archive.GetFileInfo(0), nullptr);
}

TEST(ZipCentralDir, IndexesFollowTheArchiveOrder) {
    // Directory records in another order than their data: indexes follow the data.
    ZipBuilderOptions options;
    options.directoryOrder = {2, 0, 1};
    std::string bytes =
        BuildZip({Entry("first.txt", "1"), Entry("second.txt", "2"), Entry("third.txt", "3")}, options);
    ArchiveFixture fixture(bytes);
    fixture.Open();
    EXPECT_EQ(fixture.archive[0]->GetFileName(), L"first.txt");
    EXPECT_EQ(fixture.archive[2]->GetFileName(), L"third.txt");
    EXPECT_EQ(ExtractToString(fixture.archive, 1), "2");
    EXPECT_EQ(fixture.archive.FindFile(L"THIRD.txt"), 2);
}

TEST(ZipCentralDir, AMissingArchiveIsTheFileLayersError) {
    TestFolder folder;
    CZipArchive archive;
    EXPECT_THROW(archive.Open(folder.Wide("none.zip"), 3, 0), CFileException);
    EXPECT_TRUE(archive.IsClosed());
    WriteFileBytes((folder / "now.zip").string(), BuildZip(TwoEntries()));
    EXPECT_TRUE(archive.Open(folder.Wide("now.zip"), 3, 0));
    archive.Close();
}
