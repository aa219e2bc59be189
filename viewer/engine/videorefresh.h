#pragma once
// Display timing: a channel's refresh thread keeps one refresh event in the engine's queue, and the
// event thread decides at each one whether the next picture is due, keeps the front and rear
// cameras together and presents.

#include "viewer/engine/videostate.h"

int RefreshThread(void* arg);
// The event thread's answer to a refresh event: the channel may send the next one.
void AnswerRefresh(VideoState* state);
// Lets a waiting refresh thread see that a picture was queued, that the channel's timing changed or
// that the channel is closing: it asks for a refresh at once.
void WakeRefreshThread(VideoState* state);
void video_refresh(VideoState* state);
// Shows the held picture again.
void video_display(VideoState* state);

// Seconds on the engine's monotonic clock.
double EngineNow();
double get_video_clock(VideoState* state);
double get_audio_clock(VideoState* state);
double get_master_clock(VideoState* state);

// The time a picture stays: its duration stretched by the speed.
double FrameDelay(double lastDuration, double speed);
// The frame timer moved on by whole delays, at least one, so that missed intervals are skipped.
double AdvanceFrameTimer(double frameTimer, double delay, double now);
// True when a front or rear picture must wait because the partner camera is more than 0.05 s
// behind; never during the first 91 passes after an open or a seek, nor for the side cameras.
bool HoldForPartner(int channel, int warmupPasses, double ownClock, double partnerClock, bool partnerOpen,
                    bool partnerFinished);
