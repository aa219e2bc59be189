#include "viewer/ui/viewlayout.h"

#include <algorithm>

eComponentID ViewLayout::BackgroundComponent(int modelIndex) {
    static constexpr eComponentID kBackgrounds[] = {CID_MAIN_BACKGROUND_0, CID_MAIN_BACKGROUND_1,
                                                    CID_MAIN_BACKGROUND_2, CID_MAIN_BACKGROUND_3};
    return kBackgrounds[std::clamp(modelIndex, 0, 3)];
}

CPoint ViewLayout::CentredCorner(CSize window, int screenWidth, int screenHeight) {
    const int x = window.cx < screenWidth ? (screenWidth - window.cx) / 2 : 0;
    const int y = window.cy < screenHeight ? (screenHeight - window.cy) / 2 : 0;
    return CPoint(x, y);
}

int ViewLayout::RowHeight(int clientHeight, int stripHeight, int channel0Top) {
    return (clientHeight - stripHeight - channel0Top) / 2;
}

ViewLayout::OneChannel ViewLayout::ArrangeOneChannel(CSize client, int stripHeight, const CRect& channel0Rect,
                                                     int leftEdgeWidth, int rightEdgeWidth,
                                                     int oneChannelDisplay) {
    const int row = RowHeight(client.cy, stripHeight, channel0Rect.top);
    const int full = client.cx - leftEdgeWidth - rightEdgeWidth;
    int width = full;
    int height = row;
    int top = channel0Rect.top;
    int left = leftEdgeWidth;
    if (oneChannelDisplay != 0) {
        width = static_cast<int>(static_cast<float>(row) * kWideRatio);
        if (full < width) {
            width = full;
            height = static_cast<int>(static_cast<float>(width) / kWideRatio);
            top = channel0Rect.top + (row - height) / 2;
        }
        left = leftEdgeWidth + (full - width) / 2;
    }
    OneChannel layout;
    layout.channel0 = CRect(CPoint(left, top), CSize(width, height));
    layout.channel1 = CRect(channel0Rect.TopLeft(), CSize(full, row));
    return layout;
}

ViewLayout::Signs ViewLayout::UnitSigns(int unit, bool gpsSpeed) {
    Signs signs;
    if (unit == 1) {
        signs.mph = gpsSpeed;
        signs.mphWithoutGps = !gpsSpeed;
    } else {
        signs.kmh = gpsSpeed;
        signs.kmhWithoutGps = !gpsSpeed;
    }
    return signs;
}

ViewLayout::Signs ViewLayout::GpsSigns(int valid, int unit) {
    Signs signs;
    const bool fix = valid != 0;
    signs.gpsFix = fix;
    signs.gpsNoFix = !fix;
    signs.mapShown = fix;
    if (unit == 1) {
        signs.mph = fix;
        signs.mphWithoutGps = !fix;
    } else {
        signs.kmh = fix;
        signs.kmhWithoutGps = !fix;
    }
    signs.readout = fix ? kReadoutWithFix : kReadoutWithoutFix;
    return signs;
}
