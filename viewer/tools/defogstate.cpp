#include "viewer/tools/defogstate.h"

#include "platform/base/filesystem.h"
#include "viewer/ui/imagesavename.h"

#include <algorithm>

int DefogState::ChannelOfTimer(UINT_PTR id) {
    return id >= kFirstFilterTimer && id < kFirstFilterTimer + kChannelCount
               ? static_cast<int>(id - kFirstFilterTimer)
               : -1;
}

void DefogState::SetPictures(const std::array<SIZE, kChannelCount>& sizes) {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        Channel& record = At(channel);
        const SIZE& size = sizes[static_cast<size_t>(channel)];
        record.hasPicture = size.cx > 0 && size.cy > 0;
        record.picture = record.hasPicture ? size : SIZE{};
        record.strength = 0;
    }
}

bool DefogState::Fit(int channel, int areaWidth, int areaHeight) {
    Channel& record = At(channel);
    if (!record.hasPicture) {
        return false;
    }
    record.zoom = static_cast<double>(areaWidth) / record.picture.cx;
    record.pan.x = 0;
    record.pan.y = static_cast<LONG>((areaHeight - record.picture.cy * record.zoom) / 2.0);
    return true;
}

bool DefogState::ZoomIn(int channel) {
    Channel& record = At(channel);
    if (!record.hasPicture) {
        return false;
    }
    record.zoom += kZoomStep;
    return true;
}

bool DefogState::ZoomOut(int channel) {
    Channel& record = At(channel);
    if (!record.hasPicture) {
        return false;
    }
    record.zoom = std::max(record.zoom - kZoomStep, kSmallestZoom);
    return true;
}

RECT DefogState::Destination(int channel) const {
    const Channel& record = Get(channel);
    const LONG width = static_cast<LONG>(record.picture.cx * record.zoom);
    const LONG height = static_cast<LONG>(record.picture.cy * record.zoom);
    return RECT{record.pan.x, record.pan.y, record.pan.x + width, record.pan.y + height};
}

int DefogState::Clamp(int position) {
    return std::clamp(position, 0, kMaxStrength);
}

void DefogState::Track(int channel, int position) {
    At(channel).strength = Clamp(position);
}

DefogState::Release DefogState::EndScroll(int channel, int position) {
    Channel& record = At(channel);
    if (!record.hasPicture) {
        return Release::Nothing;
    }
    record.strength = Clamp(position);
    return record.strength == 0 ? Release::Restore : Release::Filter;
}

std::wstring DefogState::LabelText(int channel) const {
    return std::to_wstring(Get(channel).strength);
}

int DefogState::HitChannel(const std::array<RECT, kChannelCount>& areas, POINT point) {
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const RECT& area = areas[static_cast<size_t>(channel)];
        if (area.left < point.x && point.x < area.right && area.top < point.y && point.y < area.bottom) {
            return channel;
        }
    }
    return -1;
}

bool DefogState::BeginDrag(int hit, POINT point) {
    if (hit < 0) {
        return false;
    }
    m_dragChannel = hit;
    m_dragging = true;
    At(hit).lastDragPoint = point;
    return true;
}

bool DefogState::DragTo(int hit, POINT point) {
    if (!m_dragging || hit < 0 || hit != m_dragChannel) {
        return false;
    }
    Channel& record = At(hit);
    record.pan.x += point.x - record.lastDragPoint.x;
    record.pan.y += point.y - record.lastDragPoint.y;
    record.lastDragPoint = point;
    return true;
}

bool DefogState::EndDrag(int hit, POINT point) {
    if (!m_dragging) {
        return false;
    }
    const bool pans = hit >= 0 && hit == m_dragChannel && At(hit).hasPicture && DragTo(hit, point);
    m_dragging = false;
    return pans;
}

DefogState::SavePlan DefogState::PlanSave(const std::wstring& chosenPath, int filterIndex) const {
    const ImageSaveName name(chosenPath, filterIndex);
    SavePlan plan;
    plan.format = name.Format();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (!HasPicture(channel)) {
            continue;
        }
        plan.files.emplace_back(channel, name.PathOfChannel(channel));
        if (plan.existing.empty() && FileSystem::Exists(plan.files.back().second)) {
            plan.existing = plan.files.back().second;
        }
    }
    return plan;
}
