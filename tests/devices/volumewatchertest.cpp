#include "platform/devices/volumewatcher.h"
#include "devicetestsupport.h"
#include "platform/ui/app.h"
#include "platform/ui/devicebroadcast.h"
#include "uitest.h"
#include "viewer/ui/usbdrivedetector.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

namespace {

struct Broadcast {
    WPARAM event = 0;
    DEV_BROADCAST_VOLUME volume;
};

// A demo card given through TREVO_EXTRA_VOLUMES, and the program's main window, which keeps every
// device broadcast it is sent.
class VolumeWatcherTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_window.CreateTop(CRect(0, 0, 40, 40)));
        m_app.m_pMainWnd = &m_window;
        m_window.handler = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (message != WM_DEVICECHANGE)
                return false;
            m_broadcasts.push_back({wParam, *reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lParam)});
            if (m_onBroadcast)
                m_onBroadcast();
            result = TRUE;
            return true;
        };
        std::filesystem::create_directories(m_card);
        m_table.Write({});
    }

    VolumeSources Sources() const {
        return VolumeSources{m_table.Path(), m_folder.Path().string(), m_card + ":1B3F:2008"};
    }

    void RenameAway() { std::filesystem::rename(m_card, m_card + "-away"); }
    void RenameBack() { std::filesystem::rename(m_card + "-away", m_card); }

    static void ExpectBroadcast(const Broadcast& broadcast, WPARAM event, char letter) {
        EXPECT_EQ(broadcast.event, event);
        EXPECT_EQ(broadcast.volume.dbcv_size, sizeof(DEV_BROADCAST_VOLUME));
        EXPECT_EQ(broadcast.volume.dbcv_devicetype, DBT_DEVTYP_VOLUME);
        EXPECT_EQ(broadcast.volume.dbcv_unitmask, 1u << (letter - 'A'));
        EXPECT_EQ(broadcast.volume.dbcv_flags, 0);
        EXPECT_EQ(DriveLetterFromUnitMask(broadcast.volume.dbcv_unitmask), letter);
    }

    CleanDriveTable m_clean;
    CWinApp m_app;
    TestWindow m_window;
    TestFolder m_folder;
    MountTable m_table;
    const std::string m_card = (m_folder / "card").string();
    std::vector<Broadcast> m_broadcasts;
    std::function<void()> m_onBroadcast;
};

} // namespace

TEST_F(VolumeWatcherTest, AFolderRenamedAwayIsRemovedAndArrivesAgain) {
    VolumeWatcher watcher(Sources(), AnnounceToMainWindow);
    // The card was there before: it has its letter, unannounced, and the start-up scan finds it.
    EXPECT_TRUE(m_broadcasts.empty());
    DWORD vids[26];
    DWORD pids[26];
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetUsbIdsOfDrive(vids, pids), TRUE);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(vids['D' - 'A'], 0x1B3Fu);
    EXPECT_EQ(pids['D' - 'A'], 0x2008u);

    RenameAway();
    watcher.Check();
    // Sent, not posted: the window has it when the check returns.
    ASSERT_EQ(m_broadcasts.size(), 1u);
    ExpectBroadcast(m_broadcasts[0], DBT_DEVICEREMOVECOMPLETE, 'D');
    EXPECT_FALSE(DriveTable::Instance().Find(L'D'));

    watcher.Check();
    EXPECT_EQ(m_broadcasts.size(), 1u) << "nothing changed";

    RenameBack();
    watcher.Check();
    ASSERT_EQ(m_broadcasts.size(), 2u);
    ExpectBroadcast(m_broadcasts[1], DBT_DEVICEARRIVAL, 'D');
    DWORD vid = 0;
    DWORD pid = 0;
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetUsbIdsOfDriveEx('D', &vid, &pid), TRUE);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(vid, 0x1B3Fu);
    EXPECT_EQ(pid, 0x2008u);
}

TEST_F(VolumeWatcherTest, TheSlowPollNoticesAFolderThatWentWithoutAMount) {
    VolumeWatcher watcher(Sources(), AnnounceToMainWindow, 10);
    RenameAway();
    ASSERT_TRUE(WaitFor([&] { return !m_broadcasts.empty(); }));
    ExpectBroadcast(m_broadcasts[0], DBT_DEVICEREMOVECOMPLETE, 'D');
}

TEST_F(VolumeWatcherTest, ACheckDuringADeliveryRunsAfterIt) {
    VolumeWatcher watcher(Sources(), AnnounceToMainWindow);
    int depth = 0;
    int deepest = 0;
    m_onBroadcast = [&] {
        deepest = std::max(deepest, ++depth);
        // The handler runs a message loop in which the card comes back and the watcher looks again.
        if (m_broadcasts.size() == 1) {
            RenameBack();
            watcher.Check();
        }
        --depth;
    };
    RenameAway();
    watcher.Check();
    ASSERT_EQ(m_broadcasts.size(), 2u);
    ExpectBroadcast(m_broadcasts[0], DBT_DEVICEREMOVECOMPLETE, 'D');
    ExpectBroadcast(m_broadcasts[1], DBT_DEVICEARRIVAL, 'D');
    EXPECT_EQ(deepest, 1);
}

TEST_F(VolumeWatcherTest, NothingIsSentWithoutAMainWindow) {
    VolumeWatcher watcher(Sources(), AnnounceToMainWindow);
    m_app.m_pMainWnd = nullptr;
    RenameAway();
    watcher.Check();
    EXPECT_TRUE(m_broadcasts.empty());
    EXPECT_FALSE(DriveTable::Instance().Find(L'D'));
}
