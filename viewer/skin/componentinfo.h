#pragma once
// The skin's components: the ids every window asks the skin store for, and the records the store
// keeps for them. Every image handle in a record belongs to the skin store alone: controls that
// are given one only borrow it and never delete it (many controls share one component's images).

#include "platform/base/wintypes.h"
#include "platform/ui/gdidefs.h"

#include <cstddef>

// Written in hexadecimal in skin.xml. 0x1000xxxx serve every window, 0x1100xxxx the recorder
// settings window. The numbering skips 0x..10A-0x..10F and 0x..11A-0x..11F.
enum eComponentID : UINT {
    CID_NONE = 0,

    // Main view
    CID_MAIN_EXIT = 0x10000002,          // button
    CID_MAIN_MINIMIZE = 0x10000003,      // button
    CID_MAIN_VOLUME = 0x10000005,        // slider
    CID_MAIN_PLAYLIST = 0x10000008,      // button
    CID_MAIN_SPEED = 0x10000009,         // slider; the control bar's speed slider shares its images
    CID_MAIN_SLIDER_PLATE = 0x1000000A,  // static
    CID_MAIN_PREV = 0x1000000B,          // button
    CID_MAIN_PLAY = 0x1000000C,          // button
    CID_MAIN_STOP = 0x1000000D,          // button
    CID_MAIN_STEP = 0x1000000E,          // button
    CID_MAIN_NEXT = 0x1000000F,          // button
    CID_MAIN_CAPTURE = 0x10000010,       // button
    CID_MAIN_PAUSE = 0x10000011,         // button
    CID_MAIN_MAP = 0x10000012,           // button
    CID_MAIN_DEFOG = 0x10000013,         // button
    CID_MAIN_GSENSOR = 0x10000014,       // button
    CID_MAIN_SEEK = 0x10000015,          // slider
    CID_MAIN_BACKGROUND_0 = 0x10000016,  // static, background of recorder model 0
    CID_MAIN_LEFT_EDGE = 0x10000017,     // static
    CID_MAIN_DIVIDER = 0x10000018,       // static
    CID_MAIN_RIGHT_EDGE = 0x10000019,    // static
    CID_MAIN_BOTTOM_STRIP = 0x1000001A,  // static
    CID_MAIN_VIDEO_0 = 0x1000001B,       // rectangle of the front channel's window
    CID_MAIN_VIDEO_1 = 0x1000001C,       // rectangle of the rear channel's window
    CID_MAIN_WINDOW = 0x1000001E,        // rectangle: the main window's size
    CID_MAIN_SPEED_LABEL = 0x10000029,   // static ("1x")
    CID_MAIN_KMH = 0x1000002A,           // static
    CID_MAIN_DECORATION = 0x1000002B,    // static
    CID_MAIN_OPEN = 0x1000002F,          // button
    CID_MAIN_BACKGROUND_1 = 0x10000033,  // static
    CID_MAIN_BACKGROUND_2 = 0x10000034,  // static
    CID_MAIN_BACKGROUND_3 = 0x10000035,  // static
    CID_MAIN_SPEED_READOUT = 0x1000005D, // static (text)
    CID_MAIN_PASSWORD = 0x100000FF,      // button
    CID_MAIN_VIDEO_3 = 0x10000100,       // rectangle of channel 3's window
    CID_MAIN_VIDEO_2 = 0x10000101,       // rectangle of channel 2's window
    CID_MAIN_SLIDER_COVER = 0x10000118,  // static
    CID_MAIN_GPS_FIX = 0x10000119,       // static
    CID_MAIN_GPS_NO_FIX = 0x10000120,    // static
    CID_MAIN_KMH_NO_GPS = 0x10000121,    // static
    CID_MAIN_MPH = 0x1000012A,           // static
    CID_MAIN_MPH_NO_GPS = 0x1000012B,    // static

    // Playback control bar (full screen)
    CID_BAR_BACKGROUND = 0x10000001,    // static
    CID_BAR_UNIT_A = 0x1000002C,        // static
    CID_BAR_UNIT_B = 0x1000002D,        // static
    CID_BAR_PREV = 0x10000040,          // button
    CID_BAR_PLAY = 0x10000041,          // button
    CID_BAR_PAUSE = 0x10000042,         // button
    CID_BAR_STOP = 0x10000043,          // button
    CID_BAR_STEP = 0x10000044,          // button
    CID_BAR_NEXT = 0x10000045,          // button
    CID_BAR_CAPTURE = 0x10000046,       // button
    CID_BAR_DEFOG = 0x10000047,         // button
    CID_BAR_SEEK = 0x10000048,          // slider
    CID_BAR_VOLUME = 0x10000049,        // slider
    CID_BAR_SPEED = 0x1000004A,         // slider (images of CID_MAIN_SPEED)
    CID_BAR_SPEED_LABEL = 0x1000004B,   // static
    CID_BAR_SPEED_READOUT = 0x1000005E, // static

    // Playlist panel
    CID_PLAYLIST_LIST = 0x10000006,    // list
    CID_PLAYLIST_PIECE_1 = 0x100000C8, // static
    CID_PLAYLIST_PIECE_2 = 0x100000C9, // static
    CID_PLAYLIST_PIECE_3 = 0x100000CA, // static
    CID_PLAYLIST_PIECE_4 = 0x100000CB, // static
    CID_PLAYLIST_PIECE_5 = 0x100000CC, // static
    CID_PLAYLIST_PANEL = 0x100000CD,   // rectangle of the panel

    // G-sensor panel
    CID_SENSOR_CLOSE = 0x10000007,   // button
    CID_SENSOR_PANEL = 0x1000001F,   // rectangle of the panel
    CID_SENSOR_PLOT = 0x10000020,    // rectangle of the plot
    CID_SENSOR_GRAPH = 0x10000021,   // static: the graph's background is its first image
    CID_SENSOR_VALUE_X = 0x10000030, // rectangle
    CID_SENSOR_VALUE_Y = 0x10000031, // rectangle
    CID_SENSOR_VALUE_Z = 0x10000032, // rectangle

    // Map panel
    CID_MAP_GRIP_TOP = 0x10000022,    // static
    CID_MAP_GRIP_LEFT = 0x10000023,   // static
    CID_MAP_GRIP_RIGHT = 0x10000024,  // static
    CID_MAP_GRIP_BOTTOM = 0x10000025, // static
    CID_MAP_CLOSE = 0x10000026,       // button, placed relative to CID_MAP_GRIP_TOP
    CID_MAP_PANEL = 0x10000027,       // rectangle of the panel and its minimum size
    CID_MAP_PAGE = 0x10000028,        // rectangle of the map page

    // Defog window
    CID_DEFOG_FRAME_1 = 0x10000065,         // static
    CID_DEFOG_FRAME_2 = 0x10000066,         // static
    CID_DEFOG_PANEL = 0x10000067,           // static
    CID_DEFOG_FRAME_3 = 0x10000068,         // static
    CID_DEFOG_FRAME_4 = 0x10000069,         // static
    CID_DEFOG_PICTURE_1 = 0x1000006A,       // rectangle
    CID_DEFOG_PICTURE_2 = 0x1000006B,       // rectangle
    CID_DEFOG_SAVE = 0x1000006C,            // button
    CID_DEFOG_PRINT = 0x1000006D,           // button
    CID_DEFOG_CLOSE = 0x1000006E,           // button
    CID_DEFOG_WINDOW = 0x1000006F,          // rectangle: the window's size
    CID_DEFOG_ZOOM_IN_1 = 0x10000070,       // button
    CID_DEFOG_ZOOM_OUT_1 = 0x10000071,      // button
    CID_DEFOG_FIT_1 = 0x10000072,           // button
    CID_DEFOG_ZOOM_IN_2 = 0x10000073,       // button
    CID_DEFOG_ZOOM_OUT_2 = 0x10000074,      // button
    CID_DEFOG_FIT_2 = 0x10000075,           // button
    CID_DEFOG_STRENGTH_1 = 0x10000076,      // slider; its images serve all four
    CID_DEFOG_VALUE_1 = 0x10000077,         // static; its images serve all four
    CID_DEFOG_STRENGTH_2 = 0x10000078,      // slider
    CID_DEFOG_VALUE_2 = 0x10000079,         // static
    CID_DEFOG_STRENGTH_3 = 0x10000102,      // slider
    CID_DEFOG_STRENGTH_4 = 0x10000103,      // slider
    CID_DEFOG_VALUE_3 = 0x10000104,         // static
    CID_DEFOG_VALUE_4 = 0x10000105,         // static
    CID_DEFOG_PICTURE_3 = 0x10000106,       // rectangle
    CID_DEFOG_PICTURE_4 = 0x10000107,       // rectangle
    CID_DEFOG_ZOOM_IN_3 = 0x10000108,       // button
    CID_DEFOG_ZOOM_OUT_3 = 0x10000109,      // button
    CID_DEFOG_FIT_3 = 0x10000110,           // button
    CID_DEFOG_ZOOM_IN_4 = 0x10000111,       // button
    CID_DEFOG_ZOOM_OUT_4 = 0x10000112,      // button
    CID_DEFOG_FIT_4 = 0x10000113,           // button
    CID_DEFOG_CAPTION_1 = 0x10000122,       // static
    CID_DEFOG_CAPTION_2 = 0x10000123,       // static
    CID_DEFOG_CAPTION_3 = 0x10000124,       // static
    CID_DEFOG_CAPTION_4 = 0x10000125,       // static
    CID_DEFOG_CAPTION_EMPTY_1 = 0x10000126, // static
    CID_DEFOG_CAPTION_EMPTY_2 = 0x10000127, // static
    CID_DEFOG_CAPTION_EMPTY_3 = 0x10000128, // static
    CID_DEFOG_CAPTION_EMPTY_4 = 0x10000129, // static

    // Recorder settings window
    CID_OPT_APPLY = 0x1000007F,         // button (22007)
    CID_OPT_CLOSE = 0x10000084,         // button (22012)
    CID_OPT_WINDOW = 0x10000085,        // rectangle: the window's size
    CID_OPT_CHOICE_IMAGES = 0x10000086, // button images of every choice button
    CID_OPT_SLIDER_IMAGES = 0x10000087, // slider images of every slider
    CID_OPT_LABEL_IMAGES = 0x10000088,  // static images of every value label
    CID_OPT_CHOICE_22207 = 0x100000AC,
    CID_OPT_CHOICE_22208 = 0x100000AD,
    CID_OPT_CHOICE_22209 = 0x100000AE,
    CID_OPT_PAGE5 = 0x100000BE,       // static
    CID_OPT_LABEL_22082 = 0x100000C0, // static
    CID_OPT_BACKGROUND = 0x100000C3,  // static
    CID_OPT_CHOICE_22085 = 0x100000CE,
    CID_OPT_CHOICE_22086 = 0x100000CF,
    CID_OPT_CHOICE_22087 = 0x100000D1,
    CID_OPT_CHOICE_22088 = 0x100000D2,
    CID_OPT_CHOICE_22089 = 0x100000D3,
    CID_OPT_CHOICE_22090 = 0x100000D4,
    CID_OPT_MODEL_0 = 0x100000D5, // choice buttons of the recorder model
    CID_OPT_MODEL_1 = 0x100000D6,
    CID_OPT_MODEL_2 = 0x100000D7,
    CID_OPT_MODEL_3 = 0x100000D8,
    CID_OPT_PAGE1_MODEL0 = 0x11000089, // static
    CID_OPT_CHOICE_22014 = 0x1100008A,
    CID_OPT_SLIDER_22017_A = 0x1100008B,
    CID_OPT_LABEL_22018_A = 0x1100008C,
    CID_OPT_SLIDER_22017_B = 0x1100008D,
    CID_OPT_LABEL_22018_B = 0x1100008E,
    CID_OPT_CHOICE_22019 = 0x1100008F,
    CID_OPT_CHOICE_22051 = 0x11000090,
    CID_OPT_FORMAT = 0x11000094,        // button (22075)
    CID_OPT_PAGE1 = 0x11000095,         // static
    CID_OPT_PAGE3_MODEL13 = 0x11000096, // static
    CID_OPT_PAGE3_MODEL2 = 0x11000097,  // static
    CID_OPT_PAGE2_MODEL0 = 0x110000A0,  // static
    CID_OPT_SLIDER_22021 = 0x110000A1,
    CID_OPT_LABEL_22022 = 0x110000A2,
    CID_OPT_SLIDER_22023 = 0x110000A3,
    CID_OPT_LABEL_22024 = 0x110000A4,
    CID_OPT_CHOICE_22028 = 0x110000A8,
    CID_OPT_CHOICE_22029 = 0x110000A9,
    CID_OPT_PAGE2 = 0x110000AB,        // static
    CID_OPT_PAGE3_MODEL0 = 0x110000C0, // static
    CID_OPT_CHOICE_22032 = 0x110000C1,
    CID_OPT_CHOICE_22033 = 0x110000C2,
    CID_OPT_CHOICE_22200 = 0x110000C3,
    CID_OPT_CHOICE_22201 = 0x110000C4,
    CID_OPT_CHOICE_22202 = 0x110000C5,
    CID_OPT_CHOICE_22037 = 0x110000C6,
    CID_OPT_CHOICE_22038 = 0x110000C7,
    CID_OPT_SLIDER_22040 = 0x110000C8,
    CID_OPT_LABEL_22041 = 0x110000C9,
    CID_OPT_CHOICE_22205 = 0x110000CA, // also 22045 on page 3
    CID_OPT_SLIDER_22042 = 0x110000CB,
    CID_OPT_LABEL_22043 = 0x110000CC,
    CID_OPT_CHOICE_22203 = 0x110000CD, // also 22039 on page 3
    CID_OPT_CHOICE_22204 = 0x110000CE, // also 22044 on page 3
    CID_OPT_CHOICE_22046 = 0x110000CF,
    CID_OPT_CHOICE_22047 = 0x110000D0,
    CID_OPT_CHOICE_22049 = 0x110000D1,
    CID_OPT_SLIDER_22095 = 0x110000D2,
    CID_OPT_LABEL_22096 = 0x110000D3,
    CID_OPT_CHOICE_22074 = 0x110000D4,
    CID_OPT_CHOICE_22206 = 0x110000D8, // also 22048 on page 3
    CID_OPT_PAGE4 = 0x110000E0,        // static
    CID_OPT_CHOICE_22052 = 0x110000E2,
    CID_OPT_CHOICE_22053 = 0x110000E3,
    CID_OPT_SLIDER_22054 = 0x110000E4,
    CID_OPT_LABEL_22055 = 0x110000E5,
    CID_OPT_TIMEZONE_COMBO = 0x110000E6, // combobox
    CID_OPT_DRIVE_COMBO = 0x110000E7,    // combobox
    CID_OPT_CHOICE_22063 = 0x110000E8,
    CID_OPT_CHOICE_22064 = 0x110000E9,
    CID_OPT_CHOICE_22065 = 0x110000EA,
    CID_OPT_CHOICE_22067 = 0x110000EB,
    CID_OPT_CHOICE_22068 = 0x110000EC,
    CID_OPT_EDIT_1006 = 0x110000F3,             // rectangle of edit 1006
    CID_OPT_BUTTON_22073 = 0x110000F4,          // button
    CID_OPT_FORMAT_PROGRESS = 0x110000F8,       // slider
    CID_OPT_FORMAT_PROGRESS_LABEL = 0x110000F9, // static

    // Our own skin's: the main view's button that opens the settings editor, and the editor's page
    // tabs for pages 1 to 5.
    CID_MAIN_CONFIG = 0x12000001, // button
    CID_OPT_TAB_1 = 0x12000002,   // buttons, 0x12000002 to 0x12000006
};

// Image slots of ComponentImages; a record's images fill the first slots in record order.
constexpr int COMPONENT_IMAGE_SLOTS = 13;
constexpr int BUTTON_IMAGE_COUNT = 5;
constexpr int SLIDER_IMAGE_COUNT = 5;
constexpr int STATIC_IMAGE_COUNT = 3;
constexpr int LIST_IMAGE_COUNT = 13;
constexpr int DUMMY_IMAGE_COUNT = 1;
constexpr int COMBOBOX_IMAGE_COUNT = 7;

// Coordinates are pixels in the layout of the skin's background; callers take them relative to a
// parent component (ResStorage::GetComponentRect).
struct sButtonInfo {
    eComponentID id = CID_NONE;
    HBITMAP normal = nullptr;
    HBITMAP hover = nullptr;
    HBITMAP press = nullptr;
    HBITMAP disable = nullptr;
    HBITMAP mask = nullptr; // 0xFF00FF marks the pixels outside the button's shape
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct sSliderInfo {
    eComponentID id = CID_NONE;
    HBITMAP thumb_normal = nullptr;
    HBITMAP thumb_hover = nullptr;
    HBITMAP thumb_press = nullptr;
    HBITMAP thumb_disable = nullptr;
    HBITMAP blank = nullptr; // the channel, tiled from the left to the thumb's centre
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct sStaticInfo {
    eComponentID id = CID_NONE;
    HBITMAP start = nullptr;
    HBITMAP middle = nullptr;
    HBITMAP end = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct sListInfo {
    eComponentID id = CID_NONE;
    HBITMAP col_hdr_start = nullptr;
    HBITMAP col_hdr_span = nullptr;
    HBITMAP col_hdr_end = nullptr;
    HBITMAP hor_scrollbar_left_arrow = nullptr;
    HBITMAP hor_scrollbar_right_arrow = nullptr;
    HBITMAP hor_scrollbar_thumb = nullptr;
    HBITMAP hor_scrollbar_span = nullptr;
    HBITMAP ver_scrollbar_top = nullptr;
    HBITMAP ver_scrollbar_bottom = nullptr;
    HBITMAP ver_scrollbar_up_arrow = nullptr;
    HBITMAP ver_scrollbar_down_arrow = nullptr;
    HBITMAP ver_scrollbar_span = nullptr;
    HBITMAP ver_scrollbar_thumb = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct sDummyInfo {
    eComponentID id = CID_NONE;
    HBITMAP bg = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct sComboBoxInfo {
    eComponentID id = CID_NONE;
    HBITMAP combo_left = nullptr;
    HBITMAP combo_center = nullptr;
    HBITMAP combo_right = nullptr;
    HBITMAP list_top = nullptr;
    HBITMAP list_left = nullptr;
    HBITMAP list_right = nullptr;
    HBITMAP list_bottom = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    COLORREF highlight_bg = 0;
    COLORREF highlight_fg = 0;
    COLORREF normal_bg = 0;
    COLORREF normal_fg = 0;
};

// One recorder model of the skin's model table.
constexpr size_t DEVICE_NAME_UNITS = 16;
struct sDeviceInfo {
    WCHAR name[DEVICE_NAME_UNITS] = {}; // always zero-terminated: at most 15 characters are kept
    int vid = 0;                        // USB vendor id
    int pid = 0;                        // USB product id
};

// The images of one component, returned by value: slots beyond the record's images are null. The
// handles stay owned by the skin store and live as long as it does.
struct ComponentImages {
    HBITMAP images[COMPONENT_IMAGE_SLOTS] = {};

    HBITMAP operator[](int slot) const { return images[slot]; }
};
