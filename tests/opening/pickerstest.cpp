// The USB device list of the start-up and the model picker: their choices headless, and the
// dialogs on their templates on Qt's offscreen platform.

#include "openingfixture.h"
#include "uitest.h"

#include "platform/ui/button.h"
#include "platform/ui/combobox.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/window.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/ui/recorderdrivelist.h"
#include "viewer/ui/selectmodeldialog.h"
#include "viewer/ui/usblistdlg.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <map>

namespace {

// The ids of the scan: drive letter -> (vid, pid); every other letter 0.
struct DriveIds {
    std::array<DWORD, 26> vids{};
    std::array<DWORD, 26> pids{};

    DriveIds(std::initializer_list<std::pair<const char, std::pair<DWORD, DWORD>>> drives) {
        for (const auto& [letter, ids] : drives) {
            vids[static_cast<size_t>(letter - 'A')] = ids.first;
            pids[static_cast<size_t>(letter - 'A')] = ids.second;
        }
    }
};

constexpr std::pair<DWORD, DWORD> kR4{0x3A7E, 0x0001};
constexpr std::pair<DWORD, DWORD> kT310{0x3A7E, 0x0002};
constexpr std::pair<DWORD, DWORD> kUnknown{0x1234, 0x5678};
constexpr std::pair<DWORD, DWORD> kNone{0, 0};

// Counts every top-level window shown while it lives.
class ShowCounter : public QObject {
  public:
    ShowCounter() { qApp->installEventFilter(this); }
    ~ShowCounter() override { qApp->removeEventFilter(this); }
    int shown = 0;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && object->isWidgetType() &&
            static_cast<QWidget*>(object)->isWindow())
            ++shown;
        return false;
    }
};

// Runs the call once the modal loop that starts next is running.
void WhenRunning(std::function<void()> call) {
    QTimer::singleShot(0, qApp, std::move(call));
}

void Click(HWND dialog, int id) {
    ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

int Checked(HWND dialog, int id) {
    return static_cast<int>(::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0));
}

} // namespace

using PickerTest = OpeningTest;

TEST_F(PickerTest, OnlyDrivesOfKnownRecordersAreListed) {
    using Entries = std::vector<RecorderDriveList::Entry>;
    const struct {
        const char* name;
        DriveIds ids;
        Entries entries;
    } cases[] = {
        {"no drives", DriveIds{}, Entries{}},
        {"ids 0 or unknown", DriveIds{{'D', kNone}, {'E', kUnknown}}, Entries{}},
        {"one recorder", DriveIds{{'D', kUnknown}, {'F', kR4}}, Entries{{L"Drive F (TREVO R4)", 5}}},
        {"two of one model", DriveIds{{'G', kR4}, {'E', kR4}},
         Entries{{L"Drive E (TREVO R4)", 4}, {L"Drive G (TREVO R4)", 6}}},
        {"two models", DriveIds{{'E', kT310}, {'Z', kR4}},
         Entries{{L"Drive E (TREVO T310)", 4}, {L"Drive Z (TREVO R4)", 25}}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(RecorderDriveList::Entries(test.ids.vids.data(), test.ids.pids.data(), *skin),
                  test.entries);
    }
}

TEST_F(PickerTest, TheDeviceListChoosesTheFirstRecorderWithoutShowingItself) {
    const struct {
        const char* name;
        DriveIds ids;
        int drive;
    } cases[] = {
        {"no recorder", DriveIds{{'D', kUnknown}, {'E', kNone}}, -1},
        {"one recorder", DriveIds{{'D', kUnknown}, {'F', kR4}}, 5},
        {"two of one model", DriveIds{{'G', kR4}, {'E', kR4}}, 4},
        {"two models", DriveIds{{'E', kT310}, {'G', kR4}}, 4},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        ShowCounter shows;
        CUSBListDlg dialog;
        dialog.SetDriveIds(test.ids.vids.data(), test.ids.pids.data());
        dialog.SetResStorage(skin.get());
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.GetSelectedDrive(), test.drive);
        EXPECT_EQ(shows.shown, 0);
        EXPECT_EQ(dialog.m_hWnd, nullptr);
    }
}

TEST_F(PickerTest, WithoutItsIdsTheDeviceListWaitsEmptyForTheUser) {
    CUSBListDlg dialog;
    dialog.SetResStorage(skin.get());
    bool openAfterOpen = false;
    int entries = -1;
    CString caption;
    CString openText;
    CString cancelText;
    LONG_PTR listStyle = 0;
    WhenRunning([&] {
        entries = static_cast<int>(
            ::SendMessageW(::GetDlgItem(dialog.m_hWnd, CUSBListDlg::kDriveList), CB_GETCOUNT, 0, 0));
        listStyle = ::GetWindowLongPtrW(::GetDlgItem(dialog.m_hWnd, CUSBListDlg::kDriveList), GWL_STYLE);
        dialog.GetWindowText(caption);
        dialog.GetDlgItemText(CUSBListDlg::kOpen, openText);
        dialog.GetDlgItemText(IDOK, cancelText);
        // "Open" does nothing; "Cancel" is the dialog's OK.
        Click(dialog.m_hWnd, CUSBListDlg::kOpen);
        openAfterOpen = dialog.IsWindowVisible() != FALSE;
        Click(dialog.m_hWnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetSelectedDrive(), -1);
    EXPECT_EQ(entries, 0);
    EXPECT_TRUE(openAfterOpen);
    EXPECT_EQ(std::wstring(caption), L"Dialog");
    EXPECT_EQ(std::wstring(openText), L"Open");
    EXPECT_EQ(std::wstring(cancelText), L"Cancel");
    EXPECT_NE(listStyle & CBS_SORT, 0);
}

TEST_F(PickerTest, TheStartUpModelIsThreeAndEveryModelButtonSetsItsIndex) {
    SetModelIndex(1);
    EXPECT_EQ(SetDefaultModelIndex(), 3);
    EXPECT_EQ(GetModelIndex(), 3);

    const std::map<UINT, int> models{{20029, -1}, {20030, 0},  {20031, 1}, {20032, 2},
                                     {20033, 3},  {20034, -1}, {IDOK, -1}};
    for (const auto& [id, model] : models)
        EXPECT_EQ(CSelectModelDialog::ModelIndexOfCommand(id), model) << id;
}

TEST_F(PickerTest, TheModelPickerStartsAtModelZeroAndKeepsTheLastClickWhenCancelled) {
    const struct {
        const char* name;
        std::vector<int> clicks;
        int end; // IDOK: its button; IDCANCEL: as the Escape key ends it
        int model;
    } cases[] = {
        {"nothing clicked, OK", {}, IDOK, 0},
        {"20033, then cancelled", {20033}, IDCANCEL, 3},
        {"20032 then 20031, OK", {20032, 20031}, IDOK, 1},
        {"nothing clicked, cancelled", {}, IDCANCEL, 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        SetModelIndex(2);
        CSelectModelDialog dialog;
        int modelAtStart = -1;
        std::vector<int> checkedAtStart;
        int lastChecked = 0;
        CString caption;
        WhenRunning([&] {
            modelAtStart = GetModelIndex();
            dialog.GetWindowText(caption);
            for (int id = 20030; id <= 20033; ++id)
                checkedAtStart.push_back(Checked(dialog.m_hWnd, id));
            for (int id : test.clicks)
                Click(dialog.m_hWnd, id);
            if (!test.clicks.empty())
                lastChecked = Checked(dialog.m_hWnd, test.clicks.back());
            if (test.end == IDOK)
                Click(dialog.m_hWnd, IDOK);
            else
                ::SendMessageW(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        EXPECT_EQ(dialog.DoModal(), test.end);
        EXPECT_EQ(modelAtStart, 0);
        EXPECT_EQ(std::wstring(caption), L"Select model");
        EXPECT_EQ(checkedAtStart,
                  (std::vector<int>{BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED}));
        if (!test.clicks.empty()) {
            EXPECT_EQ(lastChecked, BST_CHECKED);
        }
        EXPECT_EQ(GetModelIndex(), test.model);
    }
}
