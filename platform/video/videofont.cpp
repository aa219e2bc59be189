#include "platform/video/videofont.h"

#include "platform/video/videodeviceimpl.h"

#include <QFontMetricsF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <utility>

VideoFont::VideoFont(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
VideoFont::~VideoFont() = default;

int VideoFont::Height() const {
    return m_impl->height;
}

HRESULT VideoFont::Create(int height, int weight, const std::wstring& face,
                          std::unique_ptr<VideoFont>* font) {
    if (!font)
        return E_POINTER;
    if (height < 1)
        return E_INVALIDARG;
    if (!CanRenderText())
        return E_FAIL;
    auto impl = std::make_unique<Impl>();
    impl->height = height;
    impl->font = QFont(QString::fromStdWString(face));
    // 0 is "don't care", which the desktop draws as normal.
    impl->font.setWeight(static_cast<QFont::Weight>(weight <= 0 ? 400 : std::clamp(weight, 100, 900)));
    // The height is the whole cell, ascent plus descent, as for a positive font height on the
    // platform the program came from; the face's own proportions decide the pixel size.
    impl->font.setPixelSize(height);
    const QFontMetricsF metrics(impl->font);
    const double cell = metrics.ascent() + metrics.descent();
    if (cell > 0)
        impl->font.setPixelSize(
            std::max(1, static_cast<int>(std::lround(height * static_cast<double>(height) / cell))));
    font->reset(new VideoFont(std::move(impl)));
    return S_OK;
}
