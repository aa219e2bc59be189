#include "platform/ui/glvideowidget.h"

#include "platform/video/presentedpictureqt.h"

#include <QEvent>
#include <QOpenGLContext>

#ifndef GL_UNPACK_ROW_LENGTH
#define GL_UNPACK_ROW_LENGTH 0x0CF2
#endif

namespace uiimpl {

namespace {

const char* const kVertexShader = R"(
attribute vec2 position;
attribute vec2 coordinate;
varying vec2 sample;
void main() {
    sample = coordinate;
    gl_Position = vec4(position, 0.0, 1.0);
}
)";

// BT.601 video range, the conversion swscale makes on the software path.
const char* const kYuvShader = R"(
#ifdef GL_ES
precision highp float;
#endif
uniform sampler2D lumaPlane;
uniform sampler2D bluePlane;
uniform sampler2D redPlane;
uniform vec2 chromaScale;
varying vec2 sample;
void main() {
    float y = 1.164383 * (texture2D(lumaPlane, sample).r - 16.0 / 255.0);
    vec2 chroma = sample * chromaScale;
    float u = texture2D(bluePlane, chroma).r - 128.0 / 255.0;
    float v = texture2D(redPlane, chroma).r - 128.0 / 255.0;
    gl_FragColor = vec4(y + 1.596027 * v, y - 0.391762 * u - 0.812968 * v, y + 2.017232 * u, 1.0);
}
)";

const char* const kRgbShader = R"(
#ifdef GL_ES
precision mediump float;
#endif
uniform sampler2D picture;
varying vec2 sample;
void main() {
    gl_FragColor = texture2D(picture, sample);
}
)";

std::unique_ptr<QOpenGLShaderProgram> Program(const char* fragment) {
    auto program = std::make_unique<QOpenGLShaderProgram>();
    program->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader);
    program->addShaderFromSourceCode(QOpenGLShader::Fragment, fragment);
    program->bindAttributeLocation("position", 0);
    program->bindAttributeLocation("coordinate", 1);
    if (!program->link()) {
        return nullptr;
    }
    return program;
}

} // namespace

struct GlVideoWidget::Texture {
    GLuint id = 0;
    QSize size;
    GLenum format = 0;

    // Rows of rowLength samples apart; the texture is remade only when its size or format changes.
    // Mipmaps for a picture shrunk to less than half: linear filtering alone would skip samples.
    void Upload(QOpenGLFunctions& gl, int width, int height, GLenum pixelFormat, const void* data,
                int rowLength, GLenum filter, bool mipmaps = false) {
        if (id == 0) {
            gl.glGenTextures(1, &id);
        }
        gl.glBindTexture(GL_TEXTURE_2D, id);
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                           static_cast<GLint>(mipmaps ? GL_LINEAR_MIPMAP_LINEAR : filter));
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(filter));
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl.glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
        if (size != QSize(width, height) || format != pixelFormat) {
            size = QSize(width, height);
            format = pixelFormat;
            gl.glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(pixelFormat), width, height, 0, pixelFormat,
                            GL_UNSIGNED_BYTE, data);
        } else {
            gl.glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, pixelFormat, GL_UNSIGNED_BYTE, data);
        }
        gl.glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        if (mipmaps) {
            gl.glGenerateMipmap(GL_TEXTURE_2D);
        }
    }

    void Release(QOpenGLFunctions& gl) {
        if (id != 0) {
            gl.glDeleteTextures(1, &id);
        }
        id = 0;
        size = QSize();
    }
};

namespace {

// A rectangle of client pixels as a quad in the widget's clip space, its texture read from left to
// right (or mirrored) and top to bottom.
void DrawQuad(QOpenGLFunctions& gl, const QRect& place, int width, int height, bool mirrored) {
    const float left = 2.0f * static_cast<float>(place.left()) / static_cast<float>(width) - 1.0f;
    const float right =
        2.0f * static_cast<float>(place.left() + place.width()) / static_cast<float>(width) - 1.0f;
    const float top = 1.0f - 2.0f * static_cast<float>(place.top()) / static_cast<float>(height);
    const float bottom =
        1.0f - 2.0f * static_cast<float>(place.top() + place.height()) / static_cast<float>(height);
    const float positions[8] = {left, top, right, top, left, bottom, right, bottom};
    const float first = mirrored ? 1.0f : 0.0f;
    const float last = mirrored ? 0.0f : 1.0f;
    const float coordinates[8] = {first, 0.0f, last, 0.0f, first, 1.0f, last, 1.0f};
    gl.glEnableVertexAttribArray(0);
    gl.glEnableVertexAttribArray(1);
    gl.glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, positions);
    gl.glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, coordinates);
    gl.glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    gl.glDisableVertexAttribArray(0);
    gl.glDisableVertexAttribArray(1);
}

} // namespace

GlVideoWidget::GlVideoWidget(HWND window, QWidget* parent) : QOpenGLWidget(parent), m_window(window) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(parent->rect());
    parent->installEventFilter(this);
    // Shown from the start, so that the top-level window turns to OpenGL composition (and paints
    // itself anew) while it is made rather than at the first picture.
    show();
}

GlVideoWidget::~GlVideoWidget() {
    if (context() != nullptr) {
        // The context outlives this part of the widget: its end must not reach it.
        disconnect(context(), nullptr, this, nullptr);
        ReleaseResources();
    }
}

void GlVideoWidget::ShowPicture(const PresentedPicture& picture) {
    m_picture = picture;
    m_surfaceArea = QRegion();
    update();
}

void GlVideoWidget::ShowSurface(const QRegion& region) {
    m_surfaceArea += region;
    update();
}

QImage GlVideoWidget::Picture() {
    return grabFramebuffer().convertToFormat(QImage::Format_RGB32);
}

bool GlVideoWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return false;
}

void GlVideoWidget::initializeGL() {
    initializeOpenGLFunctions();
    m_yuv = Program(kYuvShader);
    m_rgb = Program(kRgbShader);
    for (auto& plane : m_planes) {
        plane = std::make_unique<Texture>();
    }
    m_composed = std::make_unique<Texture>();
    m_overlay = std::make_unique<Texture>();
    m_surface = std::make_unique<Texture>();
    // The context goes with the widget's top-level window when the widget moves to another.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { ReleaseResources(); });
}

void GlVideoWidget::ReleaseResources() {
    makeCurrent();
    for (auto& plane : m_planes) {
        if (plane) {
            plane->Release(*this);
        }
    }
    for (Texture* texture : {m_composed.get(), m_overlay.get(), m_surface.get()}) {
        if (texture != nullptr) {
            texture->Release(*this);
        }
    }
    m_yuv.reset();
    m_rgb.reset();
    doneCurrent();
}

void GlVideoWidget::DrawVideo(const PresentedVideo& video, const QRect& place, int width, int height) {
    const int chromaWidth = (video.width + 1) / 2;
    const int chromaHeight = (video.height + 1) / 2;
    const QSize sizes[3] = {
        {video.width, video.height}, {chromaWidth, chromaHeight}, {chromaWidth, chromaHeight}};
    for (int plane = 0; plane < 3; ++plane) {
        glActiveTexture(GL_TEXTURE0 + plane);
        m_planes[plane]->Upload(*this, sizes[plane].width(), sizes[plane].height(), GL_LUMINANCE,
                                video.planes[plane], video.pitches[plane], GL_LINEAR);
    }
    m_yuv->bind();
    m_yuv->setUniformValue("lumaPlane", 0);
    m_yuv->setUniformValue("bluePlane", 1);
    m_yuv->setUniformValue("redPlane", 2);
    // An odd width or height leaves the chroma planes half a sample wider than the luma.
    m_yuv->setUniformValue("chromaScale",
                           static_cast<float>(video.width) / static_cast<float>(2 * chromaWidth),
                           static_cast<float>(video.height) / static_cast<float>(2 * chromaHeight));
    DrawQuad(*this, place, width, height, video.mirrored);
    m_yuv->release();
    glActiveTexture(GL_TEXTURE0);
}

void GlVideoWidget::UploadImage(const QImage& image, Texture& texture) {
    const QImage pixels = image.format() == QImage::Format_ARGB32_Premultiplied
                              ? image.convertToFormat(QImage::Format_RGBA8888_Premultiplied)
                              : image.convertToFormat(QImage::Format_RGBX8888);
    glActiveTexture(GL_TEXTURE0);
    // Pictures at the client size are drawn pixel for pixel.
    texture.Upload(*this, pixels.width(), pixels.height(), GL_RGBA, pixels.constBits(),
                   static_cast<int>(pixels.bytesPerLine() / 4), GL_NEAREST);
}

void GlVideoWidget::DrawImage(Texture& texture, int width, int height) {
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    m_rgb->bind();
    m_rgb->setUniformValue("picture", 0);
    DrawQuad(*this, QRect(0, 0, width, height), width, height, false);
    m_rgb->release();
}

void GlVideoWidget::paintGL() {
    const int width = this->width();
    const int height = this->height();
    const PresentedPicture::Impl* parts = m_picture.GetImpl();
    if (!m_yuv || !m_rgb || width < 1 || height < 1) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, static_cast<GLsizei>(width * ratio), static_cast<GLsizei>(height * ratio));
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    if (parts == nullptr) {
        // Before the first picture the window shows what it painted itself.
        m_surfaceArea = QRegion(0, 0, width, height);
    } else if (parts->inParts) {
        const QRgb clear = parts->clear;
        glClearColor(qRed(clear) / 255.0f, qGreen(clear) / 255.0f, qBlue(clear) / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        if (parts->video) {
            // A picture composed for another size than the window's (it changed size meanwhile) is
            // stretched to it, as the software path draws it.
            const QRect& place = parts->video->destination;
            const qreal scaleX = static_cast<qreal>(width) / parts->size.width();
            const qreal scaleY = static_cast<qreal>(height) / parts->size.height();
            DrawVideo(*parts->video,
                      QRect(qRound(place.left() * scaleX), qRound(place.top() * scaleY),
                            qRound(place.width() * scaleX), qRound(place.height() * scaleY)),
                      width, height);
        }
        if (!parts->overlay.isNull()) {
            UploadImage(parts->overlay, *m_overlay);
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
            DrawImage(*m_overlay, width, height);
            glDisable(GL_BLEND);
        }
    } else {
        UploadImage(parts->image, *m_composed);
        DrawImage(*m_composed, width, height);
    }
    const Window* record = m_surfaceArea.isEmpty() ? nullptr : Lookup(m_window);
    if (record == nullptr || record->surface.isNull()) {
        return;
    }
    UploadImage(record->surface, *m_surface);
    glEnable(GL_SCISSOR_TEST);
    for (const QRect& rect : m_surfaceArea) {
        glScissor(static_cast<GLint>(rect.left() * ratio),
                  static_cast<GLint>((height - rect.bottom() - 1) * ratio),
                  static_cast<GLsizei>(rect.width() * ratio), static_cast<GLsizei>(rect.height() * ratio));
        DrawImage(*m_surface, width, height);
    }
    glDisable(GL_SCISSOR_TEST);
}

void NoteSurfacePainted(Window& window, const QRegion& region) {
    if (auto* video = dynamic_cast<GlVideoWidget*>(window.video.data())) {
        video->ShowSurface(region);
    }
}

} // namespace uiimpl
