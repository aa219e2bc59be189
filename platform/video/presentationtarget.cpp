#include "platform/video/presentationtarget.h"

#include "platform/video/presentedpictureqt.h"
#include "platform/video/videodeviceimpl.h"

#include <QPainter>

#include <map>
#include <mutex>
#include <utility>

namespace {

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::map<HWND, std::shared_ptr<IPresentationTarget>>& Registry() {
    static std::map<HWND, std::shared_ptr<IPresentationTarget>> registry;
    return registry;
}

} // namespace

PresentedPicture::PresentedPicture() = default;
PresentedPicture::~PresentedPicture() = default;
PresentedPicture::PresentedPicture(const PresentedPicture& other) = default;
PresentedPicture& PresentedPicture::operator=(const PresentedPicture& other) = default;
PresentedPicture::PresentedPicture(std::shared_ptr<const Impl> impl) : m_impl(std::move(impl)) {}

const QImage& PresentedPicture::Impl::Image() const {
    if (!inParts)
        return image;
    std::call_once(composed, [this] {
        // As the device composes for a window that takes finished pictures.
        QImage canvas(size, QImage::Format_RGB32);
        if (canvas.isNull())
            return;
        canvas.fill(clear);
        if (video) {
            Scaler scaler;
            scaler.ToCanvas(*video, canvas);
        }
        if (!overlay.isNull()) {
            QPainter painter(&canvas);
            painter.drawImage(QPoint(0, 0), overlay);
        }
        image = std::move(canvas);
    });
    return image;
}

bool PresentedPicture::IsNull() const {
    return !m_impl || (m_impl->inParts ? m_impl->size.isEmpty() : m_impl->image.isNull());
}
int PresentedPicture::Width() const {
    return IsNull() ? 0 : m_impl->inParts ? m_impl->size.width() : m_impl->image.width();
}
int PresentedPicture::Height() const {
    return IsNull() ? 0 : m_impl->inParts ? m_impl->size.height() : m_impl->image.height();
}
int PresentedPicture::Pitch() const {
    return IsNull() ? 0 : static_cast<int>(m_impl->Image().bytesPerLine());
}
const BYTE* PresentedPicture::Bits() const {
    return IsNull() ? nullptr : m_impl->Image().constBits();
}

bool PresentedPicture::InParts() const {
    return m_impl && m_impl->inParts;
}

DWORD PresentedPicture::Pixel(int x, int y) const {
    if (IsNull() || x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    return m_impl->Image().pixel(x, y);
}

PresentedPicture PresentedPictureFromImage(QImage image) {
    auto impl = std::make_shared<PresentedPicture::Impl>();
    impl->image = std::move(image);
    return PresentedPicture(std::move(impl));
}

PresentedPicture PresentedPictureFromParts(QSize size, QRgb clear, std::optional<PresentedVideo> video,
                                           QImage overlay) {
    auto impl = std::make_shared<PresentedPicture::Impl>();
    impl->inParts = true;
    impl->size = size;
    impl->clear = clear;
    impl->video = std::move(video);
    impl->overlay = std::move(overlay);
    return PresentedPicture(std::move(impl));
}

QImage ImageOfPresentedPicture(const PresentedPicture& picture) {
    const PresentedPicture::Impl* impl = picture.GetImpl();
    return impl ? impl->Image() : QImage();
}

void RegisterPresentationTarget(HWND window, std::shared_ptr<IPresentationTarget> target) {
    if (!window)
        return;
    std::lock_guard<std::mutex> guard(RegistryLock());
    if (target)
        Registry()[window] = std::move(target);
    else
        Registry().erase(window);
}

void UnregisterPresentationTarget(HWND window) {
    std::lock_guard<std::mutex> guard(RegistryLock());
    Registry().erase(window);
}

std::shared_ptr<IPresentationTarget> FindPresentationTarget(HWND window) {
    std::lock_guard<std::mutex> guard(RegistryLock());
    const auto found = Registry().find(window);
    return found != Registry().end() ? found->second : nullptr;
}
