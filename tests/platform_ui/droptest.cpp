// Dropped files, read whole through the one helper every drop target uses.

#include "uitest.h"

#include "platform/ui/drop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Drops, EveryPathArrivesWholeAndInOrder) {
    TestWindow target;
    ASSERT_TRUE(target.CreateTop(CRect(0, 0, 100, 100), WS_POPUP | WS_VISIBLE));
    target.DragAcceptFiles();
    std::vector<std::wstring> received;
    HDROP seen = nullptr;
    target.handler = [&](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
        if (message == WM_DROPFILES) {
            seen = reinterpret_cast<HDROP>(wParam);
            received = DroppedFiles(seen);
        }
        return false;
    };
    // A path longer than the 1,023 characters the old buffers took: cut there, it named another
    // file.
    const std::wstring deep = L"/tmp/" + std::wstring(1100, L'd') + L"/Front.avi";
    const std::vector<std::wstring> dropped = {L"/media/card/Drive", deep, L"/tmp/\uB4DC\uB77C\uC774\uBE0C.avi"};
    DropPaths(target.m_hWnd, dropped);
    EXPECT_EQ(received, dropped);
    // The handle ends with the message.
    EXPECT_TRUE(DroppedFiles(seen).empty());
}

} // namespace
