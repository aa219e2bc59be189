#include "viewer/ui/playbacktick.h"

#include <climits>
#include <cstdint>

namespace {

// Toward zero, held to 0..INT_MAX: the engine's ratio comes from a file and may be anything.
int Truncated(double value) {
    if (!(value > 0.0)) {
        return 0;
    }
    return value >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

} // namespace

bool PlaybackTick::Runs(int& countdown, int paused) {
    if (countdown > kAfterStep) {
        --countdown;
        return false;
    }
    return !(paused != 0 && countdown <= 0);
}

int PlaybackTick::SliderPosition(int maximum, double ratio) {
    return Truncated(static_cast<double>(maximum) * ratio);
}

int PlaybackTick::GraphSeekPosition(int maximum, LPARAM position) {
    return Truncated(maximum * (static_cast<double>(position) / 100.0) / 100.0);
}

int PlaybackTick::GraphPercent(double ratio) {
    return Truncated(ratio * 100.0);
}

int PlaybackTick::SampleIndex(int position, int sampleCount, int maximum, bool samplePerFrame) {
    if (samplePerFrame) {
        return position;
    }
    if (maximum <= 0) {
        return 0;
    }
    // Long recordings overflow 32 bits here: 36,000 frames x 36,000 samples.
    return static_cast<int>(static_cast<int64_t>(position) * sampleCount / maximum);
}

PlaybackTick::MapAction PlaybackTick::MapActionAt(const GpsRecord* records, int count, int position,
                                                  float lastLatitude, float lastLongitude) {
    if (records == nullptr || count <= 0) {
        return MapAction::NOTICE;
    }
    if (position < 0 || position >= count) {
        return MapAction::NONE;
    }
    const GpsRecord& record = records[position];
    if (record.status != 'A' || record.sentenceFlag != 1) {
        return MapAction::NOTICE;
    }
    const float latitude = static_cast<float>(record.latitude);
    const float longitude = static_cast<float>(record.longitude);
    return latitude == lastLatitude && longitude == lastLongitude ? MapAction::NOTICE : MapAction::MOVE;
}
