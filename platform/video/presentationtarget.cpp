#include "platform/video/presentationtarget.h"

#include "platform/video/presentedpictureqt.h"

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

bool PresentedPicture::IsNull() const {
    return !m_impl || m_impl->image.isNull();
}
int PresentedPicture::Width() const {
    return IsNull() ? 0 : m_impl->image.width();
}
int PresentedPicture::Height() const {
    return IsNull() ? 0 : m_impl->image.height();
}
int PresentedPicture::Pitch() const {
    return IsNull() ? 0 : static_cast<int>(m_impl->image.bytesPerLine());
}
const BYTE* PresentedPicture::Bits() const {
    return IsNull() ? nullptr : m_impl->image.constBits();
}

DWORD PresentedPicture::Pixel(int x, int y) const {
    if (IsNull() || x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    return m_impl->image.pixel(x, y);
}

PresentedPicture PresentedPictureFromImage(QImage image) {
    auto impl = std::make_shared<PresentedPicture::Impl>();
    impl->image = std::move(image);
    return PresentedPicture(std::move(impl));
}

QImage ImageOfPresentedPicture(const PresentedPicture& picture) {
    const PresentedPicture::Impl* impl = picture.GetImpl();
    return impl ? impl->image : QImage();
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
