#include "viewlogicfixture.h"

#include "platform/base/unicode.h"
#include "viewer/catalogue/sharedhelpers.h"

#include <cstdio>
#include <fstream>

void ViewLogicTest::SetUp() {
    SetModelIndex(0);
}

void ViewLogicTest::TearDown() {
    SetModelIndex(0);
}

std::wstring ViewLogicTest::MakeFile(const std::string& name) {
    std::ofstream(folder / name, std::ios::binary).put('\0');
    return folder.Wide(name);
}

std::string ViewLogicTest::FolderText() const {
    return folder.Path().string() + "/";
}

FakeRecording& ViewLogicTest::AddRecording(const std::wstring& key, const std::string& front,
                                           const std::string& rear) {
    FakeRecording& recording = catalogue.recordings[key];
    recording.front = MakeFile(front);
    if (!rear.empty())
        recording.rear = MakeFile(rear);
    return recording;
}

void ViewLogicTest::ShowAll() {
    catalogue.FillListByType(&list, 9, 1);
    ClearLogs();
}

void ViewLogicTest::OpenRow(int row) {
    ASSERT_EQ(transport.OpenAndPlay(row), 1);
    ClearLogs();
}

void ViewLogicTest::ClearLogs() {
    calls.clear();
    list.repaints = 0;
}

std::string Mp4Name(int second, char camera) {
    char name[64];
    std::snprintf(name, sizeof(name), "2023_05_24_12_30_%02d_%c_normal.mp4", second, camera);
    return name;
}

std::string AviName(int second, char camera) {
    char name[64];
    std::snprintf(name, sizeof(name), "2023_05_24_12_30_%02d_%c_N.avi", second, camera);
    return name;
}
