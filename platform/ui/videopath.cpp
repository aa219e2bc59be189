#include "platform/ui/videopath.h"

#include "platform/base/trace.h"

#include <QByteArray>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <cstdlib>
#include <cstring>
#include <string>

namespace uiimpl {

namespace {

enum class Wish { Software, OpenGL, Default };

Wish AskedFor() {
    const char* asked = std::getenv("TREVO_VIDEO");
    if (asked != nullptr && std::strcmp(asked, "software") == 0) {
        return Wish::Software;
    }
    if (asked != nullptr && std::strcmp(asked, "opengl") == 0) {
        return Wish::OpenGL;
    }
    return Wish::Default;
}

// The drawing needs shaders, luminance textures and rows of any pitch: desktop OpenGL 2.0, or
// OpenGL ES 3.0.
VideoPath Probe(Wish wish) {
    QOpenGLContext context;
    if (!context.create()) {
        return VideoPath::Software;
    }
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface)) {
        return VideoPath::Software;
    }
    const QSurfaceFormat format = context.format();
    const int version = format.majorVersion() * 10 + format.minorVersion();
    const bool able = context.isOpenGLES() ? version >= 30 : version >= 20;
    const QByteArray renderer(reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER)));
    context.doneCurrent();
    const bool onProcessor = renderer.contains("llvmpipe") || renderer.contains("softpipe") ||
                             renderer.contains("Software Rasterizer") || renderer.contains("swrast");
    TraceLine("video: OpenGL renderer " + renderer.toStdString() + ", version " +
              std::to_string(format.majorVersion()) + "." + std::to_string(format.minorVersion()));
    if (!able || (onProcessor && wish != Wish::OpenGL)) {
        return VideoPath::Software;
    }
    return VideoPath::OpenGL;
}

} // namespace

VideoPath ChosenVideoPath() {
    static const VideoPath chosen = [] {
        const Wish wish = AskedFor();
        const VideoPath path = wish == Wish::Software ? VideoPath::Software : Probe(wish);
        TraceLine(path == VideoPath::OpenGL ? "video: OpenGL path" : "video: software path");
        return path;
    }();
    return chosen;
}

} // namespace uiimpl
