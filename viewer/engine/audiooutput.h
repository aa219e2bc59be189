#pragma once
// The sound of the channel that plays it (the front camera), through SDL's one audio device, at
// normal speed only.

#include "viewer/engine/videostate.h"

#include <cstdint>

// The device layout for a decoder layout: the channel count from environmentChannels when set,
// else the decoder's layout (its count's default layout when its order is unknown); no stereo
// downmix channels; 3 channels become 2, 5 become 4, more than 6 become 6. Returns the count.
int WantedAudioLayout(const char* environmentChannels, const AVChannelLayout& decoderLayout,
                      AVChannelLayout* wanted);
// The audio part of StreamComponentOpen; takes the opened decoder context on success.
int AudioComponentOpen(VideoState* state, AVCodecContext* context, int streamIndex);
void AudioCallback(void* opaque, uint8_t* stream, int length);
// Bytes ready in the output buffer, or -1.
int audio_decode_frame(VideoState* state, double* pts);
// The sample count to produce for a decoded frame so that the sound follows the video clock.
int synchronize_audio(VideoState* state, int sampleCount);
