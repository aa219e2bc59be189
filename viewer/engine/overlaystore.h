#pragma once
// A renderer's overlays by id, drawn in ascending id order so that a higher id lies on top. Adds,
// removals and clears come from the user-interface thread while presentations draw from others.

#include "viewer/engine/overlays.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

class OverlayStore {
  public:
    OverlayStore() = default;
    virtual ~OverlayStore();
    OverlayStore(const OverlayStore&) = delete;
    OverlayStore& operator=(const OverlayStore&) = delete;

    // Replaces (and destroys) an overlay stored under the id before.
    void Add(std::unique_ptr<Overlay> overlay, short id);
    // An unknown id changes nothing.
    void Remove(short id);
    void Clear();
    bool IsEmpty() const;
    void DrawAll(VideoScene& scene);
    // In drawing order.
    std::vector<short> Ids() const;

  private:
    mutable std::mutex lock;
    std::map<short, std::unique_ptr<Overlay>> overlays;
};
