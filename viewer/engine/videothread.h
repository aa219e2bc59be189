#pragma once
// A channel's video thread: decodes the video queue, converts each picture to the engine's picture
// format and uploads it into the channel's renderers; one picture waits for display at a time.

#include "viewer/engine/videostate.h"

#include <cstdint>

int VideoThread(void* arg);
// -1 when the queue was aborted, 0 without a picture, 1 with one (its best-effort timestamp in
// stream time base, 0 when it has none).
int get_video_frame(VideoState* state, AVFrame* frame, int64_t* pts, AVPacket* packet);
// 0, or -1 when the video queue was aborted.
int queue_picture(VideoState* state, AVFrame* frame, double pts, int64_t pos);
// Event thread: the buffer of the entry the video thread waits to fill.
void alloc_picture(VideoState* state);
