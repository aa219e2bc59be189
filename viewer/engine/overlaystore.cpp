#include "viewer/engine/overlaystore.h"

#include <utility>

OverlayStore::~OverlayStore() {
    Clear();
}

void OverlayStore::Add(std::unique_ptr<Overlay> overlay, short id) {
    if (!overlay)
        return;
    std::unique_ptr<Overlay> replaced;
    {
        std::lock_guard<std::mutex> guard(lock);
        std::unique_ptr<Overlay>& slot = overlays[id];
        replaced = std::move(slot);
        slot = std::move(overlay);
    }
    if (replaced)
        replaced->Release();
}

void OverlayStore::Remove(short id) {
    std::unique_ptr<Overlay> removed;
    {
        std::lock_guard<std::mutex> guard(lock);
        const auto found = overlays.find(id);
        if (found == overlays.end())
            return;
        removed = std::move(found->second);
        overlays.erase(found);
    }
    removed->Release();
}

void OverlayStore::Clear() {
    std::map<short, std::unique_ptr<Overlay>> cleared;
    {
        std::lock_guard<std::mutex> guard(lock);
        cleared.swap(overlays);
    }
    for (auto& entry : cleared)
        entry.second->Release();
}

bool OverlayStore::IsEmpty() const {
    std::lock_guard<std::mutex> guard(lock);
    return overlays.empty();
}

void OverlayStore::DrawAll(VideoScene& scene) {
    if (IsEmpty())
        return;
    std::lock_guard<std::mutex> guard(lock);
    for (auto& entry : overlays)
        entry.second->Draw(scene);
}

std::vector<short> OverlayStore::Ids() const {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<short> ids;
    ids.reserve(overlays.size());
    for (const auto& entry : overlays)
        ids.push_back(entry.first);
    return ids;
}
