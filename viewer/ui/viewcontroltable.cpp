#include "viewer/ui/viewcontroltable.h"

#include "viewer/skin/basewnd.h"
#include "viewer/skin/buttonex.h"
#include "viewer/skin/staticex.h"

namespace {

constexpr DWORD kTabStop = 0x56010000; // child, visible, clip siblings and children, tab stop
constexpr DWORD kNoTabStop = 0x56000000;
constexpr DWORD kSliderStyle = 0x50000000; // child, visible
constexpr DWORD kButtonOptions = CButtonEx::OPTION_MASK_REGION | CBaseWnd::OPTION_HOVER;
constexpr DWORD kSizingOptions = CStaticEx::OPTION_THREE_PIECES | CBaseWnd::OPTION_BACK_BUFFER;
constexpr DWORD kEdgeOptions = 0x80000;

using Table = ViewControlTable;

constexpr Table::Row Button(UINT component, UINT id, Table::Place parent, bool hidden = false,
                            DWORD options = kButtonOptions) {
    return {Table::BUTTON, component, id, parent, parent != Table::BACKGROUND, kTabStop, options,
            hidden,        false,     0,  0};
}

constexpr Table::Row Label(UINT component, UINT id, Table::Place parent, DWORD style, DWORD options,
                           bool sizing = false) {
    return {Table::LABEL, component, id, parent, parent != Table::BACKGROUND, style, options,
            false,        sizing,    0,  0};
}

constexpr Table::Row Slider(UINT component, UINT id, Table::Place parent, int maximum, int position) {
    return {Table::SLIDER, component, id, parent, true, kSliderStyle, 0, false, false, maximum, position};
}

} // namespace

const std::vector<ViewControlTable::Row>& ViewControlTable::Rows() {
    static const std::vector<Row> rows{
        Label(kBackgroundByModel, ID_BACKGROUND, VIEW, kTabStop, kSizingOptions, true),
        Button(CID_MAIN_EXIT, ID_EXIT, BACKGROUND),
        Button(CID_MAIN_MINIMIZE, ID_MINIMIZE, BACKGROUND),
        Button(CID_MAIN_PASSWORD, ID_PASSWORD, BACKGROUND, true),
        Label(CID_MAIN_LEFT_EDGE, ID_LEFT_EDGE, VIEW, kTabStop, kEdgeOptions, true),
        Label(CID_MAIN_DIVIDER, ID_DIVIDER, VIEW, kTabStop, kEdgeOptions, true),
        Label(CID_MAIN_RIGHT_EDGE, ID_RIGHT_EDGE, VIEW, kTabStop, kEdgeOptions, true),
        Label(CID_MAIN_BOTTOM_STRIP, ID_BOTTOM_STRIP, VIEW, kNoTabStop, kSizingOptions, true),
        Button(CID_MAIN_OPEN, ID_OPEN, BOTTOM_STRIP),
        Button(CID_MAIN_PREV, ID_PREV, BOTTOM_STRIP),
        Button(CID_MAIN_PLAY, ID_PLAY, BOTTOM_STRIP),
        Button(CID_MAIN_PAUSE, ID_PAUSE, BOTTOM_STRIP, true),
        Button(CID_MAIN_STOP, ID_STOP, BOTTOM_STRIP),
        Button(CID_MAIN_STEP, ID_STEP, BOTTOM_STRIP, false, kButtonOptions | CButtonEx::OPTION_AUTO_REPEAT),
        Button(CID_MAIN_NEXT, ID_NEXT, BOTTOM_STRIP),
        Button(CID_MAIN_CAPTURE, ID_CAPTURE, BOTTOM_STRIP),
        Button(CID_MAIN_DEFOG, ID_DEFOG, BOTTOM_STRIP),
        Button(CID_MAIN_MAP, ID_MAP, BOTTOM_STRIP, true),
        Button(CID_MAIN_GSENSOR, ID_GSENSOR, BOTTOM_STRIP, true),
        Button(CID_MAIN_PLAYLIST, ID_PLAYLIST, BOTTOM_STRIP),
        Button(CID_MAIN_CONFIG, ID_CONFIG, BOTTOM_STRIP),
        Label(CID_MAIN_SLIDER_PLATE, ID_SLIDER_PLATE, BOTTOM_STRIP, kNoTabStop, CBaseWnd::OPTION_BACK_BUFFER),
        Slider(CID_MAIN_VOLUME, ID_VOLUME, SLIDER_PLATE, 128, 50),
        Slider(CID_MAIN_SPEED, ID_SPEED, SLIDER_PLATE, 6, 3),
        Slider(CID_MAIN_SEEK, ID_SEEK, BOTTOM_STRIP, 100, 0),
        Label(CID_MAIN_SPEED_READOUT, ID_SPEED_READOUT, BOTTOM_STRIP, kNoTabStop, CStaticEx::OPTION_TEXT),
        Label(CID_MAIN_KMH, ID_KMH, BOTTOM_STRIP, kNoTabStop, 0),
        Label(CID_MAIN_KMH_NO_GPS, ID_KMH_NO_GPS, BOTTOM_STRIP, kNoTabStop, 0),
        Label(CID_MAIN_MPH, ID_MPH, BOTTOM_STRIP, kNoTabStop, 0),
        Label(CID_MAIN_MPH_NO_GPS, ID_MPH_NO_GPS, BOTTOM_STRIP, kNoTabStop, 0),
        Label(CID_MAIN_DECORATION, ID_DECORATION, BOTTOM_STRIP, kNoTabStop, 0),
        Label(CID_MAIN_SPEED_LABEL, ID_PLAYBACK_SPEED, BOTTOM_STRIP, kNoTabStop, CStaticEx::OPTION_TEXT),
        Label(CID_MAIN_SLIDER_COVER, ID_SLIDER_COVER, SLIDER_PLATE, kNoTabStop, CBaseWnd::OPTION_BACK_BUFFER),
        Label(CID_MAIN_GPS_NO_FIX, ID_GPS_NO_FIX, SPEED_READOUT, kNoTabStop, CBaseWnd::OPTION_BACK_BUFFER),
        Label(CID_MAIN_GPS_FIX, ID_GPS_FIX, SPEED_READOUT, kNoTabStop, CBaseWnd::OPTION_BACK_BUFFER),
    };
    return rows;
}

const std::vector<ViewControlTable::ToolTip>& ViewControlTable::ToolTips() {
    static const std::vector<ToolTip> tips{
        {ID_EXIT, 193},  {ID_MINIMIZE, 192}, {ID_OPEN, 232},    {ID_PREV, 181},     {ID_PLAY, 183},
        {ID_PAUSE, 182}, {ID_STOP, 184},     {ID_STEP, 185},    {ID_NEXT, 186},     {ID_CAPTURE, 187},
        {ID_MAP, 188},   {ID_DEFOG, 189},    {ID_GSENSOR, 190}, {ID_PLAYLIST, 197}, {ID_CONFIG, 191},
    };
    return tips;
}
