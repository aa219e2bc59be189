#pragma once
// A font for scene text, chosen by face name (an unknown face falls back to the desktop's default
// face), weight (400 normal, 700 bold) and cell height in back-buffer pixels (ascent plus descent).

#include "platform/video/videotypes.h"

#include <memory>
#include <string>

class VideoFont {
  public:
    // E_FAIL when the program cannot render text (no GUI application object); E_INVALIDARG for a
    // height below 1.
    static HRESULT Create(int height, int weight, const std::wstring& face, std::unique_ptr<VideoFont>* font);
    ~VideoFont();
    VideoFont(const VideoFont&) = delete;
    VideoFont& operator=(const VideoFont&) = delete;

    int Height() const;

    struct Impl;
    const Impl& GetImpl() const { return *m_impl; }

  private:
    explicit VideoFont(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> m_impl;
};
