#pragma once
// The playback engine as the main view's transport drives it: the engine's Player calls, one
// method each, so that the transport can be tested against a scripted engine. FfmpegPlayerEngine
// is the one real implementation; the view and the tests that play real recordings use it.

#include "platform/base/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct VideoState;

class IPlayerEngine {
  public:
    virtual ~IPlayerEngine() = default;

    // name: the file name as 8-bit text; folder: the folder holding it, with a trailing separator.
    // Null when the stream cannot be opened.
    virtual VideoState* PlayerOpen(const std::string& name, const std::wstring& folder, int width, int height,
                                   int noAudio, int channel) = 0;
    virtual void PlayerClose(VideoState* state) = 0;
    virtual void PlayerInvalidateFrames() = 0;
    virtual void PlayerPlay(VideoState* state) = 0;
    virtual void PlayerPause(VideoState* state) = 0;
    virtual void PlayerStep(VideoState* state) = 0;
    // n times the normal speed with fast set, else 1/n.
    virtual void PlayerSetSpeed(VideoState* state, int n, int fast) = 0;
    virtual void PlayerSetCaption(VideoState* state, const std::wstring& text) = 0;
    virtual void PlayerSeekTime(VideoState* state, int64_t microseconds) = 0;
    virtual void PlayerSeekRatio(VideoState* state, double ratio) = 0;
    virtual int64_t PlayerRatioToTime(VideoState* state, double ratio) = 0;
    // -1.0 without a file or at the end of it.
    virtual double PlayerGetPositionRatio(VideoState* state) = 0;
    virtual void PlayerEnableDisplay(VideoState* state, int enable) = 0;
    virtual void PlayerSelectChannel(VideoState* state, int channel, int mode) = 0;
    // 65535 when no channel is shown alone.
    virtual int PlayerGetSelectedChannel() = 0;
    virtual void PlayerSetVolume(int volume) = 0;
    virtual void PlayerSetRearCamSync(double seconds) = 0;
    // The size of every captured picture.
    virtual void PlayerGetPictureSize(int* width, int* height) = 0;
    // 32-bit pixels, rows at width * 4 bytes; S_OK with the sizes set, else the sizes are 0.
    virtual HRESULT PlayerCaptureFrame(VideoState* state, BYTE* buffer, std::size_t bufferSize, int* width,
                                       int* height, int* pitch) = 0;
    virtual void ResetRenderers() = 0;
};
