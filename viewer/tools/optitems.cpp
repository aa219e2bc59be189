#include "viewer/tools/optitems.h"

#include <algorithm>
#include <climits>
#include <cwctype>

namespace {

constexpr unsigned kM0 = OptModel(0);
constexpr unsigned kM01 = OptModel(0) | OptModel(1);
constexpr unsigned kLong = kOptAllLongModels;
constexpr unsigned kShort = OptModel(3);
constexpr unsigned kAll = kLong | kShort;

// "Bit rate" and "Sharpness" are read for every model that writes them, so that a save keeps
// what the card held rather than writing the default over it.
const std::vector<OptItem> kItems = {
    {kDrivingResolutionF, L"Driving ResolutionF", nullptr, 0, kM0, 0, 25, 0, OptShow::Kept, OptShow::Kept, 0},
    {kDrivingResolutionR, L"Driving ResolutionR", nullptr, 0, kM0, 0, 24, 0, OptShow::Kept, OptShow::Kept, 0},
    {kDrivingModeFrameF, L"Driving Mode FrameF", nullptr, kM0, kM0, 1, 14, 0, OptShow::DrivingQuality,
     OptShow::Kept, 0},
    {kDrivingModeFrameR, L"Driving Mode FrameR", nullptr, 0, kM0, 0, 13, 0, OptShow::Kept, OptShow::Kept, 0},
    {kDrivingModeAccelerator, L"Driving Mode Accelerator", L"gsensor", kAll, kAll, 2, 21, 4,
     OptShow::DrivingAccelerator, OptShow::Gsensor, 0},
    {kMicVolume, L"MIC Volume", L"mic_on", kAll, kAll, 3, 10, 2, OptShow::MicSlider, OptShow::MicOn, 0},
    {kRearMirror, L"Rear Mirror", nullptr, kLong, kLong, 6, 1, 0, OptShow::RearMirror, OptShow::Kept, 0},
    {kSharpness, L"Sharpness", nullptr, kM01, kM01, 4, 15, 0, OptShow::Sharpness, OptShow::Kept, 0},
    {kNightBright, L"Night Bright", nullptr, kM0, kM0, 5, 18, 0, OptShow::NightBright, OptShow::Kept, 2},
    {kBitRate, L"Bit rate", nullptr, kM01, kM01, 19, 16, 0, OptShow::Kept, OptShow::Kept, 0},
    {kParkingResolutionF, L"Parking ResolutionF", nullptr, kM0, kM0, 7, 23, 0, OptShow::ParkingQuality,
     OptShow::Kept, 0},
    {kParkingResolutionR, L"Parking ResolutionR", nullptr, 0, kM0, 0, 22, 0, OptShow::Kept, OptShow::Kept, 0},
    {kParkingModeFrameF, L"Parking Mode FrameF", nullptr, 0, kM0, 0, 12, 0, OptShow::Kept, OptShow::Kept, 0},
    {kParkingModeFrameR, L"Parking Mode FrameR", nullptr, 0, kM0, 0, 11, 0, OptShow::Kept, OptShow::Kept, 0},
    {kParkingAccelerator, L"Parking Accelerator", nullptr, kLong, kLong, 8, 20, 0,
     OptShow::ParkingAccelerator, OptShow::Kept, 0},
    {kParkingMotion, L"Parking Motion", L"motion", kAll, kAll, 9, 19, 5, OptShow::ParkingMotion,
     OptShow::Motion, 0},
    {kCutOffVol, L"CUT OFF VOL", L"cut_off", kAll, kAll, 10, 4, 6, OptShow::CutOffVoltage,
     OptShow::CutOffVoltage, 0},
    {kAccTime, L"ACC Time", nullptr, kLong, kLong, 11, 5, 0, OptShow::AccTime, OptShow::Kept, 0},
    {kMemoryPartition, L"Memory Partition", nullptr, kLong, kLong, 12, 8, 0, OptShow::MemoryPartition,
     OptShow::Kept, 0},
    {kParkEventRatio, L"ParkEventRatio", nullptr, kLong, kLong, 13, 7, 0, OptShow::ParkEventRatio,
     OptShow::Kept, 0},
    {kGpsSpeedDisplay, L"GPS Speed Display", nullptr, kLong, kLong, 14, 9, 0, OptShow::GpsSpeedDisplay,
     OptShow::Kept, 0},
    {kTimeZone, L"Time zone", L"timezone", kAll, kAll, 16, 6, 8, OptShow::TimeZone, OptShow::TimeZone, 0},
    {kScreenSaverTime, L"Screen Saver Time", nullptr, kLong, kLong, 17, 3, 0, OptShow::ScreenSaverTime,
     OptShow::Kept, 0},
    {kPipMode, L"PIP Mode", nullptr, kLong, kLong, 18, 2, 0, OptShow::PipMode, OptShow::Kept, 0},
    {kSpeakerVolume, L"Speaker Volume", L"speak_on", kAll, kAll, 15, 17, 3, OptShow::SpeakerSlider,
     OptShow::SpeakerOn, 0},
    {kLcdOff, nullptr, L"lcd_off", kShort, 0, 0, 0, 1, OptShow::Kept, OptShow::Kept, 0},
    {kParkingTimer, nullptr, L"parking_timer", kShort, 0, 0, 0, 7, OptShow::Kept, OptShow::Kept, 0},
};

const std::array<OptSliderRow, kOptSliderCount> kSliders = {{
    {22017, 22018, 0, 2, 1, L"1"},
    {22017, 22018, 0, 1, 0, L"1"},
    {22021, 22022, 0, 4, 2, L"3"},
    {22023, 22024, 1, 5, 1, L"1"},
    {22042, 22043, 1, 5, 3, L"3"},
    {22040, 22041, 0, 4, 3, L"2"},
    {22095, 22096, 0, 2, 0, L"20%"},
    {22054, 22055, 0, 1, 0, L"1"},
    {22077, 22078, 0, 100, 0, L"0"},
}};

std::vector<const OptItem*> Ordered(int model, bool writing) {
    std::vector<const OptItem*> rows;
    if (model < 0 || model > 3)
        return rows;
    const bool shortSet = model == 3;
    for (const OptItem& item : kItems) {
        const unsigned mask = writing ? item.writeModels : item.readModels;
        if ((mask & OptModel(model)) != 0)
            rows.push_back(&item);
    }
    const auto rank = [&](const OptItem* item) {
        return shortSet ? item->shortRank : (writing ? item->longWriteRank : item->longReadRank);
    };
    std::sort(rows.begin(), rows.end(),
              [&](const OptItem* a, const OptItem* b) { return rank(a) < rank(b); });
    return rows;
}

} // namespace

const std::vector<OptItem>& OptItems() {
    return kItems;
}

const OptItem& OptItemOf(OptField field) {
    return kItems[static_cast<size_t>(field)];
}

std::vector<const OptItem*> OptItemsRead(int model) {
    return Ordered(model, false);
}

std::vector<const OptItem*> OptItemsWritten(int model) {
    return Ordered(model, true);
}

const wchar_t* OptKeyFor(const OptItem& item, int model) {
    return model == 3 ? item.shortKey : item.longKey;
}

const OptSliderRow& OptSliderRowOf(OptSlider slider) {
    return kSliders[static_cast<size_t>(slider)];
}

int OptTextToInt(const wchar_t* text) {
    if (text == nullptr)
        return 0;
    while (*text != 0 && std::iswspace(static_cast<wint_t>(*text)))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') {
        negative = *text == L'-';
        ++text;
    }
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 + (*text - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
