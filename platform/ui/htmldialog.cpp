#include "platform/ui/htmldialog.h"

#include "platform/ui/cursor.h"
#include "platform/ui/htmlpagebridge.h"
#include "platform/ui/qtaccess.h"
#include "platform/ui/window.h"

#include <QPointer>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdlib>
#include <functional>
#include <map>
#include <unistd.h>

namespace {

constexpr wchar_t kClassName[] = L"CDHtmlDialog";

// The browser's sandbox cannot start for the superuser (the tests' containers run as root).
void AllowBrowserAsRoot() {
    if (geteuid() == 0) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
}

bool RegisterWindowClass() {
    WNDCLASSW windowClass;
    if (GetClassInfoW(nullptr, kClassName, &windowClass)) {
        return true;
    }
    windowClass = WNDCLASSW();
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass) != 0;
}

// Resources are "qrc:" to the browser and "res://" to the program.
std::wstring ProgramAddress(const QUrl& url) {
    if (url.scheme() == QLatin1String("qrc")) {
        QString path = url.path();
        while (path.startsWith(QLatin1Char('/'))) {
            path.remove(0, 1);
        }
        return L"res://" + path.toStdWString();
    }
    return url.toString().toStdWString();
}

class HookedPage final : public QWebEnginePage {
  public:
    using QWebEnginePage::QWebEnginePage;

    std::function<void(const QUrl&)> beforeNavigate;

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (isMainFrame && beforeNavigate) {
            beforeNavigate(url);
        }
        return true;
    }
    // The page's script errors are not the user's concern.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};

} // namespace

struct CDHtmlDialog::Browser {
    // Both go with the window's widget.
    QPointer<QWebEngineView> view;
    QPointer<HookedPage> page;
    QWebChannel channel;
    HtmlPageBridge bridge;
    // The document is complete for the program once the browser has loaded it and the page has
    // told its elements: only then do reads of its elements answer what the page holds.
    bool loaded = false;
    bool reported = false;
    bool complete = false;
    std::map<std::wstring, std::wstring> elements;
};

CDHtmlDialog::CDHtmlDialog() = default;

CDHtmlDialog::~CDHtmlDialog() {
    // The widgets may outlive this object for a moment; they must not call back into it.
    if (m_browser != nullptr && m_browser->page != nullptr) {
        m_browser->bridge.onElements = nullptr;
        m_browser->page->beforeNavigate = nullptr;
        QObject::disconnect(m_browser->page, nullptr, m_browser->view, nullptr);
        m_browser->page->setWebChannel(nullptr);
    }
    // The page goes before the browser's profile, which ends with the application.
    if (m_browser != nullptr) {
        delete m_browser->view;
    }
    DestroyWindow();
}

BOOL CDHtmlDialog::Create(CWnd* parent, const RECT& rect, UINT id) {
    if (!RegisterWindowClass() ||
        !CreateEx(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, parent, id)) {
        return FALSE;
    }
    QWidget* host = WidgetFromHandle(m_hWnd);
    if (host == nullptr) {
        return FALSE;
    }
    AllowBrowserAsRoot();
    m_browser = std::make_unique<Browser>();
    Browser& browser = *m_browser;
    browser.view = new QWebEngineView(host);
    browser.page = new HookedPage(browser.view);
    browser.view->setPage(browser.page);
    browser.view->setAcceptDrops(false);
    browser.view->setContextMenuPolicy(Qt::NoContextMenu);
    browser.view->setGeometry(0, 0, rect.right - rect.left, rect.bottom - rect.top);
    browser.view->show();

    browser.bridge.onElements = [this](const QVariantMap& values) {
        for (auto value = values.cbegin(); value != values.cend(); ++value) {
            m_browser->elements[value.key().toStdWString()] = value.value().toString().toStdWString();
        }
        m_browser->reported = true;
        CompleteWhenReady();
    };
    browser.channel.registerObject(QStringLiteral("host"), &browser.bridge);
    browser.page->setWebChannel(&browser.channel);

    browser.page->beforeNavigate = [this](const QUrl& url) {
        m_browser->loaded = false;
        m_browser->reported = false;
        m_browser->complete = false;
        m_browser->elements.clear();
        OnBeforeNavigate(ProgramAddress(url));
    };
    QObject::connect(browser.page, &QWebEnginePage::loadFinished, browser.view, [this](bool ok) {
        if (ok) {
            m_browser->loaded = true;
            CompleteWhenReady();
        }
    });
    return TRUE;
}

void CDHtmlDialog::CompleteWhenReady() {
    if (m_browser->loaded && m_browser->reported && !m_browser->complete && m_browser->page != nullptr) {
        m_browser->complete = true;
        OnDocumentComplete(ProgramAddress(m_browser->page->url()));
    }
}

void CDHtmlDialog::LoadFromResource(const std::wstring& name) {
    if (m_browser != nullptr && m_browser->page != nullptr) {
        m_browser->page->load(QUrl(QStringLiteral("qrc:/HTML/") + QString::fromStdWString(name)));
    }
}

int CDHtmlDialog::ExecScript(const std::wstring& statement) {
    if (m_browser == nullptr || m_browser->page == nullptr || !m_browser->complete) {
        return 1;
    }
    m_browser->page->runJavaScript(QString::fromStdWString(statement));
    return 0;
}

bool CDHtmlDialog::GetElementValue(const std::wstring& id, std::wstring* value) const {
    if (m_browser == nullptr) {
        return false;
    }
    const auto found = m_browser->elements.find(id);
    if (found == m_browser->elements.end()) {
        return false;
    }
    *value = found->second;
    return true;
}

bool CDHtmlDialog::IsDocumentComplete() const {
    return m_browser != nullptr && m_browser->complete;
}

void CDHtmlDialog::OnDocumentComplete(const std::wstring&) {}

void CDHtmlDialog::OnBeforeNavigate(const std::wstring&) {}

void CDHtmlDialog::OnSize(UINT type, int width, int height) {
    CWnd::OnSize(type, width, height);
    if (m_browser != nullptr && m_browser->view != nullptr) {
        m_browser->view->setGeometry(0, 0, width, height);
    }
}
