#include "platform/base/drivetable.h"

#include "platform/base/filesystem.h"
#include "platform/base/unicode.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace {

class DriveTableTest : public testing::Test {
  protected:
    void SetUp() override { DriveTable::Instance().Clear(); }
    void TearDown() override { DriveTable::Instance().Clear(); }

    static wchar_t Add(wchar_t letter, const std::wstring& root, bool removable = true) {
        DriveVolume volume;
        volume.letter = letter;
        volume.mountRoot = root;
        volume.removable = removable;
        return DriveTable::Instance().Register(volume);
    }
};

} // namespace

TEST_F(DriveTableTest, LettersAreGivenFromDOnward) {
    DriveVolume card;
    card.mountRoot = L"/media/card/";
    card.usbVendorId = 0x1234;
    card.usbProductId = 0xABCD;
    card.label = L"TREVO";
    EXPECT_EQ(DriveTable::Instance().Register(card), L'D');
    EXPECT_EQ(Add(L'f', L"/media/f"), L'F');
    EXPECT_EQ(Add(0, L"/media/e"), L'E');
    EXPECT_EQ(Add(0, L"/media/g"), L'G');

    struct Refused {
        wchar_t letter;
        const wchar_t* root;
    };
    const Refused refused[] = {
        {L'D', L"/media/other"}, // letter taken
        {0, L"/media/card"},     // root already has a letter
        {0, L"media/relative"},  // not an absolute root
        {0, L""},
        {L'1', L"/media/digit"},
    };
    for (const auto& r : refused)
        EXPECT_EQ(Add(r.letter, r.root), 0) << Utf8FromWide(r.root);

    const auto found = DriveTable::Instance().Find(L'd');
    ASSERT_TRUE(found);
    EXPECT_EQ(found->mountRoot, L"/media/card");
    EXPECT_EQ(found->usbVendorId, 0x1234u);
    EXPECT_EQ(found->usbProductId, 0xABCDu);
    EXPECT_EQ(found->label, L"TREVO");
    EXPECT_EQ(DriveTable::Instance().LetterOfRoot(L"/media/e/"), L'E');
    EXPECT_EQ(DriveTable::Instance().LetterOfRoot(L"/media"), 0);

    EXPECT_TRUE(DriveTable::Instance().Unregister(L'e'));
    EXPECT_FALSE(DriveTable::Instance().Unregister(L'E'));
    EXPECT_EQ(Add(0, L"/media/again"), L'E');

    for (wchar_t letter = L'H'; letter <= L'Z'; ++letter)
        EXPECT_EQ(Add(0, L"/media/" + std::wstring(1, letter)), letter);
    EXPECT_EQ(Add(0, L"/media/one-too-many"), 0);
    EXPECT_EQ(DriveTable::Instance().Volumes().size(), 23u);
}

TEST_F(DriveTableTest, WindowsPathsTranslate) {
    Add(L'E', L"/media/card");
    Add(L'F', L"/", false);
    Add(L'G', L"/media/card/inner");
    const std::wstring repair = FileSystem::RepairFolder();
    const std::wstring program = FileSystem::ProgramFolder();
    const std::wstring programParent = program.substr(0, program.find_last_of(L'/'));
    struct Case {
        std::wstring windows;
        std::wstring linuxPath;
    };
    const Case cases[] = {
        {L"E:\\DCIM\\a.mp4", L"/media/card/DCIM/a.mp4"},
        {L"e:\\DCIM", L"/media/card/DCIM"},
        {L"E:", L"/media/card"},
        {L"E:\\", L"/media/card"},
        {L"E:/x//y\\", L"/media/card/x/y"},
        {L"E:\\a\\.\\b\\..\\c", L"/media/card/a/c"},
        {L"E:\\..\\..\\etc", L"/media/card/etc"},
        {L"E:\\\uB179\uD654\\\uD30C\uC77C.mp4", L"/media/card/\uB179\uD654/\uD30C\uC77C.mp4"},
        {L"G:\\x", L"/media/card/inner/x"},
        {L"F:\\etc\\hosts", L"/etc/hosts"},
        {L"F:\\", L"/"},
        {L"\\\\?\\E:\\long\\name", L"/media/card/long/name"},
        {L"Q:\\x", L""},
        {L"\\\\server\\share\\x", L""},
        {L"\\\\?\\UNC\\server\\share\\x", L""},
        {L"C:\\repair", repair},
        {L"c:\\REPAIR\\x_F_.avi", repair + L"/x_F_.avi"},
        {L"C:\\repairs\\x", L""},
        {L"C:\\Windows", L""},
        {L"/home/user/a\\b", L"/home/user/a/b"},
        {L".\\ResStorage.dat", program + L"/ResStorage.dat"},
        {L"ref.mp4", program + L"/ref.mp4"},
        {L"..\\tools\\x", programParent + L"/tools/x"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TranslatePath(c.windows), c.linuxPath) << Utf8FromWide(c.windows);
}

TEST_F(DriveTableTest, LinuxPathsTranslateBack) {
    Add(L'E', L"/media/card");
    Add(L'G', L"/media/card/inner");
    const std::wstring repair = FileSystem::RepairFolder();
    struct Case {
        std::wstring linuxPath;
        std::wstring windows;
    };
    const Case cases[] = {
        {L"/media/card/DCIM/a.mp4", L"E:\\DCIM\\a.mp4"},
        {L"/media/card", L"E:\\"},
        {L"/media/card/", L"E:\\"},
        {L"/media/card//DCIM/./b", L"E:\\DCIM\\b"},
        {L"/media/card/inner/x", L"G:\\x"},
        {L"/media/cardboard/x", L""},
        {L"/media/card/../../etc", L""},
        {L"/media", L""},
        {repair + L"/x_F_.avi", L"C:\\repair\\x_F_.avi"},
        {repair, L"C:\\repair"},
        {L"media/card/x", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowsPathFromLinux(c.linuxPath), c.windows) << Utf8FromWide(c.linuxPath);
        if (!c.windows.empty()) {
            EXPECT_EQ(WindowsPathFromLinux(TranslatePath(c.windows)), c.windows) << Utf8FromWide(c.linuxPath);
        }
    }
}

TEST_F(DriveTableTest, LogicalDriveStrings) {
    wchar_t buffer[32];
    EXPECT_EQ(GetLogicalDriveStringsW(32, buffer), 0u);
    EXPECT_EQ(GetLogicalDrives(), 0u);

    Add(L'H', L"/media/h");
    Add(L'D', L"/data", false);
    Add(L'E', L"/media/e");
    EXPECT_EQ(GetLogicalDrives(), (1u << 3) | (1u << 4) | (1u << 7));

    const std::wstring expected(L"D:\\\0E:\\\0H:\\\0\0", 13);
    EXPECT_EQ(GetLogicalDriveStringsW(0, nullptr), 13u);
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(GetLogicalDriveStringsW(12, buffer), 13u);
    EXPECT_EQ(buffer[0], L'#');
    EXPECT_EQ(GetLogicalDriveStringsW(13, buffer), 12u);
    EXPECT_EQ(std::wstring(buffer, 13), expected);
    EXPECT_EQ(buffer[13], L'#');
}

TEST_F(DriveTableTest, DriveTypes) {
    Add(L'D', L"/data", false);
    Add(L'E', L"/media/e");
    struct Case {
        const wchar_t* root;
        UINT type;
    };
    const Case cases[] = {
        {L"D:\\", DRIVE_FIXED},       {L"E:\\", DRIVE_REMOVABLE},   {L"e:", DRIVE_REMOVABLE},
        {L"E:/", DRIVE_REMOVABLE},    {L"Z:\\", DRIVE_NO_ROOT_DIR}, {L"E:\\DCIM", DRIVE_NO_ROOT_DIR},
        {L"", DRIVE_NO_ROOT_DIR},     {L"EE", DRIVE_NO_ROOT_DIR},   {L"1:\\", DRIVE_NO_ROOT_DIR},
        {nullptr, DRIVE_NO_ROOT_DIR},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetDriveTypeW(c.root), c.type) << (c.root ? Utf8FromWide(c.root) : "(null)");
}

TEST_F(DriveTableTest, ConcurrentRegistrationsGetDistinctLetters) {
    constexpr int kThreads = 8, kEach = 2;
    std::vector<std::vector<wchar_t>> letters(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &letters] {
            for (int i = 0; i < kEach; ++i) {
                const std::wstring root = L"/media/t" + std::to_wstring(t) + L"-" + std::to_wstring(i);
                const wchar_t letter = Add(0, root);
                letters[t].push_back(letter);
                EXPECT_EQ(TranslatePath(std::wstring(1, letter) + L":\\x"), root + L"/x");
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    std::set<wchar_t> distinct;
    for (const auto& perThread : letters) {
        for (wchar_t letter : perThread) {
            EXPECT_GE(letter, L'D');
            EXPECT_LE(letter, L'Z');
            distinct.insert(letter);
        }
    }
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kThreads * kEach));
}
