#pragma once
// What the defog window decides for its four pictures, without a window: each channel's filter
// strength, zoom and pan, the drag that pans a picture, what a strength slider's release asks for,
// and the files a save writes. Channels are counted 0 to 3 (front, rear, left, right).

#include "platform/base/wintypes.h"
#include "platform/ui/image.h"

#include <array>
#include <string>
#include <vector>

class DefogState {
  public:
    static constexpr int kChannelCount = 4;
    static constexpr int kMaxStrength = 15;
    static constexpr double kInitialZoom = 0.5;
    static constexpr double kZoomStep = 0.1;
    static constexpr double kSmallestZoom = 0.2;
    // The one-shot timer that filters a channel's picture: 0x10000001 to 0x10000004.
    static constexpr UINT_PTR kFirstFilterTimer = 0x10000001;

    struct Channel {
        bool hasPicture = false;
        SIZE picture{};
        int strength = 0;
        double zoom = kInitialZoom;
        POINT pan{};
        POINT lastDragPoint{};
    };

    enum class Release { Nothing, Restore, Filter };

    const Channel& Get(int channel) const { return m_channels[static_cast<size_t>(channel)]; }
    bool HasPicture(int channel) const { return Get(channel).hasPicture; }
    static UINT_PTR FilterTimer(int channel) { return kFirstFilterTimer + static_cast<UINT_PTR>(channel); }
    // The channel a timer filters; -1 for another timer.
    static int ChannelOfTimer(UINT_PTR id);

    // A new set of pictures (a size of 0 for a channel without one). Strengths go back to 0: the
    // pictures arrive unfiltered, and a label must not show a strength they do not have.
    void SetPictures(const std::array<SIZE, kChannelCount>& sizes);

    // Zoom to the area's width, left-aligned and centred vertically (truncated toward zero).
    // False, changing nothing, for a channel without a picture.
    bool Fit(int channel, int areaWidth, int areaHeight);
    // By one step, anchored at the picture's top-left corner; out stops at kSmallestZoom, in has
    // no bound. False for a channel without a picture.
    bool ZoomIn(int channel);
    bool ZoomOut(int channel);
    // Where the picture is drawn in its area: at the pan offset, its size times the zoom.
    RECT Destination(int channel) const;

    // The thumb moves: only the strength the label shows changes.
    void Track(int channel, int position);
    // The thumb is let go: Restore the unfiltered picture (strength 0; the window fits it again),
    // Filter it at the new strength, or Nothing for a channel without a picture.
    Release EndScroll(int channel, int position);
    // The label's text: the channel's strength.
    std::wstring LabelText(int channel) const;

    // The channel whose area holds the point strictly inside; -1 for none.
    static int HitChannel(const std::array<RECT, kChannelCount>& areas, POINT point);
    // A press on channel `hit` (-1 outside every area) starts a drag there; true when it did, so the
    // window captures the mouse.
    bool BeginDrag(int hit, POINT point);
    // A move pans the dragged picture only while the point stays in the area the drag began in;
    // true when it panned.
    bool DragTo(int hit, POINT point);
    // The release ends the drag, with a last step only when it lies in that area; true when it
    // panned.
    bool EndDrag(int hit, POINT point);
    bool IsDragging() const { return m_dragging; }

    // The files a save of the pictures writes, from the name and filter entry chosen in the dialog.
    struct SavePlan {
        ImageFileFormat format = ImageFileFormat::Jpeg;
        // (channel, path) for every channel with a picture, in channel order.
        std::vector<std::pair<int, std::wstring>> files;
        // The first of them that exists already: then nothing is written and the user chooses again.
        std::wstring existing;
    };
    SavePlan PlanSave(const std::wstring& chosenPath, int filterIndex) const;

  private:
    Channel& At(int channel) { return m_channels[static_cast<size_t>(channel)]; }
    static int Clamp(int position);

    std::array<Channel, kChannelCount> m_channels{};
    bool m_dragging = false;
    int m_dragChannel = -1;
};
