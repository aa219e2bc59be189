#pragma once
// The playback engine's interface, called by the main view and the channel windows on the
// user-interface thread. A channel is addressed by the VideoState the open returned; every call
// taking one does nothing (or answers its value for none) when it is null. The engine answers the
// view only with WM_RENDERER_RESET and WM_PLAYER_READ_ERROR posted to g_hViewWnd.

#include "platform/base/windowsystem.h"
#include "platform/base/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct AVFormatContext;
struct VideoState;

// Engine start-up with the four channel windows (front, rear, left, right): 1 on success, 0 when
// SDL cannot start or no video surface format works.
int PlayerInit(HWND window0, HWND window1, HWND window2, HWND window3);
// Shut-down, after every channel was closed: stops the event thread and deletes the renderers.
void PlayerUninit();

// Opens a recording on a channel: name is the file name as 8-bit text, folder the folder holding it
// (a trailing separator is optional; an absolute name ignores it). noAudio 0 makes the channel play
// the sound. Null when the file cannot be opened; the channel's tables are then untouched.
VideoState* PlayerOpen(const char* name, const wchar_t* folder, int width, int height, int noAudio,
                       int channel);
void PlayerClose(VideoState* state);
// Every renderer forgets the picture it holds; the view calls this before opening new files.
void PlayerInvalidateFrames();

// The workers of PlayerOpen and PlayerClose. inputFormat is always null.
VideoState* stream_open(const char* name, const wchar_t* folder, const void* inputFormat, int noAudio,
                        int channel);
void stream_close(VideoState* state);

void PlayerPause(VideoState* state);
void PlayerPlay(VideoState* state);
void PlayerStep(VideoState* state);
// n times the normal speed with fast set, else 1/n; the speed caption is drawn unless it is 1x.
void PlayerSetSpeed(VideoState* state, int n, int fast);
// At most 1024 characters are kept.
void PlayerSetCaption(VideoState* state, const std::wstring& text);
void PlayerSeekTime(VideoState* state, int64_t microseconds);
void PlayerSeekRatio(VideoState* state, double fraction);
// -1 without a file; 0 while the duration is unknown.
int64_t PlayerRatioToTime(VideoState* state, double fraction);
// -1.0 without a file or after the end-of-file report; 0.0 before the first picture and while the
// duration is unknown.
double PlayerGetPositionRatio(VideoState* state);
void PlayerEnableDisplay(VideoState* state, int enable);
int PlayerIsDisplayEnabled(VideoState* state);
void PlayerSelectChannel(VideoState* state, int channel, int mode);
void PlayerSetSelection(VideoState* state, int channel, int mode);
// 65535 when no channel is shown alone.
int PlayerGetSelectedChannel();
void PlayerPickPictureSize(VideoState* state, int ignored);
// Window pixels of the channel's window.
void PlayerSetZoomRect(VideoState* state, int on, int left, int top, int right, int bottom);
void PlayerDrawSelectionRect(VideoState* state, int left, int top, int right, int bottom);
// The size of every captured picture, for sizing capture buffers.
void PlayerGetPictureSize(int* width, int* height);
// Copies the channel's current picture as 32-bit pixels (B, G, R, X) into the buffer of bufferSize
// bytes, rows at the pitch of width * 4. S_OK with the sizes set; otherwise the sizes are 0 and the
// buffer is untouched: S_FALSE when there is no picture or a renderer reset is pending, E_POINTER
// without a state or buffer, E_INVALIDARG when the buffer is too small.
HRESULT PlayerCaptureFrame(VideoState* state, BYTE* buffer, std::size_t bufferSize, int* width, int* height,
                           int* pitch);
void PlayerRedraw(VideoState* state, int withZoom);
// 0..128; the mixing volume of the sound.
void PlayerSetVolume(int volume);
void PlayerSetRearCamSync(double seconds);
// Run by the view for WM_RENDERER_RESET: recreates all eight renderers.
void ResetRenderers();

// Opens a channel's input; the engine uses avformat_open_input unless a test installs another
// opener (for input that fails part way). An input with its own I/O context (AVFMT_FLAG_CUSTOM_IO)
// has that context and its buffer freed by the engine when the input is closed; its opaque data
// stays the opener's. Returns the opener installed before.
using PlayerInputOpener = int (*)(AVFormatContext** context, const std::string& path);
PlayerInputOpener SetPlayerInputOpener(PlayerInputOpener opener);
