#include "viewer/tools/optdlg.h"

#include "platform/base/trace.h"
#include "platform/ui/dataexchange.h"
#include "platform/ui/dialogtemplate.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/skin/resstorage.h"

namespace {

constexpr DWORD kButtonStyle = 0x56010000; // child, visible, clip siblings and children, tab stop
constexpr DWORD kStaticStyle = 0x56000000; // the same without tab stop
constexpr DWORD kSliderStyle = 0x50000000; // child, visible
constexpr DWORD kCommandOptions = 0x40004;
constexpr DWORD kChoiceOptions = 0x80000;
constexpr DWORD kGripEdges = 0x100000;
constexpr COLORREF kImageKey = RGB(255, 0, 255);
constexpr UINT kChoiceImages = 0x10000086;
constexpr UINT kSliderImages = 0x10000087;
constexpr UINT kLabelImages = 0x10000088;
// Our own skin's page tabs, one per page.
constexpr UINT kFirstTabComponent = CID_OPT_TAB_1;
constexpr WPARAM kVkCancel = 0x03;

const DWORD kComboStyle =
    WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;

const DialogResource
    kTemplate(OptDlg::IDD,
              DialogTemplate{WS_POPUP | DS_CENTER | DS_SETFONT,
                             0,
                             0,
                             0,
                             292,
                             334,
                             L"",
                             L"MS Shell Dlg",
                             8,
                             {
                                 {L"Edit", L"", WS_VISIBLE | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 0, 118,
                                  204, 40, 14, OptDlg::ID_PATH},
                                 {L"ComboBox", L"", kComboStyle, 0, 112, 157, 135, 46, OptDlg::ID_TIME_ZONE},
                                 {L"ComboBox", L"", kComboStyle, 0, 112, 277, 135, 46, OptDlg::ID_DRIVES},
                                 {L"Edit", L"", WS_VISIBLE | WS_BORDER | ES_READONLY | ES_CENTER, 0, 77, 294,
                                  76, 16, OptDlg::ID_CLOCK_TEXT},
                                 {L"Edit", L"", WS_VISIBLE | WS_BORDER | ES_READONLY | ES_CENTER, 0, 171, 294,
                                  76, 16, OptDlg::ID_REGISTRATION},
                                 {L"Edit", L"", WS_VISIBLE | WS_BORDER | ES_CENTER | ES_NUMBER, 0, 81, 103,
                                  76, 16, OptDlg::ID_NUMBER_A},
                                 {L"Edit", L"", WS_VISIBLE | WS_BORDER | ES_CENTER | ES_NUMBER, 0, 170, 102,
                                  76, 16, OptDlg::ID_NUMBER_B},
                             }});

// The choice buttons: id, component, page, and the models that have them.
struct Choice {
    UINT id;
    UINT component;
    int page;
    unsigned models;
};
constexpr unsigned kEvery = 0xF;
constexpr unsigned kModelZero = 0x1;
constexpr unsigned kNotModelTwo = 0xB;

} // namespace

OptDlg::OptDlg(CWnd* parent) : CDialog(IDD, parent) {}

OptDlg::~OptDlg() {
    DestroyWindow();
}

void OptDlg::SetDataDirStruct(DataDirStruct* catalogue, ResStorage* store) {
    m_editor.SetDataDirStruct(catalogue);
    if (store != nullptr)
        m_store = store;
}

void OptDlg::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, ID_TIME_ZONE, m_timeZone);
    DDX_Control(exchange, ID_DRIVES, m_drives);
}

BOOL OptDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (UINT id : {ID_NUMBER_A, ID_NUMBER_B}) {
        if (CWnd* edit = GetDlgItem(static_cast<int>(id)))
            edit->SendMessage(EM_LIMITTEXT, 3, 0);
    }
    return TRUE;
}

CRect OptDlg::PageRect(int page) {
    return m_store->GetComponentRect(
        static_cast<eComponentID>(m_pageComponents[static_cast<size_t>(page - 1)]), CRect());
}

CWnd* OptDlg::ParentOf(int page) {
    return page == 0 ? static_cast<CWnd*>(this) : &m_pages[static_cast<size_t>(page - 1)];
}

void OptDlg::CreateButton(UINT id, UINT component, int page, DWORD options) {
    auto button = std::make_unique<CButtonEx>();
    button->Create(ParentOf(page), m_store->GetComponentRect(static_cast<eComponentID>(component), CRect()),
                   id, kButtonStyle);
    button->ModifyOptions(0, options);
    const ComponentImages images = m_store->GetComponentInfo(
        static_cast<eComponentID>(options == kChoiceOptions ? kChoiceImages : component));
    button->SetImages(images[0], images[1], images[2], images[3], images[4], kImageKey, CRect());
    button->SetNotifyWnd(m_hWnd);
    m_buttons[id] = std::move(button);
}

void OptDlg::CreateSlider(OptSlider slider, UINT component, UINT labelComponent, int page, bool hidden) {
    const OptSliderRow& row = OptSliderRowOf(slider);
    const CRect origin = PageRect(page);
    auto control = std::make_unique<CSliderCtrlEx>();
    control->Create(ParentOf(page), m_store->GetComponentRect(static_cast<eComponentID>(component), origin),
                    row.sliderId, kSliderStyle);
    control->ModifyOptions(0, CBaseWnd::OPTION_TRANSPARENT);
    const ComponentImages images = m_store->GetComponentInfo(static_cast<eComponentID>(kSliderImages));
    control->SetBitmaps(images[0], images[1], images[2], images[3], images[4]);
    control->SetMargins(CRect(), CRect());
    control->SetRange(row.minimum, row.maximum, FALSE);
    control->SetPos(row.position);
    control->SetNotifyWnd(m_hWnd);
    auto label = std::make_unique<CStaticEx>();
    label->Create(ParentOf(page),
                  m_store->GetComponentRect(static_cast<eComponentID>(labelComponent), origin), row.labelId,
                  kStaticStyle);
    label->ModifyOptions(0, CStaticEx::OPTION_TEXT | CBaseWnd::OPTION_TRANSPARENT);
    const ComponentImages labelImages = m_store->GetComponentInfo(static_cast<eComponentID>(kLabelImages));
    label->SetBitmaps(labelImages[0], labelImages[1], labelImages[2]);
    label->SetWindowText(row.label);
    if (hidden) {
        control->ShowWindow(SW_HIDE);
        label->ShowWindow(SW_HIDE);
    }
    m_sliders[static_cast<size_t>(slider)] = std::move(control);
    m_labels[static_cast<size_t>(slider)] = std::move(label);
}

void OptDlg::PlaceCombo(CSkinComboBox& combo, UINT component) {
    const auto id = static_cast<eComponentID>(component);
    const CRect place = m_store->GetComponentRect(id, CRect());
    CRect now;
    combo.GetWindowRect(&now);
    combo.SetWindowPos(nullptr, place.left, place.top, place.Width(), now.Height(), SWP_NOZORDER);
    const ComponentImages images = m_store->GetComponentInfo(id);
    HBITMAP bitmaps[CSkinComboBox::IMAGE_COUNT] = {};
    for (int i = 0; i < CSkinComboBox::IMAGE_COUNT; ++i)
        bitmaps[i] = images[i];
    combo.SetBitmaps(bitmaps);
    combo.SetHighlightColors(m_store->GetComboHighlightColor(id, 0), m_store->GetComboHighlightColor(id, 1));
    combo.SetNormalColors(m_store->GetComboNormalColor(id, 0), m_store->GetComboNormalColor(id, 1));
}

BOOL OptDlg::CreateControls() {
    if (m_store == nullptr)
        return FALSE;
    const int model = GetModelIndex();
    const CRect window = m_store->GetComponentRect(static_cast<eComponentID>(0x10000085), CRect());
    SetWindowPos(nullptr, 0, 0, window.Width(), window.Height(), SWP_NOMOVE | SWP_NOZORDER);
    CreateButton(22007, 0x1000007F, 0, kCommandOptions);
    CreateButton(22012, 0x10000084, 0, kCommandOptions);
    for (int page = 1; page <= OptEditor::kPageCount; ++page)
        CreateButton(22001 + static_cast<UINT>(page), kFirstTabComponent + static_cast<UINT>(page - 1), 0,
                     kCommandOptions);

    m_background.Create(this, m_store->GetComponentRect(static_cast<eComponentID>(0x100000C3), CRect()),
                        22091, kStaticStyle);
    m_background.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_background.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
    const ComponentImages backgroundImages = m_store->GetComponentInfo(static_cast<eComponentID>(0x100000C3));
    m_background.SetBitmaps(backgroundImages[0], backgroundImages[1], backgroundImages[2]);
    m_background.SetSizingEdges(kGripEdges, m_hWnd);

    UINT pageThree = 0;
    switch (model) {
    case 0:
        pageThree = 0x110000C0;
        break;
    case 1:
    case 3:
        pageThree = 0x11000096;
        break;
    case 2:
        pageThree = 0x11000097;
        break;
    default:
        TraceLine(std::string(__FILE__) + "(" + std::to_string(__LINE__) + "): invalid model");
        break;
    }
    m_pageComponents = {model == 0 ? 0x11000089u : 0x11000095u, model == 0 ? 0x110000A0u : 0x110000ABu,
                        pageThree, 0x110000E0u, 0x100000BEu};
    for (int page = 1; page <= OptEditor::kPageCount; ++page) {
        CStaticEx& background = m_pages[static_cast<size_t>(page - 1)];
        const auto component = static_cast<eComponentID>(m_pageComponents[static_cast<size_t>(page - 1)]);
        background.Create(this, m_store->GetComponentRect(component, CRect()),
                          kPageIds[static_cast<size_t>(page - 1)], kStaticStyle);
        background.ModifyOptions(0, CBaseWnd::OPTION_BACK_BUFFER);
        const ComponentImages images = m_store->GetComponentInfo(component);
        background.SetBitmaps(images[0], images[1], images[2]);
        background.SetSizingEdges(kGripEdges, m_hWnd);
        background.SetWindowPos(&m_background, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    static const Choice choices[] = {
        {22014, 0x1100008A, 1, kModelZero},   {22051, 0x11000090, 1, kModelZero},
        {22019, 0x1100008F, 1, kModelZero},   {22085, 0x100000CE, 1, kEvery},
        {22086, 0x100000CF, 1, kEvery},       {22203, 0x110000CD, 1, kEvery},
        {22202, 0x110000C5, 1, kEvery},       {22201, 0x110000C4, 1, kEvery},
        {22200, 0x110000C3, 1, kEvery},       {22204, 0x110000CE, 1, kEvery},
        {22205, 0x110000CA, 1, kEvery},       {22206, 0x110000D8, 1, kEvery},
        {22207, 0x100000AC, 1, kEvery},       {22208, 0x100000AD, 1, kEvery},
        {22209, 0x100000AE, 1, kEvery},       {22037, 0x110000C6, 1, kEvery},
        {22038, 0x110000C7, 1, kEvery},       {22074, 0x110000D4, 1, kEvery},
        {22028, 0x110000A8, 2, kEvery},       {22029, 0x110000A9, 2, kEvery},
        {22032, 0x110000C1, 3, kModelZero},   {22033, 0x110000C2, 3, kModelZero},
        {22039, 0x110000CD, 3, kEvery},       {22044, 0x110000CE, 3, kEvery},
        {22045, 0x110000CA, 3, kEvery},       {22048, 0x110000D8, 3, kEvery},
        {22046, 0x110000CF, 3, kNotModelTwo}, {22047, 0x110000D0, 3, kNotModelTwo},
        {22049, 0x110000D1, 3, kNotModelTwo}, {22052, 0x110000E2, 4, kEvery},
        {22053, 0x110000E3, 4, kEvery},       {22063, 0x110000E8, 4, kEvery},
        {22064, 0x110000E9, 4, kEvery},       {22065, 0x110000EA, 4, kEvery},
        {22067, 0x110000EB, 4, kEvery},       {22068, 0x110000EC, 4, kEvery},
        {22087, 0x100000D1, 5, kEvery},       {22088, 0x100000D2, 5, kEvery},
        {22089, 0x100000D3, 5, kEvery},       {22090, 0x100000D4, 5, kEvery},
        {22097, 0x100000D5, 5, kEvery},       {22098, 0x100000D6, 5, kEvery},
        {22099, 0x100000D7, 5, kEvery},       {22100, 0x100000D8, 5, kEvery},
    };
    for (const Choice& choice : choices) {
        if (model >= 0 && model <= 3 && (choice.models & (1u << model)) != 0)
            CreateButton(choice.id, choice.component, choice.page, kChoiceOptions);
    }
    CreateButton(22073, 0x110000F4, 1, kCommandOptions);
    CreateButton(22075, 0x11000094, 4, kCommandOptions);
    if (CWnd* clock = GetDlgItem(ID_CLOCK_TEXT)) {
        const CRect place = m_store->GetComponentRect(static_cast<eComponentID>(0x110000F3), CRect());
        clock->MoveWindow(place.left, place.top, place.Width(), place.Height(), FALSE);
    }

    CreateSlider(OptSlider::DrivingAccelerator, 0x1100008B, 0x1100008C, 2, false);
    if (model == 0) {
        CreateSlider(OptSlider::Sharpness, 0x110000A1, 0x110000A2, 2, false);
        CreateSlider(OptSlider::NightBright, 0x110000A3, 0x110000A4, 2, false);
    }
    CreateSlider(OptSlider::Mic, 0x1100008D, 0x1100008E, 2, false);
    CreateSlider(OptSlider::Speaker, 0x110000E4, 0x110000E5, 2, false);
    CreateSlider(OptSlider::ParkingAccelerator, 0x110000CB, 0x110000CC, 3, false);
    CreateSlider(OptSlider::ParkingMotion, 0x110000C8, 0x110000C9, 3, false);
    CreateSlider(OptSlider::ParkEventRatio, 0x110000D2, 0x110000D3, 3, false);
    CreateSlider(OptSlider::FormatProgress, 0x110000F8, 0x110000F9, 4, true);

    PlaceCombo(m_timeZone, 0x110000E6);
    for (const wchar_t* entry : OptEditor::TimeZoneEntries())
        m_timeZone.AddString(entry);
    PlaceCombo(m_drives, 0x110000E7);

    const auto offsetComponent = static_cast<eComponentID>(0x100000C0);
    m_rearCamSyncLabel.Create(&m_pages[4], m_store->GetComponentRect(offsetComponent, PageRect(5)), 22082,
                              kStaticStyle);
    m_rearCamSyncLabel.ModifyOptions(0, CStaticEx::OPTION_TEXT);
    const ComponentImages labelImages = m_store->GetComponentInfo(static_cast<eComponentID>(kLabelImages));
    m_rearCamSyncLabel.SetBitmaps(labelImages[0], labelImages[1], labelImages[2]);
    m_rearCamSyncLabel.ShowWindow(SW_HIDE);

    m_created = true;
    m_editor.FillDriveList();
    Sync();
    return TRUE;
}

CWnd* OptDlg::GetControl(UINT id) {
    if (const auto found = m_buttons.find(id); found != m_buttons.end())
        return found->second.get();
    for (size_t i = 0; i < kOptSliderCount; ++i) {
        if (m_sliders[i] && m_sliders[i]->GetDlgCtrlID() == static_cast<int>(id))
            return m_sliders[i].get();
        if (m_labels[i] && m_labels[i]->GetDlgCtrlID() == static_cast<int>(id))
            return m_labels[i].get();
    }
    for (int page = 1; page <= OptEditor::kPageCount; ++page) {
        if (kPageIds[static_cast<size_t>(page - 1)] == id &&
            m_pages[static_cast<size_t>(page - 1)].m_hWnd != nullptr)
            return &m_pages[static_cast<size_t>(page - 1)];
    }
    if (id == 22091 && m_background.m_hWnd != nullptr)
        return &m_background;
    if (id == 22082 && m_rearCamSyncLabel.m_hWnd != nullptr)
        return &m_rearCamSyncLabel;
    return GetDlgItem(static_cast<int>(id));
}

CSliderCtrlEx* OptDlg::GetSlider(OptSlider slider) {
    return m_sliders[static_cast<size_t>(slider)].get();
}

CStaticEx* OptDlg::GetPage(int page) {
    return &m_pages[static_cast<size_t>(page - 1)];
}

void OptDlg::ShowPage(int page) {
    m_editor.ShowPage(page);
    Sync();
}

void OptDlg::Sync() {
    if (!m_created)
        return;
    const int page = m_editor.Page();
    for (int i = 1; i <= OptEditor::kPageCount; ++i) {
        m_pages[static_cast<size_t>(i - 1)].ShowWindow(i == page ? SW_SHOW : SW_HIDE);
        if (CButtonEx* tab = m_buttons.at(22001 + static_cast<UINT>(i)).get())
            tab->SetCheck(m_editor.IsPageTabChecked(i) ? 1 : 0);
    }
    for (auto& [id, button] : m_buttons) {
        if (id != 22007 && id != 22012 && id != 22073 && id != 22075 && (id < 22002 || id > 22006))
            button->SetCheck(m_editor.IsChecked(id) ? 1 : 0);
    }
    for (size_t i = 0; i < kOptSliderCount; ++i) {
        if (!m_sliders[i])
            continue;
        const OptSliderState& state = m_editor.Slider(static_cast<OptSlider>(i));
        const bool visible =
            static_cast<OptSlider>(i) == OptSlider::FormatProgress ? m_editor.IsFormatting() : state.visible;
        m_sliders[i]->SetPos(state.position);
        m_sliders[i]->ShowWindow(visible ? SW_SHOW : SW_HIDE);
        m_labels[i]->SetWindowText(state.label.c_str());
        if (static_cast<OptSlider>(i) == OptSlider::FormatProgress)
            m_labels[i]->ShowWindow(visible ? SW_SHOW : SW_HIDE);
    }
    m_rearCamSyncLabel.SetWindowText(m_editor.RearCamSyncLabel().c_str());
    m_timeZone.SetCurSel(m_editor.TimeZoneSelection());
    if (m_shownDrives != m_editor.DriveEntries()) {
        m_shownDrives = m_editor.DriveEntries();
        m_drives.ResetContent();
        for (const std::wstring& entry : m_shownDrives)
            m_drives.AddString(entry.c_str());
    }
    m_drives.SetCurSel(m_editor.DriveSelection());
    m_drives.ShowWindow(page == 4 && !m_editor.IsFormatting() ? SW_SHOW : SW_HIDE);
    m_buttons.at(22075)->ShowWindow(m_editor.IsFormatting() ? SW_HIDE : SW_SHOW);
    for (UINT id : {ID_REGISTRATION, ID_NUMBER_A, ID_NUMBER_B, ID_PATH}) {
        if (CWnd* edit = GetDlgItem(static_cast<int>(id)))
            edit->ShowWindow(SW_HIDE);
    }
    if (CWnd* path = GetDlgItem(ID_PATH))
        path->SetWindowText(m_editor.PathText().c_str());
    if (CWnd* clock = GetDlgItem(ID_CLOCK_TEXT))
        clock->SetWindowText(m_editor.ClockText().c_str());
}

BOOL OptDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (id == ID_TIME_ZONE && code == CBN_SELCHANGE) {
        m_editor.OnTimeZoneChanged(m_timeZone.GetCurSel());
        return TRUE;
    }
    if (id == ID_DRIVES && code == CBN_SELCHANGE) {
        m_editor.SelectDrive(m_drives.GetCurSel());
        return TRUE;
    }
    if (id >= ID_FIRST_COMMAND && id <= ID_LAST_COMMAND && lParam != 0) {
        m_editor.OnCommand(id);
        Sync();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void OptDlg::OnHScroll(UINT code, UINT position, CWnd* scrollBar) {
    for (size_t i = 0; i < kOptSliderCount; ++i) {
        if (scrollBar != nullptr && m_sliders[i] && m_sliders[i]->m_hWnd == scrollBar->m_hWnd) {
            m_editor.OnSlider(static_cast<OptSlider>(i), code, static_cast<int>(position));
            Sync();
            break;
        }
    }
    CDialog::OnHScroll(code, position, scrollBar);
}

void OptDlg::OnShowWindow(BOOL show, UINT status) {
    CDialog::OnShowWindow(show, status);
    if (show) {
        m_editor.OnShow();
        Sync();
    }
}

BOOL OptDlg::OnEraseBkgnd(CDC*) {
    return FALSE;
}

BOOL OptDlg::PreTranslateMessage(MSG* message) {
    if (message->message == WM_KEYDOWN && (message->wParam == VK_ESCAPE || message->wParam == VK_RETURN ||
                                           message->wParam == VK_SPACE || message->wParam == kVkCancel))
        return TRUE;
    return CDialog::PreTranslateMessage(message);
}

std::wstring OptDlg::LoadText(UINT id) {
    return m_outside != nullptr ? m_outside->LoadText(id) : std::wstring();
}

int OptDlg::ShowMessage(const std::wstring& text, UINT type) {
    return m_outside != nullptr ? m_outside->ShowMessage(text, type) : IDCANCEL;
}

void OptDlg::HideEditor() {
    ShowWindow(SW_HIDE);
}

void OptDlg::RepaintNow() {
    Sync();
    // The format blocks the user-interface thread, so its progress is painted at once.
    if (CSliderCtrlEx* progress = GetSlider(OptSlider::FormatProgress)) {
        progress->UpdateWindow();
        m_labels[static_cast<size_t>(OptSlider::FormatProgress)]->UpdateWindow();
    }
    UpdateWindow();
}

void OptDlg::OnOpenDirectory() {
    if (m_outside != nullptr)
        m_outside->OnOpenDirectory();
}

void OptDlg::PrepareCardFolders() {
    if (m_outside != nullptr)
        m_outside->PrepareCardFolders();
}

void OptDlg::Set1ChannelDisplay(int display) {
    if (m_outside != nullptr)
        m_outside->Set1ChannelDisplay(display);
}

void OptDlg::SetNumberOfChannel(int count) {
    if (m_outside != nullptr)
        m_outside->SetNumberOfChannel(count);
}

void OptDlg::ArrangeChannelWindows() {
    if (m_outside != nullptr)
        m_outside->ArrangeChannelWindows();
}

void OptDlg::Stop(int keepIndex, int force) {
    if (m_outside != nullptr)
        m_outside->Stop(keepIndex, force);
}

void OptDlg::Play() {
    if (m_outside != nullptr)
        m_outside->Play();
}

void OptDlg::SetSpeedUnit(int unit) {
    if (m_outside != nullptr)
        m_outside->SetSpeedUnit(unit);
}

void OptDlg::CloseMainWindow() {
    if (m_outside != nullptr)
        m_outside->CloseMainWindow();
}

std::vector<CIniFile::Record> OptDlg::DefaultConfig() {
    return m_outside != nullptr ? m_outside->DefaultConfig() : std::vector<CIniFile::Record>();
}

bool OptDlg::ChooseSettingsFile(bool save, std::wstring& path) {
    return m_outside != nullptr && m_outside->ChooseSettingsFile(save, path);
}

CString OptDlg::FormatVolume(char letter, int sectorsPerCluster, FormatProgressCallback callback,
                             void* context) {
    return m_outside != nullptr ? m_outside->FormatVolume(letter, sectorsPerCluster, callback, context)
                                : CString(L"no formatter");
}
