#pragma once
// How windows show video: drawn with OpenGL where the machine has it, else composed by the video
// device in software. Chosen once, at the first window that shows video, and kept for the run.
// TREVO_VIDEO=software never uses OpenGL; TREVO_VIDEO=opengl uses it whenever a context can be
// made, a software rasteriser's included (tests and the benchmark on a virtual screen). Otherwise
// OpenGL is used when the context is drawn by a graphics card, since a rasteriser on the processor
// costs more than the software path.

namespace uiimpl {

enum class VideoPath { Software, OpenGL };

// GUI thread.
VideoPath ChosenVideoPath();

} // namespace uiimpl
