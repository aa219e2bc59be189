#pragma once
// Inside the window layer: the OpenGL drawing of a window that shows video. It covers the window's
// client area, below the window's child windows, and draws the last picture presented for the
// window from its parts: the decoded YUV planes as textures, converted (BT.601 video range, as the
// software path converts) and scaled linearly by a shader, then the overlays. What the window paints
// itself after a picture shows over it until the next picture, as on the software path, where both
// go into the window's one surface; before the first picture the window's painting shows. Mouse
// input passes through to the window. GUI thread only.

#include "platform/ui/windowimpl.h"
#include "platform/video/presentationtarget.h"

#include <QImage>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLWidget>
#include <QRegion>

#include <memory>

struct PresentedVideo;

namespace uiimpl {

class GlVideoWidget final : public QOpenGLWidget, protected QOpenGLFunctions {
  public:
    GlVideoWidget(HWND window, QWidget* parent);
    ~GlVideoWidget() override;

    // The picture shown from now on.
    void ShowPicture(const PresentedPicture& picture);
    // The window painted this part of its surface (client pixels): it shows there from now on.
    void ShowSurface(const QRegion& region);
    // What the widget shows, in Format_RGB32.
    QImage Picture();

  protected:
    void initializeGL() override;
    void paintGL() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Texture;
    void DrawVideo(const PresentedVideo& video, const QRect& place, int width, int height);
    void UploadImage(const QImage& image, Texture& texture);
    // Over the whole client area.
    void DrawImage(Texture& texture, int width, int height);
    // Frees the textures and shaders, making the context current for it.
    void ReleaseResources();

    HWND m_window;
    PresentedPicture m_picture;
    QRegion m_surfaceArea;
    std::unique_ptr<QOpenGLShaderProgram> m_yuv;
    std::unique_ptr<QOpenGLShaderProgram> m_rgb;
    std::unique_ptr<Texture> m_planes[3];
    std::unique_ptr<Texture> m_composed;
    std::unique_ptr<Texture> m_overlay;
    std::unique_ptr<Texture> m_surface;
};

// The window painted part of its surface: a window drawn with OpenGL shows it over its video.
void NoteSurfacePainted(Window& window, const QRegion& region);

} // namespace uiimpl
