// Snapshot file names and formats from what the save dialog returned.

#include "viewer/ui/imagesavename.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A folder of the length that makes the whole path "length" characters with the given name.
std::wstring PathOfLength(size_t length, const std::wstring& name) {
    return L"/" + std::wstring(length - 2 - name.size(), L'd') + L"/" + name;
}

TEST(ImageSaveName, NamesAndFormatsFollowTheRealExtensionOrTheChosenFilter) {
    struct Case {
        std::wstring chosen;
        int filter;
        ImageFileFormat format;
        std::wstring channel0;
        std::wstring channel3;
    };
    const Case cases[] = {
        {L"/pics/crash.png", 1, ImageFileFormat::Png, L"/pics/crash-CH1.png", L"/pics/crash-CH4.png"},
        {L"/pics/crash.jpg", 3, ImageFileFormat::Jpeg, L"/pics/crash-CH1.jpg", L"/pics/crash-CH4.jpg"},
        // Four letters and any case: the suffix goes before the whole extension, which keeps its letters.
        {L"/pics/crash.jpeg", 1, ImageFileFormat::Jpeg, L"/pics/crash-CH1.jpeg", L"/pics/crash-CH4.jpeg"},
        {L"/pics/crash.JPEG", 2, ImageFileFormat::Jpeg, L"/pics/crash-CH1.JPEG", L"/pics/crash-CH4.JPEG"},
        {L"/pics/crash.Bmp", 1, ImageFileFormat::Bmp, L"/pics/crash-CH1.Bmp", L"/pics/crash-CH4.Bmp"},
        {L"/pics/crash.PNG", 2, ImageFileFormat::Png, L"/pics/crash-CH1.PNG", L"/pics/crash-CH4.PNG"},
        // No image extension: the chosen filter's is added after the whole name.
        {L"/pics/crash", 3, ImageFileFormat::Png, L"/pics/crash-CH1.png", L"/pics/crash-CH4.png"},
        {L"/pics/crash", 2, ImageFileFormat::Bmp, L"/pics/crash-CH1.bmp", L"/pics/crash-CH4.bmp"},
        {L"/pics/crash", 0, ImageFileFormat::Jpeg, L"/pics/crash-CH1.jpg", L"/pics/crash-CH4.jpg"},
        {L"/pics/crash", 9, ImageFileFormat::Jpeg, L"/pics/crash-CH1.jpg", L"/pics/crash-CH4.jpg"},
        {L"/pics/crash.tiff", 2, ImageFileFormat::Bmp, L"/pics/crash.tiff-CH1.bmp",
         L"/pics/crash.tiff-CH4.bmp"},
        {L"/pics.old/crash", 1, ImageFileFormat::Jpeg, L"/pics.old/crash-CH1.jpg",
         L"/pics.old/crash-CH4.jpg"},
        {L"/pics/.png", 1, ImageFileFormat::Jpeg, L"/pics/.png-CH1.jpg", L"/pics/.png-CH4.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.chosen.begin(), c.chosen.end()) + " filter " + std::to_string(c.filter));
        const ImageSaveName name(c.chosen, c.filter);
        EXPECT_EQ(name.Format(), c.format);
        EXPECT_EQ(name.PathOfChannel(0), c.channel0);
        EXPECT_EQ(name.PathOfChannel(3), c.channel3);
    }
}

TEST(ImageSaveName, PathsLongerThan254CharactersKeepTheirFirst250) {
    struct Case {
        size_t length;
        std::wstring name;
        size_t keptBase;
    };
    const Case cases[] = {
        {254, L"crash.jpg", 250}, // loses exactly its extension
        {200, L"crash.jpeg", 195}, {255, L"crash.jpg", 250}, {258, L"crash.jpg", 250},
        {300, L"crash.png", 250},  {258, L"crash", 250},
    };
    for (const Case& c : cases) {
        const std::wstring chosen = PathOfLength(c.length, c.name);
        ASSERT_EQ(chosen.size(), c.length);
        const std::wstring path = ImageSaveName(chosen, 1).PathOfChannel(1);
        const std::wstring suffix = path.substr(c.keptBase);
        EXPECT_EQ(path.substr(0, c.keptBase), chosen.substr(0, c.keptBase)) << c.length;
        EXPECT_EQ(suffix.substr(0, 5), L"-CH2.") << c.length;
        EXPECT_EQ(suffix.find(L'/'), std::wstring::npos) << c.length;
    }
}

} // namespace
