#pragma once
// A channel's read thread: finds and opens its streams, fills the packet queues, carries out seeks,
// and finishes the channel at the end of the file in step with its partner.

#include "viewer/engine/videostate.h"

#include <cstdint>

int ReadThread(void* arg);
// Ignored while a seek is pending. Position in microseconds (bytes with byBytes).
void stream_seek(VideoState* state, int64_t position, int64_t relative, int byBytes);
// The threads of each decoder. The four channels decode side by side and share the cores: a decoder
// with threads beyond its share would only stop and restart them for every picture it waits to show.
int DecoderThreadCount(int cores);
// 0, or -1 when the stream cannot be decoded.
int StreamComponentOpen(VideoState* state, int streamIndex);
void stream_component_close(VideoState* state, int streamIndex);
// The sound stream to play: a PCM stream when the file has one, else FFmpeg's best audio stream for
// the video stream. An AVI recording's text stream may be taken for MP3 sound by FFmpeg's probing,
// and must never be played in place of the recorder's PCM sound.
int FindAudioStream(AVFormatContext* context, int videoIndex);
// Closes an input, freeing its own I/O context when it came with one.
void CloseInput(AVFormatContext** context);

struct SeekWindow {
    int64_t minimum = 0;
    int64_t maximum = 0;
};
// Where a seek to the target may land: no lower bound unless the seek goes forward, no upper
// bound unless it goes back.
SeekWindow SeekWindowFor(int64_t target, int64_t relative);
// The channel whose end a channel waits for: 0 and 1 wait for each other, 2 for 1, 3 for 0.
constexpr int EndPartner(int channel) {
    return (channel + 1) % 2;
}
