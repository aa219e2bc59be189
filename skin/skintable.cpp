#include "skintable.h"

#include <string>

namespace {

std::string Size(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// A button's five images: normal, hover, pressed, disabled and the shape mask.
SkinComponent Button(unsigned id, int x, int y, const std::string& icon, int width, int height) {
    const std::string stem = "b_" + icon + "_" + Size(width, height) + "_";
    return {"button",
            id,
            x,
            y,
            width,
            height,
            {stem + "n.bmp", stem + "h.bmp", stem + "p.bmp", stem + "d.bmp", stem + "m.bmp"},
            {}};
}

// A slider's four thumbs and its channel; the height is the thumb's.
SkinComponent Slider(unsigned id, int x, int y, int width, int height) {
    const std::string thumb = "thumb_" + Size(14, height) + "_";
    return {"slider",
            id,
            x,
            y,
            width,
            height,
            {thumb + "n.bmp", thumb + "h.bmp", thumb + "p.bmp", thumb + "d.bmp",
             "chan_" + Size(4, height) + ".bmp"},
            {}};
}

// A label drawn from one image (the other two slots repeat it) or a three-piece bar.
SkinComponent Static(unsigned id, int x, int y, int width, int height, const std::string& start,
                     const std::string& middle = "", const std::string& end = "") {
    return {"static",
            id,
            x,
            y,
            width,
            height,
            {start, middle.empty() ? start : middle, end.empty() ? start : end},
            {}};
}

SkinComponent Dummy(unsigned id, int x, int y, int width, int height) {
    return {"dummy", id, x, y, width, height, {"dummy_8x8.bmp"}, {}};
}

// The settings pages: rows 44 pixels apart, choice buttons in columns 76 apart.
constexpr int kPageX = 16;
constexpr int kPageY = 52;
int Row(int row) {
    return 12 + 44 * row;
}
int Column(int column) {
    return 240 + 76 * column;
}
SkinComponent Choice(unsigned id, int row, int column) {
    return Button(id, Column(column), Row(row), "radio", 28, 28);
}
SkinComponent PageSlider(unsigned id, int row) {
    return Slider(id, kPageX + 240, kPageY + Row(row) + 4, 220, 20);
}
SkinComponent PageLabel(unsigned id, int row) {
    return Static(id, kPageX + 470, kPageY + Row(row) + 2, 48, 24, "value_48x24.bmp");
}

std::vector<SkinComponent> BuildTable() {
    std::vector<SkinComponent> table;
    auto add = [&table](SkinComponent component) { table.push_back(std::move(component)); };

    // Main window: 1280 x 800, a title bar, four video windows in two rows, the right column where
    // the program docks the map panel (+905, +60) and the playlist (+905, +393), and the transport
    // strip.
    add(Dummy(0x1000001E, 0, 0, 1280, 800));
    add(Static(0x10000016, 0, 0, 1280, 40, "title_m0_420x40.bmp", "title_mid_8x40.bmp",
               "title_end_8x40.bmp"));
    add(Static(0x10000033, 0, 0, 1280, 40, "title_m1_420x40.bmp", "title_mid_8x40.bmp",
               "title_end_8x40.bmp"));
    add(Static(0x10000034, 0, 0, 1280, 40, "title_m2_420x40.bmp", "title_mid_8x40.bmp",
               "title_end_8x40.bmp"));
    add(Static(0x10000035, 0, 0, 1280, 40, "title_m3_420x40.bmp", "title_mid_8x40.bmp",
               "title_end_8x40.bmp"));
    add(Button(0x100000FF, 1168, 4, "lock", 32, 32));
    add(Button(0x10000003, 1204, 4, "min", 32, 32));
    add(Button(0x10000002, 1240, 4, "exit", 32, 32));
    add(Static(0x10000017, 0, 40, 8, 660, "edge_8x660.bmp"));
    add(Static(0x10000018, 449, 40, 7, 660, "edge_7x660.bmp"));
    add(Static(0x10000019, 897, 40, 383, 660, "column_383x660.bmp"));
    add(Dummy(0x1000001B, 8, 40, 441, 330));
    add(Dummy(0x1000001C, 456, 40, 441, 330));
    add(Dummy(0x10000101, 8, 370, 441, 330));
    add(Dummy(0x10000100, 456, 370, 441, 330));
    add(Static(0x1000001A, 0, 700, 1280, 100, "strip_start_16x100.bmp", "strip_mid_8x100.bmp",
               "strip_end_16x100.bmp"));
    add(Slider(0x10000015, 16, 708, 1248, 20));
    add(Button(0x1000002F, 16, 748, "open", 40, 40));
    add(Button(0x1000000B, 72, 748, "prev", 40, 40));
    add(Button(0x1000000C, 120, 748, "play", 40, 40));
    add(Button(0x10000011, 120, 748, "pause", 40, 40));
    add(Button(0x1000000D, 168, 748, "stop", 40, 40));
    add(Button(0x1000000E, 216, 748, "step", 40, 40));
    add(Button(0x1000000F, 264, 748, "next", 40, 40));
    add(Button(0x10000010, 328, 748, "capture", 40, 40));
    add(Button(0x10000013, 376, 748, "defog", 40, 40));
    add(Button(0x10000012, 424, 748, "map", 40, 40));
    add(Button(0x10000014, 472, 748, "sensor", 40, 40));
    add(Button(0x10000008, 520, 748, "playlist", 40, 40));
    add(Button(0x12000001, 568, 748, "gear", 40, 40));
    add(Static(0x1000000A, 700, 744, 240, 48, "plate_240x48.bmp"));
    add(Slider(0x10000005, 736, 748, 196, 16));
    add(Slider(0x10000009, 736, 772, 196, 16));
    add(Static(0x10000118, 732, 744, 206, 48, "cover_206x48.bmp"));
    add(Static(0x10000029, 944, 770, 40, 20, "chrome_40x20.bmp"));
    add(Static(0x1000002B, 1020, 748, 2, 40, "separator_2x40.bmp"));
    add(Static(0x1000005D, 1040, 744, 130, 48, "chrome_130x48.bmp"));
    add(Static(0x10000119, 1044, 756, 24, 24, "gps_on_24x24.bmp"));
    add(Static(0x10000120, 1044, 756, 24, 24, "gps_off_24x24.bmp"));
    add(Static(0x1000002A, 1176, 768, 48, 20, "kmh_on_48x20.bmp"));
    add(Static(0x10000121, 1176, 768, 48, 20, "kmh_off_48x20.bmp"));
    add(Static(0x1000012A, 1176, 768, 48, 20, "mph_on_48x20.bmp"));
    add(Static(0x1000012B, 1176, 768, 48, 20, "mph_off_48x20.bmp"));

    // Playback control bar of the full-screen picture: 1000 x 80.
    add(Static(0x10000001, 0, 0, 1000, 80, "bar_1000x80.bmp"));
    add(Slider(0x10000048, 16, 8, 968, 20));
    add(Button(0x10000040, 16, 34, "prev", 40, 40));
    add(Button(0x10000041, 64, 34, "play", 40, 40));
    add(Button(0x10000042, 64, 34, "pause", 40, 40));
    add(Button(0x10000043, 112, 34, "stop", 40, 40));
    add(Button(0x10000044, 160, 34, "step", 40, 40));
    add(Button(0x10000045, 208, 34, "next", 40, 40));
    add(Button(0x10000046, 264, 34, "capture", 40, 40));
    add(Button(0x10000047, 312, 34, "defog", 40, 40));
    add(Slider(0x10000049, 380, 46, 180, 16));
    add(Slider(0x1000004A, 600, 46, 180, 16));
    add(Static(0x1000004B, 788, 42, 40, 24, "chrome_40x24.bmp"));
    add(Static(0x1000005E, 840, 34, 100, 40, "chrome_100x40.bmp"));
    add(Static(0x1000002C, 944, 52, 48, 20, "kmh_on_48x20.bmp"));
    add(Static(0x1000002D, 944, 52, 48, 20, "mph_on_48x20.bmp"));

    // Playlist panel: 360 x 307, in the lower part of the main window's right column.
    add(Dummy(0x100000CD, 0, 0, 360, 307));
    add(Static(0x100000C8, 0, 0, 360, 36, "playlist_head_360x36.bmp"));
    add(Static(0x100000C9, 0, 36, 8, 263, "edge_8x263.bmp"));
    add(Static(0x100000CA, 352, 36, 8, 263, "edge_8x263.bmp"));
    add(Static(0x100000CB, 0, 299, 360, 8, "chrome_360x8.bmp"));
    add(Static(0x100000CC, 8, 36, 344, 263, "dark_344x263.bmp"));
    add({"list",
         0x10000006,
         8,
         36,
         344,
         263,
         {"hdr_start_4x28.bmp", "hdr_span_4x28.bmp", "hdr_end_4x28.bmp", "hs_left_14x14.bmp",
          "hs_right_14x14.bmp", "hs_thumb_24x14.bmp", "hs_span_4x14.bmp", "vs_top_22x4.bmp",
          "vs_bottom_14x4.bmp", "vs_up_14x14.bmp", "vs_down_14x14.bmp", "vs_span_14x4.bmp",
          "vs_thumb_14x32.bmp"},
         {}});

    // G-sensor panel: 640 x 200 below the main window.
    add(Dummy(0x1000001F, 0, 0, 640, 200));
    add(Static(0x10000021, 0, 0, 640, 200, "graph_640x200.bmp"));
    add(Dummy(0x10000020, 40, 32, 584, 152));
    add(Dummy(0x10000030, 380, 6, 64, 20));
    add(Dummy(0x10000031, 448, 6, 64, 20));
    add(Dummy(0x10000032, 516, 6, 64, 20));
    add(Button(0x10000007, 610, 4, "close", 24, 24));

    // Map panel: 360 x 325, its border made of grips; it fills the upper part of the main window's
    // right column, above the playlist.
    add(Dummy(0x10000027, 0, 0, 360, 325));
    add(Dummy(0x10000028, 8, 28, 344, 289));
    add(Static(0x10000022, 0, 0, 360, 28, "grip_top_start_120x28.bmp", "grip_top_mid_8x28.bmp",
               "grip_top_end_8x28.bmp"));
    add(Static(0x10000023, 0, 28, 8, 289, "grip_side_8x8.bmp"));
    add(Static(0x10000024, 352, 28, 8, 289, "grip_side_8x8.bmp"));
    add(Static(0x10000025, 0, 317, 360, 8, "grip_side_8x8.bmp", "grip_side_8x8.bmp", "grip_side_8x8.bmp"));
    add(Button(0x10000026, 332, 2, "close", 24, 24));

    // Defog window: 1000 x 700, four pictures above a panel with one column per channel.
    add(Dummy(0x1000006F, 0, 0, 1000, 700));
    add(Static(0x10000065, 0, 0, 1000, 36, "defog_top_1000x36.bmp"));
    add(Static(0x10000066, 0, 36, 8, 664, "edge_8x664.bmp"));
    add(Static(0x10000068, 992, 36, 8, 664, "edge_8x664.bmp"));
    add(Static(0x10000069, 0, 692, 1000, 8, "chrome_1000x8.bmp"));
    add(Button(0x1000006C, 900, 6, "save", 24, 24));
    add(Button(0x1000006D, 932, 6, "print", 24, 24));
    add(Button(0x1000006E, 964, 6, "close", 24, 24));
    add(Dummy(0x1000006A, 8, 36, 488, 276));
    add(Dummy(0x1000006B, 504, 36, 488, 276));
    add(Dummy(0x10000106, 8, 318, 488, 276));
    add(Dummy(0x10000107, 504, 318, 488, 276));
    add(Static(0x10000067, 8, 600, 984, 92, "defog_panel_984x92.bmp"));
    const unsigned zoomIds[4][3] = {{0x10000070, 0x10000071, 0x10000072},
                                    {0x10000073, 0x10000074, 0x10000075},
                                    {0x10000108, 0x10000109, 0x10000110},
                                    {0x10000111, 0x10000112, 0x10000113}};
    const unsigned strengthIds[4] = {0x10000076, 0x10000078, 0x10000102, 0x10000103};
    const unsigned valueIds[4] = {0x10000077, 0x10000079, 0x10000104, 0x10000105};
    for (int channel = 0; channel < 4; ++channel) {
        const int left = 8 + 246 * channel;
        add(Static(0x10000122 + channel, left + 4, 604, 238, 22, "caption_on_238x22.bmp"));
        add(Static(0x10000126 + channel, left + 4, 604, 238, 22, "caption_off_238x22.bmp"));
        add(Button(zoomIds[channel][0], left + 4, 632, "zoomin", 24, 24));
        add(Button(zoomIds[channel][1], left + 32, 632, "zoomout", 24, 24));
        add(Button(zoomIds[channel][2], left + 60, 632, "fit", 24, 24));
        add(Static(valueIds[channel], left + 192, 632, 50, 24, "value_50x24.bmp"));
        add(Slider(strengthIds[channel], left + 4, 664, 238, 20));
    }

    // Recorder settings window: 600 x 560, pages at (16, 52), 568 x 440.
    add(Dummy(0x10000085, 0, 0, 600, 560));
    add(Static(0x100000C3, 0, 0, 600, 560, "opt_bg_600x560.bmp"));
    add(Button(0x1000007F, 372, 508, "ok", 100, 36));
    add(Button(0x10000084, 484, 508, "cancel", 100, 36));
    for (int page = 0; page < 5; ++page)
        add(Button(0x12000002 + page, kPageX + 76 * page, 12, std::string("tab") + static_cast<char>('a' + page), 68, 32));
    add(Button(0x10000086, 0, 0, "radio", 28, 28));
    add(Slider(0x10000087, 0, 0, 220, 20));
    add(Static(0x10000088, 0, 0, 48, 24, "value_48x24.bmp"));
    add(Static(0x11000089, kPageX, kPageY, 568, 440, "page1_m0_568x440.bmp"));
    add(Static(0x11000095, kPageX, kPageY, 568, 440, "page1_568x440.bmp"));
    add(Choice(0x1100008F, 0, 0));
    add(Choice(0x1100008A, 0, 1));
    add(Choice(0x11000090, 0, 2));
    add(Choice(0x100000CE, 1, 0));
    add(Choice(0x100000CF, 1, 1));
    add(Choice(0x110000C3, 2, 0));
    add(Choice(0x110000C4, 2, 1));
    add(Choice(0x110000C5, 3, 0));
    // 0x110000CD, CE, CA and D8 serve page 3's ACC time too, so they line up there as well.
    add(Choice(0x110000CD, 3, 1));
    add(Choice(0x110000CE, 4, 0));
    add(Choice(0x110000CA, 4, 1));
    add(Choice(0x110000D8, 4, 2));
    add(Choice(0x100000AC, 5, 0));
    add(Choice(0x100000AD, 5, 1));
    add(Choice(0x100000AE, 5, 2));
    add(Choice(0x110000C6, 6, 0));
    add(Choice(0x110000C7, 6, 1));
    add(Choice(0x110000D4, 6, 2));
    add(Dummy(0x110000F3, kPageX + Column(0), kPageY + Row(7) + 2, 150, 24));
    add(Button(0x110000F4, Column(2) + 18, Row(7) - 2, "gear", 100, 32));
    add(Static(0x110000A0, kPageX, kPageY, 568, 440, "page2_m0_568x440.bmp"));
    add(Static(0x110000AB, kPageX, kPageY, 568, 440, "page2_568x440.bmp"));
    add(PageSlider(0x1100008B, 0));
    add(PageLabel(0x1100008C, 0));
    add(PageSlider(0x110000A1, 1));
    add(PageLabel(0x110000A2, 1));
    add(PageSlider(0x110000A3, 2));
    add(PageLabel(0x110000A4, 2));
    add(PageSlider(0x1100008D, 3));
    add(PageLabel(0x1100008E, 3));
    add(PageSlider(0x110000E4, 4));
    add(PageLabel(0x110000E5, 4));
    add(Choice(0x110000A8, 5, 0));
    add(Choice(0x110000A9, 5, 1));
    add(Static(0x110000C0, kPageX, kPageY, 568, 440, "page3_m0_568x440.bmp"));
    add(Static(0x11000096, kPageX, kPageY, 568, 440, "page3_568x440.bmp"));
    add(Static(0x11000097, kPageX, kPageY, 568, 440, "page3_m2_568x440.bmp"));
    add(Choice(0x110000C1, 0, 0));
    add(Choice(0x110000C2, 0, 1));
    add(PageSlider(0x110000CB, 1));
    add(PageLabel(0x110000CC, 1));
    add(PageSlider(0x110000C8, 2));
    add(PageLabel(0x110000C9, 2));
    add(Choice(0x110000CF, 5, 0));
    add(Choice(0x110000D0, 5, 1));
    add(Choice(0x110000D1, 5, 2));
    add(PageSlider(0x110000D2, 6));
    add(PageLabel(0x110000D3, 6));
    add(Static(0x110000E0, kPageX, kPageY, 568, 440, "page4_568x440.bmp"));
    add(Choice(0x110000E2, 0, 0));
    add(Choice(0x110000E3, 0, 1));
    const std::vector<unsigned> comboColors = {0x30BBF2, 0x000000, 0x171717, 0x8B8B8B};
    const std::vector<std::string> comboImages = {
        "combo_left_6x28.bmp", "combo_center_4x28.bmp", "combo_right_28x28.bmp", "list_top_4x2.bmp",
        "list_left_2x4.bmp",   "list_right_2x4.bmp",    "list_bottom_4x2.bmp"};
    add({"combobox", 0x110000E6, kPageX + Column(0), kPageY + Row(1), 228, 28, comboImages, comboColors});
    add(Choice(0x110000E8, 2, 0));
    add(Choice(0x110000E9, 2, 1));
    add(Choice(0x110000EA, 2, 2));
    add(Choice(0x110000EB, 3, 0));
    add(Choice(0x110000EC, 3, 1));
    add({"combobox", 0x110000E7, kPageX + Column(0), kPageY + Row(4), 228, 28, comboImages, comboColors});
    add(Button(0x11000094, Column(0), Row(5) - 2, "format", 100, 32));
    add(PageSlider(0x110000F8, 6));
    add(PageLabel(0x110000F9, 6));
    add(Static(0x100000BE, kPageX, kPageY, 568, 440, "page5_568x440.bmp"));
    add(Static(0x100000C0, kPageX + Column(0), kPageY + Row(0) + 2, 120, 24, "value_120x24.bmp"));
    add(Choice(0x100000D1, 1, 0));
    add(Choice(0x100000D2, 1, 1));
    add(Choice(0x100000D3, 2, 0));
    add(Choice(0x100000D4, 2, 1));
    add(Choice(0x100000D5, 3, 0));
    add(Choice(0x100000D6, 3, 1));
    add(Choice(0x100000D7, 3, 2));
    add(Choice(0x100000D8, 3, 3));
    return table;
}

} // namespace

const std::vector<SkinComponent>& SkinComponents() {
    static const std::vector<SkinComponent> table = BuildTable();
    return table;
}

const std::vector<GrooveHost>& GrooveHosts() {
    static const std::vector<GrooveHost> hosts = {
        {"plate_240x48.bmp", 0x1000000A, {0x10000005, 0x10000009}},
        {"bar_1000x80.bmp", 0x10000001, {0x10000048, 0x10000049, 0x1000004A}},
        {"defog_panel_984x92.bmp", 0x10000067, {0x10000076, 0x10000078, 0x10000102, 0x10000103}},
        {"page2_m0_568x440.bmp", 0x110000A0, {0x1100008B, 0x110000A1, 0x110000A3, 0x1100008D, 0x110000E4}},
        {"page2_568x440.bmp", 0x110000AB, {0x1100008B, 0x1100008D, 0x110000E4}},
        {"page3_m0_568x440.bmp", 0x110000C0, {0x110000CB, 0x110000C8, 0x110000D2}},
        {"page3_568x440.bmp", 0x11000096, {0x110000CB, 0x110000C8, 0x110000D2}},
        {"page3_m2_568x440.bmp", 0x11000097, {0x110000CB, 0x110000C8, 0x110000D2}},
    };
    return hosts;
}

const SkinComponent* FindSkinComponent(unsigned id) {
    for (const SkinComponent& component : SkinComponents()) {
        if (component.id == id) {
            return &component;
        }
    }
    return nullptr;
}
