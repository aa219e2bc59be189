#include "viewer/ui/ffmpegplayerengine.h"

#include "viewer/engine/ffmpegplayer.h"

VideoState* FfmpegPlayerEngine::PlayerOpen(const std::string& name, const std::wstring& folder, int width,
                                           int height, int noAudio, int channel) {
    return ::PlayerOpen(name.c_str(), folder.c_str(), width, height, noAudio, channel);
}

void FfmpegPlayerEngine::PlayerClose(VideoState* state) {
    ::PlayerClose(state);
}

void FfmpegPlayerEngine::PlayerInvalidateFrames() {
    ::PlayerInvalidateFrames();
}

void FfmpegPlayerEngine::PlayerPlay(VideoState* state) {
    ::PlayerPlay(state);
}

void FfmpegPlayerEngine::PlayerPause(VideoState* state) {
    ::PlayerPause(state);
}

void FfmpegPlayerEngine::PlayerStep(VideoState* state) {
    ::PlayerStep(state);
}

void FfmpegPlayerEngine::PlayerSetSpeed(VideoState* state, int n, int fast) {
    ::PlayerSetSpeed(state, n, fast);
}

void FfmpegPlayerEngine::PlayerSetCaption(VideoState* state, const std::wstring& text) {
    ::PlayerSetCaption(state, text);
}

void FfmpegPlayerEngine::PlayerSeekTime(VideoState* state, int64_t microseconds) {
    ::PlayerSeekTime(state, microseconds);
}

void FfmpegPlayerEngine::PlayerSeekRatio(VideoState* state, double ratio) {
    ::PlayerSeekRatio(state, ratio);
}

int64_t FfmpegPlayerEngine::PlayerRatioToTime(VideoState* state, double ratio) {
    return ::PlayerRatioToTime(state, ratio);
}

double FfmpegPlayerEngine::PlayerGetPositionRatio(VideoState* state) {
    return ::PlayerGetPositionRatio(state);
}

void FfmpegPlayerEngine::PlayerEnableDisplay(VideoState* state, int enable) {
    ::PlayerEnableDisplay(state, enable);
}

void FfmpegPlayerEngine::PlayerSelectChannel(VideoState* state, int channel, int mode) {
    ::PlayerSelectChannel(state, channel, mode);
}

int FfmpegPlayerEngine::PlayerGetSelectedChannel() {
    return ::PlayerGetSelectedChannel();
}

void FfmpegPlayerEngine::PlayerSetVolume(int volume) {
    ::PlayerSetVolume(volume);
}

void FfmpegPlayerEngine::PlayerSetRearCamSync(double seconds) {
    ::PlayerSetRearCamSync(seconds);
}

void FfmpegPlayerEngine::PlayerGetPictureSize(int* width, int* height) {
    ::PlayerGetPictureSize(width, height);
}

HRESULT FfmpegPlayerEngine::PlayerCaptureFrame(VideoState* state, BYTE* buffer, std::size_t bufferSize,
                                               int* width, int* height, int* pitch) {
    return ::PlayerCaptureFrame(state, buffer, bufferSize, width, height, pitch);
}

void FfmpegPlayerEngine::ResetRenderers() {
    ::ResetRenderers();
}
