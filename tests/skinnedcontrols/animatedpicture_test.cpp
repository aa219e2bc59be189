#include "platform/ui/picturedecoder.h"
#include "platform/ui/qtaccess.h"
#include "skintest.h"
#include "uitest.h"
#include "viewer/skin/animatedpicture.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

void Append(Bytes& to, const Bytes& from) {
    to.insert(to.end(), from.begin(), from.end());
}

// A logical screen of width x 1 with a black and white colour table.
Bytes Header(BYTE width) {
    return {'G', 'I', 'F', '8', '9', 'a', width, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF};
}

Bytes Control(BYTE delay, BYTE disposal) {
    return {0x21, 0xF9, 4, static_cast<BYTE>(disposal << 2), delay, 0, 0, 0};
}

// One pixel of colour index 0 (black) or 1 (white) at x.
Bytes Pixel(BYTE x, bool white) {
    return {0x2C, x, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, static_cast<BYTE>(white ? 0x4C : 0x44), 0x01, 0};
}

const Bytes kApplication = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                            'E',  '2',  '.', '0', 3,   1,   0,   0,   0};
const Bytes kComment = {0x21, 0xFE, 3, 'a', 'b', 'c', 0};

Bytes OneFrame() {
    Bytes gif = Header(1);
    Append(gif, Pixel(0, true));
    gif.push_back(0x3B);
    return gif;
}

// Three frames on a 2 x 1 screen: white at x 0 (cleared after), black at x 1, white at x 1 without
// a control block; extensions between them.
Bytes ThreeFrames() {
    Bytes gif = Header(2);
    Append(gif, kApplication);
    Append(gif, Control(2, 2));
    Append(gif, kComment);
    Append(gif, Pixel(0, true));
    Append(gif, Control(7, 1));
    Append(gif, Pixel(1, false));
    Append(gif, kComment);
    Append(gif, Pixel(1, true));
    gif.push_back(0x3B);
    return gif;
}

TEST(GifWalkTest, FramesAreCountedAcrossExtensions) {
    const Bytes one = OneFrame();
    const Bytes three = ThreeFrames();
    EXPECT_EQ(CAnimatedPicture::CountGifFrames(one.data(), one.size()), 1u);
    EXPECT_EQ(CAnimatedPicture::CountGifFrames(three.data(), three.size()), 3u);
    const Bytes png = {0x89, 'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(CAnimatedPicture::CountGifFrames(png.data(), png.size()), 0u);
}

TEST(GifWalkTest, EachFrameBecomesACompleteGifThatDecodes) {
    const Bytes three = ThreeFrames();
    const auto frames = CAnimatedPicture::SplitGif(three.data(), three.size());
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].delay, 2u);
    EXPECT_EQ(frames[0].disposal, 2u);
    EXPECT_EQ(frames[1].delay, 7u);
    EXPECT_EQ(frames[1].disposal, 1u);
    EXPECT_EQ(frames[2].delay, CAnimatedPicture::NO_DELAY);
    EXPECT_EQ(frames[2].disposal, 0u);
    EXPECT_EQ(frames[1].frameOffset.cx, 1);
    EXPECT_EQ(frames[1].frameSize.cx, 1);
    EXPECT_EQ(frames[1].frameSize.cy, 1);

    Bytes expected = Header(2);
    Append(expected, Control(7, 1));
    Append(expected, Pixel(1, false));
    expected.push_back(0x3B);
    EXPECT_EQ(frames[1].gif, expected) << "header, screen, colour table, the frame's blocks, trailer";
    for (const auto& frame : frames) {
        HBITMAP picture = DecodePictureData(frame.gif.data(), frame.gif.size(), kKey);
        ASSERT_NE(picture, nullptr);
        DeleteObject(picture);
    }
}

TEST(GifWalkTest, TruncatedDataEndsTheWalkInsideTheData) {
    const Bytes three = ThreeFrames();
    for (size_t length = 0; length < three.size(); ++length) {
        // A copy of exactly that length, so that a read past it is caught by the address checker.
        const Bytes cut(three.begin(), three.begin() + static_cast<std::ptrdiff_t>(length));
        const size_t count = CAnimatedPicture::CountGifFrames(cut.data(), cut.size());
        EXPECT_LE(count, 3u);
        EXPECT_EQ(CAnimatedPicture::SplitGif(cut.data(), cut.size()).size(), count) << length;
    }
}

TEST(GifWalkTest, ShortDelaysShowForATenthOfASecond) {
    EXPECT_EQ(CAnimatedPicture::FrameWait(0), 100u);
    EXPECT_EQ(CAnimatedPicture::FrameWait(4), 100u);
    EXPECT_EQ(CAnimatedPicture::FrameWait(5), 50u);
    EXPECT_EQ(CAnimatedPicture::FrameWait(30), 300u);
    EXPECT_EQ(CAnimatedPicture::FrameWait(CAnimatedPicture::NO_DELAY), 4294967286u);
}

class AnimatedPictureTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(top.CreateTop(CRect(100, 100, 300, 300)));
        ASSERT_TRUE(picture.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &top, 5));
    }

    TestWindow top;
    CAnimatedPicture picture;
};

TEST_F(AnimatedPictureTest, DrawNeedsALoadAndAStillPictureStartsNoThread) {
    EXPECT_FALSE(picture.Draw());
    Bytes one = OneFrame();
    ASSERT_TRUE(picture.Load(one.data(), static_cast<DWORD>(one.size())));
    EXPECT_TRUE(picture.Draw());
    EXPECT_FALSE(picture.IsPlaying());
    EXPECT_EQ(picture.GetFrameCount(), 0u);
    picture.UpdateWindow();
    Pump();
    EXPECT_EQ(WindowPicture(picture.m_hWnd).pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(AnimatedPictureTest, AnimationPlaysAndStopJoinsItsThread) {
    Bytes three = ThreeFrames();
    ASSERT_TRUE(picture.Load(three.data(), static_cast<DWORD>(three.size())));
    EXPECT_EQ(picture.GetFrameCount(), 3u);
    EXPECT_EQ(picture.GetPictureSize().cx, 2);
    CRect size;
    picture.GetClientRect(&size);
    EXPECT_EQ(size.Width(), 2) << "the control takes the picture's size";
    ASSERT_TRUE(picture.Draw());
    EXPECT_TRUE(picture.IsPlaying());
    ASSERT_TRUE(WaitFor([&] { return WindowPicture(picture.m_hWnd).pixel(0, 0) == qRgb(255, 255, 255); }));
    picture.Stop();
    EXPECT_FALSE(picture.IsPlaying());
    // Stopped and loaded again: the old frames go only after the thread has ended.
    ASSERT_TRUE(picture.Draw());
    ASSERT_TRUE(picture.Load(three.data(), static_cast<DWORD>(three.size())));
    EXPECT_FALSE(picture.IsPlaying());
    picture.UnLoad();
    EXPECT_FALSE(picture.Draw());
}

TEST_F(AnimatedPictureTest, DamagedDataLoadsNothing) {
    const Bytes junk = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x77};
    EXPECT_FALSE(picture.Load(const_cast<BYTE*>(junk.data()), static_cast<DWORD>(junk.size())));
    EXPECT_FALSE(picture.Draw());
    EXPECT_FALSE(picture.Load(static_cast<HGLOBAL>(nullptr), 0));
}

} // namespace
