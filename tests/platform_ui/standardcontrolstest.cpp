// The standard controls dialogs are made of: statics (text, picture, frame) with the colours their
// parent chooses, edits and buttons.

#include "uitest.h"

#include "platform/ui/button.h"
#include "platform/ui/dc.h"
#include "platform/ui/edit.h"
#include "platform/ui/gdiobj.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/static.h"

#include <QImage>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr COLORREF kRed = RGB(255, 0, 0);

QRgb Rgb(COLORREF color) {
    return qRgb(GetRValue(color), GetGValue(color), GetBValue(color));
}

// A parent that paints itself green and answers its statics' colour question as told.
class ColourParent : public TestWindow {
  public:
    enum class Answer { Default, Solid, Transparent };
    Answer answer = Answer::Default;
    std::vector<HWND> asked;
    CBrush blue{kBlue};

  protected:
    void OnPaint() override {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, kGreen);
    }
    HBRUSH OnCtlColor(CDC* dc, CWnd* window, UINT type) override {
        if (type != CTLCOLOR_STATIC || answer == Answer::Default) {
            return TestWindow::OnCtlColor(dc, window, type);
        }
        asked.push_back(window->m_hWnd);
        dc->SetTextColor(kRed);
        dc->SetBkMode(TRANSPARENT);
        return answer == Answer::Solid ? static_cast<HBRUSH>(blue.GetSafeHandle())
                                       : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
};

// The parent with its children, as the screen shows it.
QImage Composed(const CWnd& parent) {
    return WidgetFromHandle(parent.m_hWnd)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Text is smoothed: its pixels are those where red outweighs the rest.
int CountReddish(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += qRed(pixel) > 120 && qRed(pixel) > qGreen(pixel) + 60 && qRed(pixel) > qBlue(pixel) + 60 ? 1 : 0;
        }
    }
    return count;
}

int CountPixels(const QImage& image, const QRect& area, QRgb color) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += image.pixel(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

class StandardControls : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(parent.CreateTop(CRect(0, 0, 300, 200))); }

    ColourParent parent;
};

TEST_F(StandardControls, StaticsTakeTheirColoursFromTheParent) {
    CStatic label;
    ASSERT_TRUE(label.Create(L"WWWW", WS_VISIBLE | SS_LEFT, CRect(10, 10, 110, 40), &parent, 7));
    const QRect area(10, 10, 100, 30);

    // Unanswered: the dialog colour.
    EXPECT_EQ(CountPixels(Composed(parent), area, qRgb(240, 240, 240)) > 1000, true);

    parent.answer = ColourParent::Answer::Solid;
    label.Invalidate();
    QImage shown = Composed(parent);
    ASSERT_FALSE(parent.asked.empty());
    EXPECT_EQ(parent.asked.back(), label.m_hWnd);
    EXPECT_GT(CountPixels(shown, area, Rgb(kBlue)), 1000);
    EXPECT_GT(CountReddish(shown, area), 10);

    // The null brush leaves the background out: the parent's green shows around the red text.
    parent.answer = ColourParent::Answer::Transparent;
    label.Invalidate();
    shown = Composed(parent);
    EXPECT_EQ(CountPixels(shown, area, Rgb(kBlue)), 0);
    EXPECT_GT(CountPixels(shown, area, Rgb(kGreen)), 1000);
    EXPECT_GT(CountReddish(shown, area), 10);
}

TEST_F(StandardControls, PicturesShowTheirBitmapAtItsSizeAndFramesOnlyTheirEdge) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    const HBITMAP bitmap = BitmapFromImage(image);
    CStatic picture;
    ASSERT_TRUE(picture.Create(L"", WS_VISIBLE | SS_BITMAP, CRect(5, 5, 6, 6), &parent, 8));
    EXPECT_EQ(picture.SetBitmap(bitmap), nullptr);
    EXPECT_EQ(picture.GetBitmap(), bitmap);
    CRect rect;
    picture.GetClientRect(&rect);
    EXPECT_EQ(rect.Size(), CSize(40, 20));
    // The giver keeps its bitmap: replacing it hands it back.
    EXPECT_EQ(picture.SetBitmap(nullptr), bitmap);
    picture.SetBitmap(bitmap);

    CStatic frame;
    ASSERT_TRUE(frame.Create(L"", WS_VISIBLE | SS_GRAYFRAME, CRect(100, 100, 150, 140), &parent, 9));
    const QImage shown = Composed(parent);
    EXPECT_EQ(shown.pixel(5, 5), qRgb(10, 20, 30));
    EXPECT_EQ(shown.pixel(44, 24), qRgb(10, 20, 30));
    EXPECT_EQ(shown.pixel(45, 25), Rgb(kGreen));
    const QRgb gray = Rgb(GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(shown.pixel(100, 120), gray);
    EXPECT_EQ(shown.pixel(149, 120), gray);
    EXPECT_EQ(shown.pixel(125, 100), gray);
    EXPECT_EQ(shown.pixel(125, 139), gray);
    EXPECT_EQ(shown.pixel(125, 120), Rgb(kGreen));

    picture.DestroyWindow();
    // Still the giver's after the control is gone.
    BITMAP description;
    EXPECT_NE(GetObjectW(bitmap, sizeof(description), &description), 0);
    DeleteObject(bitmap);
}

void Type(HWND edit, const QString& text) {
    for (const QChar ch : text) {
        const int key = ch.isDigit() ? Qt::Key_0 + ch.digitValue() : Qt::Key_A + (ch.toUpper().unicode() - 'A');
        SendKey(edit, QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        SendKey(edit, QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
    }
}

CString TextOf(const CWnd& window) {
    CString text;
    window.GetWindowText(text);
    return text;
}

TEST_F(StandardControls, EditsKeepToDigitsLengthAndReadOnly) {
    CEdit digits;
    ASSERT_TRUE(digits.Create(WS_VISIBLE | WS_BORDER | ES_NUMBER, CRect(10, 10, 110, 30), &parent, 10));
    digits.LimitText(3);
    EXPECT_EQ(digits.GetLimitText(), 3u);
    Type(digits.m_hWnd, QStringLiteral("1a2b34"));
    EXPECT_EQ(std::wstring(TextOf(digits)), L"123");

    CEdit readOnly;
    ASSERT_TRUE(readOnly.Create(WS_VISIBLE | ES_READONLY, CRect(10, 40, 110, 60), &parent, 11));
    readOnly.SetWindowText(L"fixed");
    Type(readOnly.m_hWnd, QStringLiteral("x"));
    EXPECT_EQ(std::wstring(TextOf(readOnly)), L"fixed");
    readOnly.SetReadOnly(FALSE);
    EXPECT_EQ(readOnly.GetStyle() & ES_READONLY, 0u);
    Type(readOnly.m_hWnd, QStringLiteral("x"));
    EXPECT_EQ(std::wstring(TextOf(readOnly)), L"fixedx");
}

TEST_F(StandardControls, PasswordEditsShowTheirCharacterAndKeepTheText) {
    CEdit password;
    ASSERT_TRUE(password.Create(WS_VISIBLE | ES_PASSWORD, CRect(10, 10, 110, 30), &parent, 12));
    auto* widget = static_cast<QLineEdit*>(WidgetFromHandle(password.m_hWnd));
    EXPECT_EQ(password.GetPasswordChar(), L'*');
    Type(password.m_hWnd, QStringLiteral("ab1"));
    EXPECT_EQ(std::wstring(TextOf(password)), L"ab1");
    EXPECT_EQ(widget->displayText(), QStringLiteral("***"));
    password.SetPasswordChar(L'#');
    EXPECT_EQ(widget->displayText(), QStringLiteral("###"));
    password.SetPasswordChar(0);
    EXPECT_EQ(widget->displayText(), QStringLiteral("ab1"));
    EXPECT_EQ(password.GetStyle() & ES_PASSWORD, 0u);
}

TEST_F(StandardControls, ButtonsReportClicksAndAutomaticOnesKeepTheirChecks) {
    std::vector<std::pair<int, HWND>> clicks;
    parent.handler = [&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
            clicks.emplace_back(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        }
        return false;
    };
    CButton push;
    CButton check;
    CButton manual;
    CButton first;
    CButton second;
    CButton other;
    ASSERT_TRUE(push.Create(L"Go", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 80, 35), &parent, 20));
    ASSERT_TRUE(check.Create(L"Keep", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 40, 80, 60), &parent, 21));
    ASSERT_TRUE(manual.Create(L"Manual", WS_VISIBLE | BS_CHECKBOX, CRect(10, 65, 80, 85), &parent, 22));
    ASSERT_TRUE(first.Create(L"A", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(100, 10, 160, 30), &parent,
                             23));
    ASSERT_TRUE(second.Create(L"B", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(100, 35, 160, 55), &parent, 24));
    ASSERT_TRUE(other.Create(L"C", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(100, 60, 160, 80), &parent,
                             25));

    Click(push.m_hWnd, QPoint(10, 10));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], std::make_pair(20, push.m_hWnd));

    Click(check.m_hWnd, QPoint(5, 5));
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    Click(check.m_hWnd, QPoint(5, 5));
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
    // A check box that is not automatic leaves its check to the program.
    Click(manual.m_hWnd, QPoint(5, 5));
    EXPECT_EQ(manual.GetCheck(), BST_UNCHECKED);
    manual.SetCheck(BST_CHECKED);
    EXPECT_EQ(manual.GetCheck(), BST_CHECKED);

    first.SetCheck(BST_CHECKED);
    other.SetCheck(BST_CHECKED);
    const size_t before = clicks.size();
    second.SendMessage(BM_CLICK);
    EXPECT_EQ(first.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(second.GetCheck(), BST_CHECKED);
    EXPECT_EQ(other.GetCheck(), BST_CHECKED) << "another group";
    ASSERT_EQ(clicks.size(), before + 1);
    EXPECT_EQ(clicks.back().first, 24);
}

} // namespace
