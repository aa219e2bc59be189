#include "panelsfixture.h"

#include "platform/base/resourcemodule.h"
#include "platform/base/trace.h"
#include "platform/ui/qtaccess.h"
#include "viewer/app/globals.h"
#include "viewer/engine/videostate.h"

#include <QWidget>

std::unique_ptr<ResStorage> PanelTest::skin;

namespace {

TraceSink previousSink;

} // namespace

TraceLog::TraceLog() {
    previousSink = SetTraceSink([this](const std::wstring& line) { lines.push_back(line); });
}

TraceLog::~TraceLog() {
    SetTraceSink(previousSink);
}

void PrintTo(const CRect& rect, std::ostream* out) {
    *out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

MainWindowOfTheProgram::MainWindowOfTheProgram(CWnd& window) : m_application(L"panels_tests") {
    m_alias.Attach(window.m_hWnd);
    m_application.m_pMainWnd = &m_alias;
}

MainWindowOfTheProgram::~MainWindowOfTheProgram() {
    m_application.m_pMainWnd = nullptr;
    m_alias.Detach();
}

void PanelTest::SetUpTestSuite() {
    g_hResourceDll = LoadLibraryExW(L"TREVO_Res.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(g_hResourceDll, nullptr);
    skin = std::make_unique<ResStorage>();
    ASSERT_EQ(skin->LoadSkin(L".\\ResStorage.dat", nullptr), 1);
}

void PanelTest::TearDownTestSuite() {
    skin.reset();
    FreeLibrary(g_hResourceDll);
    g_hResourceDll = nullptr;
}

void PanelTest::SetUp() {
    ASSERT_NE(skin, nullptr);
    SelectChannel(65535);
    const CRect mainWindow = skin->GetComponentRect(CID_MAIN_WINDOW, CRect());
    ASSERT_TRUE(main.CreateTop(CRect(CPoint(kMainLeft, kMainTop), mainWindow.Size())));
    ASSERT_TRUE(view.CreateChild(&main, CRect(CPoint(0, 0), mainWindow.Size()), 0xE900));
    ASSERT_TRUE(WaitFor([&] { return WidgetFromHandle(main.m_hWnd)->isVisible(); }));
    g_hViewWnd = view.m_hWnd;
}

void PanelTest::TearDown() {
    g_hViewWnd = nullptr;
    SelectChannel(65535);
    Pump();
}

void PanelTest::SelectChannel(int channel) {
    g_playbackEngine.selectionWord =
        channel == 65535 ? 65535u << 16 : static_cast<uint32_t>(channel) << 16 | 1u;
}
