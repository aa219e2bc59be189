#pragma once
// A settings-editor host for runs that watch only the editor's files: it shows nothing, answers
// every question "no" and formats nothing. Derive from it to answer otherwise.

#include "platform/base/windowsystem.h"
#include "viewer/tools/opteditor.h"

#include <string>
#include <vector>

class SilentOptEditorHost : public IOptEditorHost {
  public:
    std::wstring LoadText(UINT) override { return {}; }
    int ShowMessage(const std::wstring&, UINT) override { return IDNO; }
    void HideEditor() override {}
    void RepaintNow() override {}
    void OnOpenDirectory() override {}
    void PrepareCardFolders() override {}
    void Set1ChannelDisplay(int) override {}
    void SetNumberOfChannel(int) override {}
    void ArrangeChannelWindows() override {}
    void Stop(int, int) override {}
    void Play() override {}
    void SetSpeedUnit(int) override {}
    void CloseMainWindow() override {}
    std::vector<CIniFile::Record> DefaultConfig() override { return {}; }
    bool ChooseSettingsFile(bool, std::wstring&) override { return false; }
    CString FormatVolume(char, int, FormatProgressCallback, void*) override { return L"not formatted"; }
};
