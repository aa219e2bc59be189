#pragma once
// What the settings editor's tests share: a host that records what the editor asks of the view
// and the user, answers questions from a queue, and formats with whatever the test says.

#include "platform/base/windowsystem.h"
#include "viewer/catalogue/sharedhelpers.h"
#include "viewer/tools/opteditor.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class RecordingHost : public IOptEditorHost {
  public:
    // "#<id>", so that the tests see which text was meant; 236 keeps its letter placeholder.
    std::wstring LoadText(UINT id) override { return id == 236 ? L"#236 '%c'" : L"#" + std::to_wstring(id); }
    int ShowMessage(const std::wstring& text, UINT type) override {
        messages.push_back(text);
        calls.push_back(L"message " + text);
        if ((type & 0xF) != MB_YESNO)
            return IDOK;
        if (answers.empty())
            return IDNO;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void HideEditor() override { calls.push_back(L"hide"); }
    void RepaintNow() override { ++repaints; }
    void OnOpenDirectory() override {
        calls.push_back(L"browse");
        if (onBrowse)
            onBrowse();
    }
    void PrepareCardFolders() override {
        calls.push_back(L"prepare");
        if (onPrepare)
            onPrepare();
    }
    void Set1ChannelDisplay(int display) override { calls.push_back(L"display " + std::to_wstring(display)); }
    void SetNumberOfChannel(int count) override { calls.push_back(L"channels " + std::to_wstring(count)); }
    void ArrangeChannelWindows() override { calls.push_back(L"arrange"); }
    void Stop(int, int) override { calls.push_back(L"stop"); }
    void Play() override { calls.push_back(L"play"); }
    void SetSpeedUnit(int unit) override { calls.push_back(L"unit " + std::to_wstring(unit)); }
    void CloseMainWindow() override { calls.push_back(L"close"); }
    std::vector<CIniFile::Record> DefaultConfig() override { return defaults; }
    bool ChooseSettingsFile(bool, std::wstring& path) override {
        if (chosenFile.empty())
            return false;
        path = chosenFile;
        return true;
    }
    CString FormatVolume(char letter, int sectorsPerCluster, FormatProgressCallback callback,
                         void* context) override {
        calls.push_back(L"format " + std::wstring(1, static_cast<wchar_t>(letter)) + L" " +
                        std::to_wstring(sectorsPerCluster));
        return format ? format(callback, context) : CString();
    }

    std::vector<std::wstring> messages;
    std::vector<std::wstring> calls;
    std::deque<int> answers;
    int repaints = 0;
    std::function<void()> onBrowse;
    std::function<void()> onPrepare;
    std::vector<CIniFile::Record> defaults;
    std::wstring chosenFile;
    std::function<CString(FormatProgressCallback, void*)> format;
};

class ModelScope {
  public:
    explicit ModelScope(int model) : m_before(GetModelIndex()) { SetModelIndex(model); }
    ~ModelScope() { SetModelIndex(m_before); }
    ModelScope(const ModelScope&) = delete;
    ModelScope& operator=(const ModelScope&) = delete;

  private:
    int m_before;
};
