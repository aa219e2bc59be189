// Message boxes answered headlessly, from the GUI thread and from workers.

#include "uitest.h"

#include "platform/ui/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class Answers : public MessageBoxHandler {
  public:
    struct Question {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT type;
        std::thread::id thread;
    };

    int Show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override {
        asked.push_back(Question{owner, text, caption, type, std::this_thread::get_id()});
        return answer;
    }

    int answer = IDOK;
    std::vector<Question> asked;
};

class MessageBoxTest : public testing::Test {
  protected:
    void SetUp() override { previous = SetMessageBoxHandler(&answers); }
    void TearDown() override { SetMessageBoxHandler(previous); }

    Answers answers;
    MessageBoxHandler* previous = nullptr;
};

TEST_F(MessageBoxTest, TheHandlerAnswersWithTheBoxItWasShown) {
    TestWindow owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 100, 100)));
    answers.answer = IDNO;
    EXPECT_EQ(MessageBoxW(owner.m_hWnd, L"Continue reading?", L"Viewer", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Oops", nullptr, MB_OK), IDNO);
    // The base layer's message box goes the same way once windows exist.
    EXPECT_EQ(MessageBox(owner.m_hWnd, L"From the catalogue", L"", MB_OK), IDNO);
    ASSERT_EQ(answers.asked.size(), 3u);
    EXPECT_EQ(answers.asked[0].owner, owner.m_hWnd);
    EXPECT_EQ(answers.asked[0].text, L"Continue reading?");
    EXPECT_EQ(answers.asked[0].caption, L"Viewer");
    EXPECT_EQ(answers.asked[0].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(answers.asked[1].caption, L"Error");
    EXPECT_EQ(answers.asked[2].text, L"From the catalogue");
}

TEST_F(MessageBoxTest, WorkersWaitWhileTheGuiThreadAsks) {
    answers.answer = IDYES;
    std::atomic<int> result{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = MessageBoxW(nullptr, L"From a worker", L"", MB_YESNO);
        done = true;
    });
    ASSERT_TRUE(WaitFor([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(result.load(), IDYES);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].thread, std::this_thread::get_id());
}

TEST(QtMessageBox, ButtonsMapToThePlatformsAnswers) {
    const struct {
        UINT type;
        QMessageBox::StandardButton press;
        int expected;
    } cases[] = {
        {MB_YESNO, QMessageBox::No, IDNO},
        {MB_YESNOCANCEL, QMessageBox::Cancel, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON2, QMessageBox::Ok, IDOK},
        {MB_RETRYCANCEL, QMessageBox::Retry, IDRETRY},
    };
    for (const auto& test : cases) {
        QTimer::singleShot(20, [&test] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            box->button(test.press)->click();
        });
        EXPECT_EQ(MessageBoxW(nullptr, L"Question", L"Caption", test.type), test.expected);
    }
}

} // namespace
