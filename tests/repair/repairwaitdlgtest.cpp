// The repair wait box: its place over the view, and showing and hiding it from a worker thread.

#include "uitest.h"

#include "platform/ui/static.h"
#include "viewer/ui/repairwaitdlg.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(RepairWaitDlg, TheBoxIsCentredOverTheReferenceWithIntegerHalves) {
    struct Case {
        CRect box;
        CRect reference;
        CPoint origin;
    };
    const Case cases[] = {
        {CRect(0, 0, 100, 50), CRect(0, 0, 300, 150), CPoint(100, 50)},
        {CRect(500, 500, 600, 550), CRect(10, 20, 311, 171), CPoint(110, 70)},
        // A reference smaller than the box, partly off the screen's left: halves truncate to zero.
        {CRect(0, 0, 100, 50), CRect(-300, 0, -241, 31), CPoint(-320, -9)},
    };
    for (const Case& c : cases) {
        const CPoint origin = RepairWaitDlg::CentredOrigin(c.box, c.reference);
        EXPECT_EQ(origin.x, c.origin.x);
        EXPECT_EQ(origin.y, c.origin.y);
    }
}

TEST(RepairWaitDlg, AWorkerShowsItCentredAndHidesItWhileItKeepsItsTextAndAnimation) {
    RepairWaitDlg box;
    ASSERT_TRUE(box.Create(RepairWaitDlg::IDD, nullptr));
    box.ShowWindow(SW_HIDE);
    EXPECT_TRUE(box.GetPicture().IsPlaying());
    CString text;
    box.GetDlgItemText(RepairWaitDlg::kText, text);
    EXPECT_EQ(text, CString(L"ファイルの復元中です。"));
    CRect before;
    box.GetClientRect(&before);

    const CRect view(40, 60, 1240, 860);
    std::thread worker([&] { box.ShowCentred(view); });
    ASSERT_TRUE(WaitFor([&] { return box.IsWindowVisible() != FALSE; }));
    worker.join();
    CRect client;
    box.GetClientRect(&client);
    EXPECT_EQ(client.Size(), before.Size());
    CRect shown;
    box.GetWindowRect(&shown);
    const CPoint origin = RepairWaitDlg::CentredOrigin(shown, view);
    EXPECT_EQ(shown.left, origin.x);
    EXPECT_EQ(shown.top, origin.y);

    std::thread hider([&] { box.Hide(); });
    ASSERT_TRUE(WaitFor([&] { return box.IsWindowVisible() == FALSE; }));
    hider.join();
    EXPECT_TRUE(box.GetPicture().IsPlaying());
    box.DestroyWindow();
}

} // namespace
