#pragma once
// The file names and the format of snapshot files: one file per channel, named after the path the
// user chose in the save dialog. The format is that of the chosen name's extension (".jpg",
// ".jpeg", ".bmp" or ".png" in any case); a name without one of those gets the extension of the
// chosen filter, so that a file's name never claims another format than it holds.

#include "platform/ui/image.h"

#include <string>

class ImageSaveName {
  public:
    // What the save dialogs for snapshots offer; the filter entries are counted from 1.
    static constexpr const wchar_t* kFilter =
        L"JPEG File (*.jpg)|*.jpg|Bitmap File (*.bmp)|*.bmp|PNG File (*.png)|*.png||";
    static constexpr const wchar_t* kDefaultExtension = L".jpg";
    static constexpr const wchar_t* kInitialName = L"*.jpg";

    // filterIndex: the entry of kFilter chosen in the dialog; anything else stands for JPEG.
    ImageSaveName(const std::wstring& chosenPath, int filterIndex);

    ImageFileFormat Format() const { return m_format; }
    // Channel 0 to 3: the chosen name without its extension, then "-CH1." to "-CH4." and the
    // extension. Of a chosen path longer than 254 characters only the first 250 are kept before
    // the suffix.
    std::wstring PathOfChannel(int channel) const;

  private:
    std::wstring m_base;
    std::wstring m_extension;
    ImageFileFormat m_format = ImageFileFormat::Jpeg;
};
