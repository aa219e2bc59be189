#pragma once
// The playback engine itself behind IPlayerEngine: every method is the engine's free function of
// the same name.

#include "viewer/ui/playerengine.h"

class FfmpegPlayerEngine : public IPlayerEngine {
  public:
    VideoState* PlayerOpen(const std::string& name, const std::wstring& folder, int width, int height,
                           int noAudio, int channel) override;
    void PlayerClose(VideoState* state) override;
    void PlayerInvalidateFrames() override;
    void PlayerPlay(VideoState* state) override;
    void PlayerPause(VideoState* state) override;
    void PlayerStep(VideoState* state) override;
    void PlayerSetSpeed(VideoState* state, int n, int fast) override;
    void PlayerSetCaption(VideoState* state, const std::wstring& text) override;
    void PlayerSeekTime(VideoState* state, int64_t microseconds) override;
    void PlayerSeekRatio(VideoState* state, double ratio) override;
    int64_t PlayerRatioToTime(VideoState* state, double ratio) override;
    double PlayerGetPositionRatio(VideoState* state) override;
    void PlayerEnableDisplay(VideoState* state, int enable) override;
    void PlayerSelectChannel(VideoState* state, int channel, int mode) override;
    int PlayerGetSelectedChannel() override;
    void PlayerSetVolume(int volume) override;
    void PlayerSetRearCamSync(double seconds) override;
    void PlayerGetPictureSize(int* width, int* height) override;
    HRESULT PlayerCaptureFrame(VideoState* state, BYTE* buffer, std::size_t bufferSize, int* width,
                               int* height, int* pitch) override;
    void ResetRenderers() override;
};
