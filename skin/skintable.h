#pragma once
// The skin's component table: every component with its type, rectangle (pixels in the layout of
// its window) and image files, in the order skin.xml lists them.

#include <string>
#include <vector>

struct SkinComponent {
    std::string type; // button, slider, static, list, dummy, combobox
    unsigned id;
    int x;
    int y;
    int width;
    int height;
    std::vector<std::string> images; // in the slot order of the type
    // Combo boxes: highlight background, highlight text, normal background, normal text (RGB).
    std::vector<unsigned> colors;
};

// A background that shows the grooves of the sliders lying on it.
struct GrooveHost {
    std::string image;
    unsigned hostId;
    std::vector<unsigned> sliderIds;
};

const std::vector<SkinComponent>& SkinComponents();
const std::vector<GrooveHost>& GrooveHosts();
const SkinComponent* FindSkinComponent(unsigned id);
