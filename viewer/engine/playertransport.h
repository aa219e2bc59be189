#pragma once
// Transport and views: the parts of the interface whose decisions stand on their own.

#include "viewer/engine/videostate.h"

#include <cstdint>

void stream_toggle_pause(VideoState* state);
void step_to_next_frame(VideoState* state);
// Event thread, for FF_PLAY_EVENT: the frame timer starts again and the channel plays.
void PlayerRestartTimer(VideoState* state);

// -1 without a file or at its end; 0 before the first picture, for a negative clock and while the
// duration (microseconds) is unknown.
double PositionRatio(bool hasFile, bool atEnd, bool pictureShown, double videoClock, int64_t duration);
// The rear camera runs offset seconds behind; targets before the start become 0.
int64_t SeekTarget(int channel, int64_t microseconds, double rearCamOffset);

// A rectangle dragged in a window, in another space: x and width scaled by target / client width,
// y and height by target / client height, odd values raised by one, corners in any order.
struct ScaledRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// False (and nothing scaled) for a window without area.
bool ScaleDragRect(int left, int top, int right, int bottom, int clientWidth, int clientHeight,
                   int targetWidth, int targetHeight, ScaledRect* scaled);
// A redraw is left to the running display when the channel plays and showed a picture within 200 ms.
bool RedrawLeftToDisplay(bool paused, bool finished, uint32_t now, uint32_t lastDisplayTick);
