#include "viewer/ui/speedrules.h"

#include <climits>
#include <cmath>
#include <cstdlib>

int SpeedRules::SpeedValue(int step) {
    return step >= kNormalStep ? step - 2 : step - 4;
}

std::wstring SpeedRules::SpeedLabel(int step) {
    const int value = SpeedValue(step);
    if (value > 0) {
        return std::to_wstring(value) + L"x";
    }
    return L"1/" + std::to_wstring(std::abs(value)) + L"x";
}

int SpeedRules::VehicleSpeed(double knots, int unit) {
    double speed = knots * 1.852;
    if (unit == 1) {
        speed *= 0.6213;
    }
    if (std::isnan(speed)) {
        return -1;
    }
    // A damaged fix may hold any number; it must not overflow the conversion.
    if (speed >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (speed <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(speed);
}

std::wstring SpeedRules::ReadoutText(int speed) {
    return speed < 0 ? L"    ---" : L"    " + std::to_wstring(speed);
}
