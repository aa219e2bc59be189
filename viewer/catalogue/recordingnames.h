#pragma once
// How the recorders name what they write on a card: four folders, and names that carry the start
// time, the camera and the kind of recording, e.g. 2023_05_24_12_30_45_F_normal.mp4 (models 0-2,
// one file per camera) or 2023_05_24_12_30_45_D_N.avi (model 3, which may put several cameras in
// one file).

#include <string>

// The kind of a recording as its name tells it. 9 is no kind of file but the list filter for all.
enum RecordTypeCode : int {
    RECORD_TYPE_NONE = 0,
    RECORD_TYPE_NORMAL = 3,
    RECORD_TYPE_EVENT = 4,
    RECORD_TYPE_PARKING_EVENT = 5,
    RECORD_TYPE_MOTION_EVENT = 6,
    RECORD_TYPE_MANUAL = 7,
    RECORD_TYPE_PARKING_NORMAL = 8,
    RECORD_TYPE_ALL = 9,
    RECORD_TYPE_TIMELAPSE = 10,
};

// The card's recording folders, in the order a card is read.
constexpr const wchar_t* kCardFolders[] = {L"Drive", L"DriveEvent", L"Parking", L"ParkingEvent"};

// The camera letter's place in a name without prefix, between separators at 19 and 21.
constexpr size_t kChannelLetterIndex = 20;
// Date, time and camera: the part of every name the catalogue key is made of.
constexpr size_t kNameStampLength = 22;

// The last component of a path ('/' separated); the whole text when it has no '/'.
std::wstring RecordingFileName(const std::wstring& path);

// 1 for a name the AVI model wrote with all of a recording's cameras in one file: model 3 and
// neither "_F_" nor "_R_" in the file name. Always 0 for models 0-2. Safe from any thread.
int LacksFrontRearTag(std::wstring name);

// Nonzero when the file exists and carries that camera (1 front, 2 second; anything else counts
// as 1). For a one-file AVI name: 3 for camera 1; for camera 2 the number of further cameras by its
// tag, "_D_" 1, "_T_" 2, "_Q_" 3 (the later tag wins). Otherwise 1 when the name holds "_F_"
// (camera 1) or "_R_" (camera 2).
int GetFileTagCode(const std::wstring& path, int channel);

// True for an existing one-file AVI recording whose tag covers the camera named by the letter:
// "D" the second, "T" the third, "Q" the fourth.
bool HasChannelTag(const std::wstring& path, const std::wstring& letter);
