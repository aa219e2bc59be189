#pragma once
// What the main view's 500 ms playback tick works out from the engine's position: whether it runs
// at all, the seek position, the G-sensor cursor and sample, and what the map is told.

#include "viewer/catalogue/moviesimpleparser.h"

class PlaybackTick {
  public:
    static constexpr UINT_PTR kTimerId = 0x20000001;
    static constexpr UINT kPeriod = 500;
    // A seek sets the countdown here: the next tick is skipped, so that the sliders do not jump
    // back to where the engine was before the seek reached it.
    static constexpr int kAfterSeek = 3;
    // A step sets the countdown here: from then on the tick follows the position while paused too.
    static constexpr int kAfterStep = 2;

    // Lowers a countdown above kAfterStep by one and skips; skips while paused unless a step or a
    // seek was made.
    static bool Runs(int& countdown, int paused);
    // trunc(maximum x ratio), never below 0.
    static int SliderPosition(int maximum, double ratio);
    // The seek position of a click on the G-sensor graph, given in 1/10000 of its width.
    static int GraphSeekPosition(int maximum, LPARAM position);
    // The G-sensor cursor in percent; it moves only for a value above 0.
    static int GraphPercent(double ratio);
    // The sample at a seek position: the position itself when the recorder writes a sample a frame
    // (the MP4/MOV models), else position x count / maximum; 0 without a maximum.
    static int SampleIndex(int position, int sampleCount, int maximum, bool samplePerFrame);

    enum class MapAction {
        NONE,   // no record for the position: the map and the speed readout stay as they are
        NOTICE, // no valid fix, or the one the map has: the page shows its notice
        MOVE,   // a new fix: move the car there
    };
    // What the map is told for the record at the position; lastLatitude and lastLongitude are the
    // fix the map took last.
    static MapAction MapActionAt(const GpsRecord* records, int count, int position, float lastLatitude,
                                 float lastLongitude);
};
