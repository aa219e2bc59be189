// Same file or not, by device and inode: the tools' guard against writing onto their input.
#include "platform/base/fileidentity.h"

#include "support/testfolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(FileIdentity, SpellingsOfOneFileAreTheSameAndOtherFilesAreNot) {
    TestFolder folder;
    std::filesystem::create_directories(folder / "sub");
    std::ofstream(folder / "a.avi") << "a";
    std::ofstream(folder / "b.avi") << "a";
    std::filesystem::create_hard_link(folder / "a.avi", folder / "hard.avi");
    std::filesystem::create_symlink(folder / "a.avi", folder / "soft.avi");

    const std::wstring a = folder.Wide("a.avi");
    struct Case {
        std::wstring other;
        bool same;
    };
    const Case cases[] = {
        {a, true},
        {folder.Wide("sub/../a.avi"), true},
        {folder.Wide("hard.avi"), true},
        {folder.Wide("soft.avi"), true},
        {folder.Wide("b.avi"), false}, // equal content, another file
        {folder.Wide("missing.avi"), false},
        {folder.Wide("sub"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileSystem::IsSameFile(a, c.other), c.same) << Utf8FromWide(c.other);
        EXPECT_EQ(FileSystem::IsSameFile(c.other, a), c.same) << Utf8FromWide(c.other);
    }
    EXPECT_FALSE(FileSystem::IsSameFile(folder.Wide("missing.avi"), folder.Wide("missing.avi")));
}

} // namespace
