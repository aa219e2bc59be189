#pragma once
// The defog window: the paused pictures of up to four channels, each with its own strength slider,
// zoom buttons and drag-to-pan, saved as image files or printed. A slider's release filters the
// channel's source picture once, from a one-shot timer, so that the new label is painted first.
// The decisions are DefogState's; the filter runs through DefogPicture.

#include "platform/ui/bitmap.h"
#include "platform/ui/dialog.h"
#include "platform/ui/tooltipctrl.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/componentinfo.h"
#include "viewer/skin/sliderctrlex.h"
#include "viewer/skin/staticex.h"
#include "viewer/tools/defogstate.h"

#include <array>
#include <string>

class ResStorage;

class DefogDlg : public CDialog {
  public:
    enum { IDD = 162 };
    static constexpr int kChannelCount = DefogState::kChannelCount;
    enum : UINT {
        ID_FIRST_COMMAND = 32801,
        ID_SAVE = 32802,
        ID_PRINT = 32803,
        ID_CLOSE = 32804,
        ID_LAST_COMMAND = 32832,
    };
    // The picture areas of the template, channels 1 to 4.
    static constexpr std::array<UINT, kChannelCount> kPictureAreas = {1024, 1025, 32820, 32821};
    // Zoom in, zoom out and fit of each channel.
    static constexpr std::array<std::array<UINT, 3>, kChannelCount> kChannelCommands = {
        {{32805, 32806, 32807}, {32808, 32809, 32810}, {32826, 32827, 32828}, {32829, 32830, 32831}}};
    static constexpr std::array<UINT, kChannelCount> kSliderIds = {32816, 32817, 32822, 32823};
    static constexpr std::array<UINT, kChannelCount> kLabelIds = {32818, 32819, 32824, 32825};

    DefogDlg();
    ~DefogDlg() override;

    void SetResStorage(ResStorage* store) { m_store = store; }
    void SetLanguageId(LANGID languageId) { m_languageId = languageId; }
    // Builds the skinned controls; nothing without a skin store.
    void CreateControls();
    // The window takes every non-null bitmap over (null: the channel has no picture). The pictures
    // are fitted to their areas and shown unfiltered, every strength at 0.
    void SetImages(HBITMAP front, HBITMAP rear, HBITMAP left, HBITMAP right);

    const DefogState& GetState() const { return m_state; }
    // What a channel shows, saves and prints; null without a picture.
    HBITMAP GetWorkingCopy(int channel) const { return m_pictures[static_cast<size_t>(channel)].working; }
    HBITMAP GetSource(int channel) const { return m_pictures[static_cast<size_t>(channel)].source; }
    CSliderCtrlEx& GetSlider(int channel) { return m_sliders[static_cast<size_t>(channel)]; }
    CStaticEx& GetValueLabel(int channel) { return m_valueLabels[static_cast<size_t>(channel)]; }
    CWnd* GetPictureArea(int channel) const;

    void SaveImage();
    void PrintImages();

    BOOL PreTranslateMessage(MSG* message) override;

  protected:
    // The save dialog: false on cancel; else the chosen path and filter entry (counted from 1).
    virtual bool ChooseSaveName(std::wstring& path, int& filterIndex);

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
    void OnHScroll(UINT code, UINT position, CWnd* scrollBar) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;

  private:
    struct Pictures {
        CBitmap source;
        CBitmap working;
    };

    void OnChannelCommand(UINT id);
    void FitChannel(int channel);
    void ZoomIn(int channel);
    void ZoomOut(int channel);
    void Filter(int channel);
    // The working copy becomes the source's pixels again.
    void RestoreSource(int channel);
    void ShowLabel(int channel);
    void PaintChannel(int channel);
    // The channel the point (client coordinates) lies in; -1 for none.
    int HitChannel(CPoint point) const;
    void CreateButton(CButtonEx& button, eComponentID component, UINT id);
    void CreateFramePiece(CStaticEx& piece, eComponentID component, UINT id, bool movesWindow);
    void SetCaptionLook(int channel, bool hasPicture);
    void AddTooltip(CWnd* control, UINT stringId);
    std::wstring LoadText(UINT id) const;
    void Report(const std::wstring& problems);

    DefogState m_state;
    std::array<Pictures, kChannelCount> m_pictures;
    std::array<UINT_PTR, kChannelCount> m_pendingTimers{};
    CButtonEx m_saveButton;
    CButtonEx m_printButton;
    CButtonEx m_closeButton;
    std::array<std::array<CButtonEx, 3>, kChannelCount> m_channelButtons;
    std::array<CSliderCtrlEx, kChannelCount> m_sliders;
    std::array<CStaticEx, kChannelCount> m_valueLabels;
    std::array<CStaticEx, kChannelCount> m_captions;
    // The frame pieces and, third, the panel that holds the sliders, labels and captions.
    std::array<CStaticEx, 5> m_frame;
    // The look each caption shows: -1 none yet, 0 empty, 1 with a picture.
    std::array<int, kChannelCount> m_captionLooks{-1, -1, -1, -1};
    CToolTipCtrl m_toolTip;
    LANGID m_languageId = 1033;
    ResStorage* m_store = nullptr;
};
