#pragma once
// The two speeds the main view shows: the playback speed of the speed sliders' seven steps, and
// the vehicle speed of the GPS fixes.

#include <string>

class SpeedRules {
  public:
    static constexpr int kNormalStep = 3;

    // 1 normal; -n plays at 1/n, n at n times: steps 0-2 give -4, -3, -2, steps 3-6 give 1 to 4.
    static int SpeedValue(int step);
    // "1/4x", "1/3x", "1/2x", "1x", "2x", "3x", "4x".
    static std::wstring SpeedLabel(int step);
    // Knots as whole km/h (unit 0) or mph (unit 1), truncated toward zero; -1 for a speed that is
    // not a number.
    static int VehicleSpeed(double knots, int unit);
    // "    ---" for a negative speed, else the number after four blanks.
    static std::wstring ReadoutText(int speed);
};
