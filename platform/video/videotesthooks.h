#pragma once
// What tests and benchmarks need of the video device beyond its normal use: device loss, failing
// devices and formats, and text rendering without the window layer's application object.

#include "platform/video/videotypes.h"

// Every device that exists now is lost from this moment (as after a session lock or a display
// mode change); devices made later work.
void SimulateDeviceLoss();
// The next count device creations fail with E_FAIL, as on a machine whose adapter is gone.
void FailNextDeviceCreations(int count);
// While refused, surfaces of the format cannot be made (D3DERR_NOTAVAILABLE).
void RefuseSurfaceFormat(D3DFORMAT format, bool refuse);
// The desktop depth GetDisplayBitsPerPixel starts from; 0 restores the real one.
void SetDisplayBitsPerPixel(int bits);
// Undoes all of the above.
void ResetVideoTestHooks();

// Text needs Qt's GUI application object, which the window layer's application object makes in the
// program. A test or benchmark without one calls this once, on its main thread, before any device.
void EnsureTextRendering();
