// Tool tips, statics, resources loaded from files and the application's message loop.

#include "uitest.h"

#include "platform/base/unicode.h"
#include "platform/ui/app.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/cursor.h"
#include "platform/ui/dc.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/resources.h"
#include "platform/ui/static.h"
#include "platform/ui/tooltipctrl.h"

#include "support/testfolder.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <thread>

namespace {

TEST(ToolTips, ToolsGiveTheirTextBrokenToTheMaximumWidth) {
    TestWindow parent;
    TestWindow button;
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 300, 300)));
    ASSERT_TRUE(button.CreateChild(&parent, CRect(10, 10, 60, 40), 5));
    CToolTipCtrl tips;
    EXPECT_FALSE(tips.AddTool(&button, L"Play"));
    ASSERT_TRUE(tips.Create(&parent, TTS_ALWAYSTIP));
    ASSERT_TRUE(tips.AddTool(&button, L"Play the recording from the start"));
    EXPECT_EQ(std::wstring(tips.GetTipText(&button, POINT{5, 5})), L"Play the recording from the start");
    tips.SetMaxTipWidth(60);
    const std::wstring wrapped(tips.GetTipText(&button, POINT{5, 5}));
    EXPECT_NE(wrapped.find(L'\n'), std::wstring::npos);
    tips.UpdateTipText(L"Pause", &button);
    EXPECT_EQ(std::wstring(tips.GetTipText(&button, POINT{5, 5})), L"Pause");
    tips.DelTool(&button);
    EXPECT_TRUE(tips.GetTipText(&button, POINT{5, 5}).IsEmpty());
}

TEST(ToolTips, TipShowsAfterTheMouseRestsOverTheTool) {
    TestWindow parent;
    TestWindow button;
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 300, 300)));
    ASSERT_TRUE(button.CreateChild(&parent, CRect(10, 10, 60, 40), 5));
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&parent, TTS_ALWAYSTIP));
    ASSERT_TRUE(tips.AddTool(&button, L"Capture"));
    tips.SetDelayTime(20);
    QWidget* widget = InputWidgetFromHandle(button.m_hWnd);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(widget->mapToGlobal(QPoint(5, 5))));
    QCoreApplication::sendEvent(widget, &enter);
    SendMouse(button.m_hWnd, QEvent::MouseMove, Qt::NoButton, QPoint(5, 5), Qt::NoButton);
    ASSERT_TRUE(WaitFor([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Capture"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
    EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }));
}

TEST(Statics, ShowTheirTextAndLetTheMousePassUnlessTheyNotify) {
    TestWindow parent;
    ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 200, 100)));
    CStatic label;
    ASSERT_TRUE(label.Create(L"Label", WS_VISIBLE | SS_CENTER, CRect(0, 0, 100, 30), &parent));
    CStatic notifying;
    ASSERT_TRUE(notifying.Create(L"", WS_VISIBLE | SS_NOTIFY, CRect(100, 0, 200, 30), &parent, 9));
    EXPECT_TRUE(WidgetFromHandle(label.m_hWnd)->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(WidgetFromHandle(notifying.m_hWnd)->testAttribute(Qt::WA_TransparentForMouseEvents));
    label.UpdateWindow();
    const QImage picture = WindowPicture(label.m_hWnd);
    int ink = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            ink += picture.pixel(x, y) != qRgb(240, 240, 240) ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 10);
}

TEST(Resources, BitmapsAndCursorsLoadFromFilesAndMissingOnesAreNull) {
    TestFolder folder;
    const std::wstring path = folder.Wide("picture.bmp");
    {
        // A 2 x 2 24-bit BMP, rows of 8 bytes.
        std::vector<unsigned char> file(54 + 16, 0);
        file[0] = 'B';
        file[1] = 'M';
        const DWORD offset = 54;
        std::memcpy(&file[10], &offset, 4);
        BITMAPINFOHEADER header;
        header.biWidth = 2;
        header.biHeight = 2;
        header.biBitCount = 24;
        std::memcpy(&file[14], &header, sizeof(header));
        file[54 + 2] = 255;
        std::ofstream(folder / "picture.bmp", std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    const auto bitmap =
        static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(ImageFromBitmap(bitmap).pixel(0, 1), qRgb(255, 0, 0));
    const auto stretched =
        static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 6, 4, LR_LOADFROMFILE));
    ASSERT_NE(stretched, nullptr);
    EXPECT_EQ(ImageFromBitmap(stretched).size(), QSize(6, 4));
    DeleteObject(bitmap);
    DeleteObject(stretched);

    const std::wstring missing = folder.Wide("missing.bmp");
    EXPECT_EQ(LoadImageW(nullptr, missing.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageW(nullptr, missing.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageW(nullptr, MAKEINTRESOURCEW(31999), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR), nullptr);
    EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(327), L"GIF"), nullptr);

    QImage arrow(8, 8, QImage::Format_ARGB32);
    arrow.fill(Qt::black);
    arrow.setText(QStringLiteral("hotspot"), QStringLiteral("1,2"));
    ASSERT_TRUE(arrow.save(QString::fromStdString((folder / "arrow.png").string())));
    const std::wstring cursorPath = folder.Wide("arrow.png");
    const auto cursor =
        static_cast<HCURSOR>(LoadImageW(nullptr, cursorPath.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(cursor, nullptr);
    EXPECT_TRUE(DestroyCursor(cursor));
    EXPECT_FALSE(DestroyCursor(cursor));
}

TEST(Presenting, PicturesFromAnyThreadShowWithoutPainting) {
    TestWindow window;
    ASSERT_TRUE(window.CreateTop(CRect(0, 0, 40, 40)));
    // A frame presented before the window's first painting would be painted over, as on the platform.
    ASSERT_TRUE(WaitFor([&] { return !window.Only({WM_PAINT}).empty(); }));
    window.log.clear();
    QImage frame(2, 2, QImage::Format_RGB32);
    frame.fill(qRgb(0, 128, 255));
    std::thread presenter([&] { PresentToWindow(window.m_hWnd, frame, QRect(10, 10, 20, 20)); });
    presenter.join();
    ASSERT_TRUE(WaitFor([&] { return WindowPicture(window.m_hWnd).pixel(20, 20) == qRgb(0, 128, 255); }));
    EXPECT_EQ(WindowPicture(window.m_hWnd).pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_TRUE(window.Only({WM_PAINT}).empty());
}

class QuittingApp : public CWinApp {
  public:
    BOOL InitInstance() override {
        if (!window.CreateTop(CRect(0, 0, 50, 50))) {
            return FALSE;
        }
        m_pMainWnd = &window;
        window.PostMessage(WM_CLOSE);
        return TRUE;
    }
    TestWindow window;
};

TEST(Application, LoopEndsWhenTheMainWindowIsDestroyedOrQuitIsPosted) {
    {
        QuittingApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        char program[] = "viewer";
        char spaced[] = "D:\\my card";
        char plain[] = "-demo";
        char* arguments[] = {program, spaced, plain, nullptr};
        EXPECT_EQ(AfxWinMain(3, arguments), 0);
        EXPECT_EQ(std::wstring(app.m_lpCmdLine), L"\"D:\\my card\" -demo");
        EXPECT_EQ(app.window.m_hWnd, nullptr);
        EXPECT_EQ(AfxGetMainWnd(), nullptr);

        PostQuitMessage(3);
        EXPECT_EQ(app.Run(), 3);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

} // namespace
