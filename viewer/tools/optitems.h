#pragma once
// The settings editor's items: one row per value the editor keeps, with its key in each key set,
// the recorder models that read and write it, how a value read from the card reaches the controls,
// and its default. The readers and writers walk this table; nothing else lists the keys.

#include "platform/base/wintypes.h"

#include <array>
#include <string>
#include <vector>

// The value fields, one per config.txt key; the short-key fields share the long-key rows.
enum OptField : int {
    kDrivingResolutionF,
    kDrivingResolutionR,
    kDrivingModeFrameF,
    kDrivingModeFrameR,
    kDrivingModeAccelerator,
    kMicVolume,
    kRearMirror,
    kSharpness,
    kNightBright,
    kBitRate,
    kParkingResolutionF,
    kParkingResolutionR,
    kParkingModeFrameF,
    kParkingModeFrameR,
    kParkingAccelerator,
    kParkingMotion,
    kCutOffVol,
    kAccTime,
    kMemoryPartition,
    kParkEventRatio,
    kGpsSpeedDisplay,
    kTimeZone,
    kScreenSaverTime,
    kPipMode,
    kSpeakerVolume,
    kLcdOff,
    kParkingTimer,
    kOptFieldCount
};

// How a value read from the card reaches the controls.
enum class OptShow {
    Kept, // no control
    DrivingQuality,
    ParkingQuality,
    RearMirror,
    CutOffVoltage,
    AccTime,
    MemoryPartition,
    GpsSpeedDisplay,
    ScreenSaverTime,
    PipMode,
    TimeZone,
    MicOn,
    SpeakerOn,
    Gsensor,
    Motion,
    DrivingAccelerator,
    ParkingAccelerator,
    MicSlider,
    SpeakerSlider,
    Sharpness,
    NightBright,
    ParkingMotion,
    ParkEventRatio,
};

constexpr unsigned OptModel(int model) {
    return 1u << model;
}
constexpr unsigned kOptAllLongModels = OptModel(0) | OptModel(1) | OptModel(2);

struct OptItem {
    OptField field;
    const wchar_t* longKey;  // null: not in the long key set
    const wchar_t* shortKey; // null: not in the short key set (model 3)
    unsigned readModels;     // OptModel bits; model 3 reads the short key
    unsigned writeModels;
    // Places in the reading and writing orders, 0 for none: long read, long write, short (both).
    int longReadRank;
    int longWriteRank;
    int shortRank;
    OptShow longShow;
    OptShow shortShow;
    int defaultValue;
};

const std::vector<OptItem>& OptItems();
const OptItem& OptItemOf(OptField field);

// The rows a model reads (or writes), in that order.
std::vector<const OptItem*> OptItemsRead(int model);
std::vector<const OptItem*> OptItemsWritten(int model);
// The key a model uses for the row; null when the model's key set has none.
const wchar_t* OptKeyFor(const OptItem& item, int model);

// The sliders of the editor, told apart by role: two of them share a control id.
enum class OptSlider {
    DrivingAccelerator,
    Mic,
    Sharpness,
    NightBright,
    ParkingAccelerator,
    ParkingMotion,
    ParkEventRatio,
    Speaker,
    FormatProgress,
    Count
};
constexpr size_t kOptSliderCount = static_cast<size_t>(OptSlider::Count);

struct OptSliderRow {
    UINT sliderId;
    UINT labelId;
    int minimum;
    int maximum;
    int position;
    const wchar_t* label;
};
const OptSliderRow& OptSliderRowOf(OptSlider slider);

// The text-to-number conversion of every setter: leading blanks, an optional sign, digits up to
// the first other character; 0 without digits. Saturates instead of overflowing.
int OptTextToInt(const wchar_t* text);
