#pragma once
// The main view as the playlist panel sees it. The view implements it; the panel never owns it.

class IPlaylistView {
  public:
    // Opens the recording of the list row and plays it; 0 when it could not be opened.
    virtual int OpenAndPlay(int row) = 0;
    // Removes the selected rows and their recordings from the list and the catalogue.
    virtual void DeleteSelectedRecordings() = 0;
    // The row the list draws as playing (-1: none). The view keeps it current for as long as the
    // panel lives.
    virtual const int* GetPlayingRowPointer() = 0;

  protected:
    ~IPlaylistView() = default;
};
