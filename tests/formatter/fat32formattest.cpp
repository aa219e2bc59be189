#include "viewer/tools/fat32format.h"

#include "imagesupport.h"
#include "platform/base/drivetable.h"
#include "platform/base/unicode.h"
#include "platform/devices/imagefilevolume.h"
#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr ULONGLONG kGiB = 1ull << 30;
constexpr ULONGLONG kMiB = 1ull << 20;

// The worked layout of a 4 GiB card at 64 sectors per cluster.
constexpr DWORD kFourGiBSectors = 8388608;
constexpr DWORD kFourGiBFatSize = 1024;
constexpr DWORD kFourGiBClusters = 131039;
constexpr DWORD kFourGiBRootSector = 32 + 2 * kFourGiBFatSize;
constexpr DWORD kFourGiBSystemSectors = kFourGiBRootSector + 64;

const std::wstring kOpenFailure =
    L"Failed to open device - close any files on the card before formatting and make "
    L"sure you may write to it\n Check that this is the right drive.";
const std::wstring kIoError = L"\nGetLastError()=5: Input/output error\n";

CString FormatImage(const TestFolder& folder, const std::string& name, int sectorsPerCluster,
                    DWORD bytesPerSector = 512, void* context = nullptr,
                    FormatProgressCallback callback = nullptr) {
    return FormatVolumeFat32(ImageFileVolume::Open(folder.Wide(name), bytesPerSector), context,
                             sectorsPerCluster, callback);
}

std::vector<BYTE> Text(const char* text) {
    return std::vector<BYTE>(text, text + std::strlen(text));
}

std::vector<BYTE> Le16(DWORD value) {
    return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8)};
}

std::vector<BYTE> Le32(DWORD value) {
    return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
            static_cast<BYTE>(value >> 24)};
}

struct Field {
    size_t offset;
    std::vector<BYTE> bytes;
    const char* name;
};

// Every listed field holds its bytes, and every byte no field lists is zero.
void ExpectSector(const std::vector<BYTE>& sector, const std::vector<Field>& fields, const char* what) {
    std::vector<bool> listed(sector.size());
    for (const Field& field : fields) {
        ASSERT_LE(field.offset + field.bytes.size(), sector.size()) << field.name;
        const std::vector<BYTE> actual(sector.begin() + field.offset,
                                       sector.begin() + field.offset + field.bytes.size());
        EXPECT_EQ(actual, field.bytes) << what << ": " << field.name;
        for (size_t i = 0; i < field.bytes.size(); ++i)
            listed[field.offset + i] = true;
    }
    for (size_t i = 0; i < sector.size(); ++i) {
        if (!listed[i]) {
            EXPECT_EQ(sector[i], 0) << what << ": byte " << i;
        }
    }
}

std::vector<Field> FsInfoFields(DWORD clusters) {
    return {{0, Le32(0x41615252), "lead signature"},
            {484, Le32(0x61417272), "structure signature"},
            {488, Le32(clusters - 1), "free clusters"},
            {492, Le32(3), "next free cluster"},
            {508, Le32(0xAA550000), "trail signature"}};
}

std::vector<Field> FirstFatSectorFields() {
    return {{0, Le32(0x0FFFFFF8), "entry 0"},
            {4, Le32(0x0FFFFFFF), "entry 1"},
            {8, Le32(0x0FFFFFFF), "root chain"}};
}

std::vector<BYTE> LabelEntry() {
    std::vector<BYTE> entry = Text("T550_FHD   ");
    entry.push_back(0x08);
    entry.resize(32);
    return entry;
}

} // namespace

TEST(Fat32Format, WritesTheLayoutOfAFourGibibyteCard) {
    TestFolder folder;
    const auto image = folder / "card.img";
    // The pattern runs past the system area into the data area, which a quick format leaves alone.
    const ULONGLONG patternBytes = (kFourGiBSystemSectors + 1024) * 512ull;
    CreateImage(image, 4 * kGiB, patternBytes);
    SYSTEMTIME before;
    GetLocalTime(&before);
    ASSERT_EQ(std::wstring(FormatImage(folder, "card.img", 64)), L"");
    SYSTEMTIME after;
    GetLocalTime(&after);

    const auto boot = ReadSector(image, 0);
    const DWORD serial = Little32(boot, 67);
    ExpectSector(boot,
                 {{0, {0xEB, 0x58, 0x90}, "jump"},
                  {3, Text("MSWIN4.1"), "OEM name"},
                  {11, Le16(512), "bytes per sector"},
                  {13, {64}, "sectors per cluster"},
                  {14, Le16(32), "reserved sectors"},
                  {16, {2}, "number of FATs"},
                  {17, Le16(0), "root entries"},
                  {19, Le16(0), "16-bit total sectors"},
                  {21, {0xF8}, "media"},
                  {22, Le16(0), "16-bit FAT size"},
                  {24, Le16(63), "sectors per track"},
                  {26, Le16(255), "heads"},
                  {28, Le32(0), "hidden sectors"},
                  {32, Le32(kFourGiBSectors), "total sectors"},
                  {36, Le32(kFourGiBFatSize), "FAT size"},
                  {40, Le16(0), "flags"},
                  {42, Le16(0), "version"},
                  {44, Le32(2), "root cluster"},
                  {48, Le16(1), "FSInfo sector"},
                  {50, Le16(6), "backup boot sector"},
                  {52, std::vector<BYTE>(12), "reserved"},
                  {64, {0x80}, "drive number"},
                  {65, {0}, "reserved"},
                  {66, {0x29}, "boot signature"},
                  {67, Le32(serial), "serial number"},
                  {71, Text("T550_FHD   "), "volume label"},
                  {82, Text("FAT32   "), "file-system type"},
                  {510, {0x55, 0xAA}, "signature"}},
                 "boot sector");
    // The serial's high half is the time of day and the year, taken while the format ran.
    const DWORD high = serial >> 16;
    EXPECT_TRUE(high == MakeVolumeId(before) >> 16 || high == MakeVolumeId(after) >> 16)
        << std::hex << serial;
    EXPECT_EQ(ReadSector(image, 6), boot);

    for (const DWORD sector : {1u, 7u})
        ExpectSector(ReadSector(image, sector), FsInfoFields(kFourGiBClusters), "FSInfo");
    for (const DWORD sector : {2u, 3u, 4u, 5u})
        EXPECT_TRUE(AllZero(ReadSector(image, sector))) << sector;
    EXPECT_TRUE(AllZero(ReadBytes(image, 8 * 512, (32 - 8) * 512)));

    for (const DWORD fat : {32u, 32u + kFourGiBFatSize}) {
        ExpectSector(ReadSector(image, fat), FirstFatSectorFields(), "first FAT sector");
        EXPECT_TRUE(AllZero(ReadBytes(image, (fat + 1) * 512ull, (kFourGiBFatSize - 1) * 512))) << fat;
    }

    auto root = ReadBytes(image, kFourGiBRootSector * 512ull, 64 * 512);
    EXPECT_EQ(std::vector<BYTE>(root.begin(), root.begin() + 32), LabelEntry());
    std::fill(root.begin(), root.begin() + 32, 0);
    EXPECT_TRUE(AllZero(root)) << "the root directory holds nothing but its label";

    EXPECT_EQ(FirstPatternMismatch(image, kFourGiBSystemSectors * 512ull,
                                   patternBytes - kFourGiBSystemSectors * 512ull),
              std::nullopt)
        << "the data area is left as it was";
}

TEST(Fat32Format, FourThousandNinetySixByteSectorsSignTheirLastBytes) {
    TestFolder folder;
    CreateImage(folder / "card.img", 16 * kGiB);
    ASSERT_EQ(std::wstring(FormatImage(folder, "card.img", 8, 4096)), L"");
    const auto boot = ReadSector(folder / "card.img", 0, 4096);
    EXPECT_EQ(Little16(boot, 11), 4096u);
    EXPECT_EQ(Little32(boot, 32), 4194304u);
    EXPECT_EQ(Little16(boot, 510), 0xAA55u);
    EXPECT_EQ(Little16(boot, 4094), 0xAA55u);
    EXPECT_EQ(ReadSector(folder / "card.img", 6, 4096), boot);
    EXPECT_EQ(Little32(ReadSector(folder / "card.img", 1, 4096), 508), 0xAA550000u);
}

TEST(Fat32Format, SizeRulesRefuseBeforeAnythingIsWritten) {
    struct Case {
        const char* name;
        ULONGLONG sectors;
        DWORD bytesPerSector;
        int sectorsPerCluster;
        const wchar_t* text;
    };
    const wchar_t* tooSmall = L"This drive is too small for FAT32: it needs at least 65536 clusters\n";
    const wchar_t* tooBig = L"This drive is too big for FAT32: at most 2 TB\n";
    const wchar_t* tooFewClusters = L"FAT32 must have at least 65536 clusters, use a smaller cluster size\n";
    const wchar_t* tooManyClusters = L"This drive has more than 2^28 clusters, use a larger cluster size\n";
    const wchar_t* badClusterSize = L"Sectors per cluster must be a power of two from 1 to 128\n";
    const Case cases[] = {
        {"one sector short of 65536", 65535, 512, 1, tooSmall},
        {"one sector short of 65536, 4096-byte sectors", 65535, 4096, 1, tooSmall},
        {"64 MB at 64 sectors per cluster", 64 * kMiB / 512, 512, 64, tooFewClusters},
        {"one sector below the smallest card at 64", 4195361, 512, 64, tooFewClusters},
        {"more than 2^28 clusters at 1 sector per cluster", 300000000, 512, 1, tooManyClusters},
        {"2^32 - 1 sectors", 0xFFFFFFFFull, 512, 64, tooBig},
        {"2^32 sectors", 0x100000000ull, 512, 64, tooBig},
        {"3 sectors per cluster", 8388608, 512, 3, badClusterSize},
        {"256 sectors per cluster", 8388608, 512, 256, badClusterSize},
        {"negative sectors per cluster", 8388608, 512, -64, badClusterSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const auto image = folder / "card.img";
        CreateImage(image, c.sectors * c.bytesPerSector, kMiB);
        const ULONGLONG allocated = ImageFileAllocatedBytes(folder.Wide("card.img"));
        // A stale error from before must not make its way into the text.
        errno = ENOENT;
        EXPECT_EQ(std::wstring(FormatImage(folder, "card.img", c.sectorsPerCluster, c.bytesPerSector)),
                  c.text);
        EXPECT_EQ(FirstPatternMismatch(image, 0, kMiB), std::nullopt);
        EXPECT_EQ(ImageFileAllocatedBytes(folder.Wide("card.img")), allocated) << "nothing was written";
        EXPECT_EQ(std::filesystem::file_size(image), c.sectors * c.bytesPerSector);
    }
}

TEST(Fat32Format, FatSizeHoldsEveryClusterPlusTheTwoReservedEntries) {
    // The regression: the first estimate gives 521 sectors, room for 66688 entries where 66689 are needed.
    EXPECT_EQ(GetFatSizeSectors(67761, 32, 1, 2, 512), 522u);
    EXPECT_EQ(GetFatSizeSectors(kFourGiBSectors, 32, 64, 2, 512), kFourGiBFatSize);

    // Across consecutive sizes the FAT always fits, and it differs from the first estimate only
    // where that estimate was short, by one sector.
    for (const DWORD sectorsPerCluster : {1u, 8u, 64u}) {
        int grown = 0;
        const DWORD first = 65600 * sectorsPerCluster;
        for (DWORD total = first; total < first + 3000 * sectorsPerCluster; ++total) {
            const DWORD estimate = 4 * (total - 32) / (sectorsPerCluster * 512 + 8) + 1;
            const auto holds = [&](DWORD fatSize) {
                const ULONGLONG clusters = (total - 32 - 2ull * fatSize) / sectorsPerCluster;
                return (clusters + 2) * 4 <= fatSize * 512ull;
            };
            const DWORD fatSize = GetFatSizeSectors(total, 32, sectorsPerCluster, 2, 512);
            ASSERT_TRUE(holds(fatSize)) << total;
            ASSERT_EQ(fatSize, holds(estimate) ? estimate : estimate + 1) << total;
            grown += fatSize != estimate;
        }
        EXPECT_GE(grown, 10) << "sizes the first estimate left short, at " << sectorsPerCluster;
    }
}

TEST(Fat32Format, DefaultSectorsPerClusterFollowsThePartitionSize) {
    struct Case {
        ULONGLONG megabytes;
        DWORD bytesPerSector;
        DWORD sectorsPerCluster;
    };
    const Case cases[] = {
        {512, 512, 1},    {513, 512, 8},    {8192, 512, 8},   {8193, 512, 16},   {16384, 512, 16},
        {16385, 512, 32}, {32768, 512, 32}, {32769, 512, 64}, {100000, 512, 64}, {513, 4096, 1},
        {8193, 4096, 2},  {16385, 4096, 4}, {32769, 4096, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultSectorsPerCluster(c.megabytes * kMiB, c.bytesPerSector), c.sectorsPerCluster)
            << c.megabytes << " MB, " << c.bytesPerSector;
    // Whole megabytes count: a byte over 512 MB is still 512 MB.
    EXPECT_EQ(DefaultSectorsPerCluster(512 * kMiB + kMiB - 1, 512), 1u);
    EXPECT_EQ(ClusterBytesToSectors(32, 512), 64u);
    EXPECT_EQ(ClusterBytesToSectors(32, 4096), 8u);
}

TEST(Fat32Format, VolumeIdComesFromTheDateAndTime) {
    struct Case {
        SYSTEMTIME time;
        DWORD serial;
    };
    SYSTEMTIME may;
    may.wYear = 2023;
    may.wMonth = 5;
    may.wDay = 24;
    may.wHour = 12;
    may.wMinute = 30;
    may.wSecond = 45;
    may.wMilliseconds = 678;
    // Both halves are 16-bit sums that wrap.
    SYSTEMTIME wrapping = may;
    wrapping.wYear = 65000;
    wrapping.wHour = 23;
    wrapping.wMinute = 59;
    wrapping.wMonth = 255;
    wrapping.wSecond = 255;
    const Case cases[] = {
        // low: 24 + 5 x 256 + (67 + 45 x 256) = 12891; high: 30 + 12 x 256 + 2023 = 5125
        {may, (5125u << 16) | 12891u},
        // low: 24 + 255 x 256 + (67 + 255 x 256) - 65536 = 65115; high: 59 + 23 x 256 + 65000 - 65536 = 5411
        {wrapping, (5411u << 16) | 65115u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeVolumeId(c.time), c.serial);
}

namespace {

struct ProgressLog {
    std::vector<int> percents;
};

void RecordProgress(void* context, int percent) {
    static_cast<ProgressLog*>(context)->percents.push_back(percent);
}

int g_progressCalls = 0;

void CountProgress(void*, int) {
    ++g_progressCalls;
}

} // namespace

TEST(Fat32Format, ProgressRunsFromZeroToOneHundred) {
    TestFolder folder;
    CreateImage(folder / "card.img", 4 * kGiB);
    ProgressLog log;
    ASSERT_EQ(std::wstring(FormatImage(folder, "card.img", 64, 512, &log, RecordProgress)), L"");
    ASSERT_GE(log.percents.size(), 3u);
    EXPECT_EQ(log.percents.front(), 0);
    EXPECT_EQ(log.percents.back(), 100);
    for (size_t i = 1; i < log.percents.size(); ++i)
        EXPECT_GT(log.percents[i], log.percents[i - 1]);

    g_progressCalls = 0;
    ASSERT_EQ(std::wstring(FormatImage(folder, "card.img", 64, 512, nullptr, CountProgress)), L"");
    ASSERT_EQ(std::wstring(FormatImage(folder, "card.img", 64, 512, &log, nullptr)), L"");
    EXPECT_EQ(g_progressCalls, 0) << "no progress without a context";
}

TEST(Fat32Format, ZeroSectorsWritesOnlyItsRangeAndRoundsThePercent) {
    TestFolder folder;
    const auto image = folder / "card.img";
    CreateImage(image, 2 * kMiB, 2 * kMiB);
    auto volume = ImageFileVolume::Open(folder.Wide("card.img"));
    ASSERT_TRUE(volume && volume->Lock());
    ProgressLog log;
    ASSERT_EQ(std::wstring(ZeroSectors(*volume, 10, 512, 300, &log, RecordProgress)), L"");
    // 128 of 300 is 42.7 percent, 256 of 300 is 85.3.
    EXPECT_EQ(log.percents, (std::vector<int>{0, 43, 85, 100}));
    EXPECT_EQ(FirstPatternMismatch(image, 0, 10 * 512), std::nullopt);
    EXPECT_TRUE(AllZero(ReadBytes(image, 10 * 512, 300 * 512)));
    EXPECT_EQ(FirstPatternMismatch(image, 310 * 512, 2 * kMiB - 310 * 512), std::nullopt);
}

TEST(Fat32Format, ReportLastErrorAddsTheSystemError) {
    errno = 0;
    EXPECT_EQ(std::wstring(ReportLastError(L"Failed to write")), L"Failed to write");
    errno = EIO;
    EXPECT_EQ(std::wstring(ReportLastError(L"Failed to write")), L"Failed to write" + kIoError);
}

namespace {

// An image that fails the nth write touching one sector, or its flush, as a card failing mid-way would.
class FaultyVolume : public RawVolume {
  public:
    FaultyVolume(std::unique_ptr<RawVolume> inner, ULONGLONG failingSector, int failingWrite, bool flushFails)
        : m_inner(std::move(inner)), m_failingByte(failingSector * 512), m_failingWrite(failingWrite),
          m_flushFails(flushFails) {}

    bool Lock() override { return m_inner->Lock(); }
    bool GetGeometry(RawVolumeGeometry& geometry) override { return m_inner->GetGeometry(geometry); }
    bool GetPartitionInfo(RawVolumePartition& partition) override {
        if (!m_inner->GetPartitionInfo(partition))
            return false;
        partition.hiddenSectors = m_hiddenSectors;
        partition.startingOffset = m_hiddenSectors * 512ull;
        partition.gpt = m_gpt;
        return true;
    }
    bool SetPointer(ULONGLONG offset) override {
        m_position = offset;
        return m_inner->SetPointer(offset);
    }
    bool Write(const void* data, size_t length) override {
        if (m_failingByte >= m_position && m_failingByte < m_position + length &&
            ++m_writesSeen == m_failingWrite) {
            errno = EIO;
            return false;
        }
        if (!m_inner->Write(data, length))
            return false;
        m_position += length;
        return true;
    }
    // The image is taken for a partition of a disk, hiding the sectors before it; typeCalls counts
    // the attempts to set its type, which all fail.
    void ActAsPartition(DWORD hiddenSectors, bool gpt, int* typeCalls) {
        m_hiddenSectors = hiddenSectors;
        m_gpt = gpt;
        m_partitionTypeCalls = typeCalls;
    }
    bool SetPartitionTypeFat32() override {
        if (m_partitionTypeCalls)
            ++*m_partitionTypeCalls;
        errno = EACCES;
        return false;
    }
    bool Flush() override {
        if (m_flushFails) {
            errno = EIO;
            return false;
        }
        return m_inner->Flush();
    }
    bool Unlock() override { return m_inner->Unlock(); }

  private:
    std::unique_ptr<RawVolume> m_inner;
    ULONGLONG m_failingByte;
    int m_failingWrite;
    bool m_flushFails;
    ULONGLONG m_position = 0;
    int m_writesSeen = 0;
    DWORD m_hiddenSectors = 0;
    bool m_gpt = false;
    int* m_partitionTypeCalls = nullptr;
};

} // namespace

TEST(Fat32Format, AFailedWriteEndsTheFormatWithoutALabel) {
    enum class Boot { Zeroed, Unlabelled };
    struct Case {
        const char* name;
        ULONGLONG failingSector;
        int failingWrite;
        bool flushFails;
        std::wstring text;
        Boot boot;
        // Where the pattern must still hold: nothing from there on was written.
        ULONGLONG untouchedFrom;
    };
    const std::wstring writeFailure = L"Failed to write" + kIoError;
    const Case cases[] = {
        // Bursts are 128 sectors: the one holding sector 700 starts at 640.
        {"zeroing", 700, 1, false, writeFailure, Boot::Zeroed, 640},
        // The zeroing touches every sector once; the second write is the sector's own.
        {"backup boot sector", 6, 2, false, writeFailure, Boot::Unlabelled, kFourGiBSystemSectors},
        {"second FAT", 32 + kFourGiBFatSize, 2, false, writeFailure, Boot::Unlabelled, kFourGiBSystemSectors},
        {"label", kFourGiBRootSector, 2, false, L"Failed to label device" + kIoError, Boot::Unlabelled,
         kFourGiBSystemSectors},
        {"flush", 0, 0, true, L"Failed to dismount device" + kIoError, Boot::Unlabelled,
         kFourGiBSystemSectors},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const auto image = folder / "card.img";
        const ULONGLONG patternBytes = (kFourGiBSystemSectors + 256) * 512ull;
        CreateImage(image, 4 * kGiB, patternBytes);
        auto volume = std::make_unique<FaultyVolume>(ImageFileVolume::Open(folder.Wide("card.img")),
                                                     c.failingSector, c.failingWrite, c.flushFails);
        EXPECT_EQ(std::wstring(FormatVolumeFat32(std::move(volume), nullptr, 64, nullptr)), c.text);

        const auto boot = ReadSector(image, 0);
        if (c.boot == Boot::Zeroed) {
            EXPECT_TRUE(AllZero(boot));
        } else {
            EXPECT_EQ(std::vector<BYTE>(boot.begin() + 3, boot.begin() + 11), Text("MSWIN4.1"));
            EXPECT_EQ(std::vector<BYTE>(boot.begin() + 71, boot.begin() + 82),
                      (std::vector<BYTE>{'Q', '7', 'X', 0, 0, 0, 0, 0, 0, 0, 0}))
                << "the boot sector keeps the unlabelled field";
        }
        if (c.untouchedFrom > kFourGiBRootSector) {
            EXPECT_TRUE(AllZero(ReadSector(image, kFourGiBRootSector))) << "no label entry";
        }
        EXPECT_EQ(FirstPatternMismatch(image, c.untouchedFrom * 512, patternBytes - c.untouchedFrom * 512),
                  std::nullopt);
    }
}

TEST(Fat32Format, AVolumeHeldElsewhereIsNeverWritten) {
    TestFolder folder;
    const auto image = folder / "card.img";
    CreateImage(image, 4 * kGiB, 2 * kMiB);
    const ULONGLONG allocated = ImageFileAllocatedBytes(folder.Wide("card.img"));
    auto holder = ImageFileVolume::Open(folder.Wide("card.img"));
    ASSERT_TRUE(holder && holder->Lock());
    EXPECT_EQ(std::wstring(FormatImage(folder, "card.img", 64)),
              L"Failed to lock device\nGetLastError()=11: Resource temporarily unavailable\n");
    EXPECT_EQ(FirstPatternMismatch(image, 0, 2 * kMiB), std::nullopt);
    EXPECT_EQ(ImageFileAllocatedBytes(folder.Wide("card.img")), allocated);

    holder.reset();
    EXPECT_EQ(std::wstring(FormatImage(folder, "card.img", 64)), L"") << "free again once the holder lets go";
}

TEST(Fat32Format, ADriveThatIsNoCardIsNeverOpened) {
    TestFolder folder;
    DriveTable::Instance().Unregister(L'Q');
    DriveTable::Instance().Unregister(L'R');
    EXPECT_EQ(std::wstring(FormatVolumeFat32(nullptr, 'Q', 64, nullptr)),
              kOpenFailure + L"\nGetLastError()=2: No such file or directory\n");

    // A folder acting as a removable volume lies on some other file system: that device is not the card.
    DriveVolume plainFolder;
    plainFolder.letter = L'R';
    plainFolder.mountRoot = folder.Wide();
    plainFolder.removable = true;
    ASSERT_EQ(DriveTable::Instance().Register(plainFolder), L'R');
    EXPECT_EQ(std::wstring(FormatVolumeFat32(nullptr, 'r', 64, nullptr)),
              kOpenFailure + L"\nGetLastError()=19: No such device\n");
    DriveTable::Instance().Unregister(L'R');

    errno = 0;
    EXPECT_EQ(std::wstring(
                  FormatVolumeFat32(ImageFileVolume::Open(folder.Wide("missing.img")), nullptr, 64, nullptr)),
              kOpenFailure + L"\nGetLastError()=2: No such file or directory\n");
}

TEST(Fat32Format, OnlyAnMbrPartitionHasItsTypeSet) {
    for (const bool gpt : {false, true}) {
        SCOPED_TRACE(gpt ? "GPT" : "MBR");
        TestFolder folder;
        CreateImage(folder / "card.img", 4 * kGiB);
        auto volume =
            std::make_unique<FaultyVolume>(ImageFileVolume::Open(folder.Wide("card.img")), 0, 0, false);
        int typeCalls = 0;
        volume->ActAsPartition(8192, gpt, &typeCalls);
        // The type byte is a courtesy to other systems: failing to set it fails nothing.
        EXPECT_EQ(std::wstring(FormatVolumeFat32(std::move(volume), nullptr, 64, nullptr)), L"");
        EXPECT_EQ(typeCalls, gpt ? 0 : 1);
        EXPECT_EQ(Little32(ReadSector(folder / "card.img", 0), 28), 8192u) << "hidden sectors";
    }
}
