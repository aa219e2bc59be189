#pragma once
// The catalogue of recordings as the main view's transport reads it. DataDirCatalogue passes it to
// the view's DataDirStruct; tests give recordings and their metadata directly.

#include "viewer/catalogue/moviesimpleparser.h"
#include "viewer/catalogue/sharedhelpers.h"

class IListControl;

class IRecordingCatalogue {
  public:
    virtual ~IRecordingCatalogue() = default;

    virtual void LoadMetadata(const stringex& key) = 0;
    // 0 for an unknown key or a recording without video frames.
    virtual int GetFrameCount(const stringex& key) const = 0;
    // Channel 1: the front (or only) file; 0: the rear file of a pair. Null when absent.
    virtual const wchar_t* GetFilePath(const stringex& key, int channel) const = 0;
    // Null when there are none; the count is then left as it is.
    virtual const GpsRecord* GetGpsRecords(const stringex& key, int* count) const = 0;
    virtual const GsensorSample* GetGsensorSamples(const stringex& key, int* count) const = 0;
    // The car registration number as 8-bit text; null when the recording holds none.
    virtual const char* GetCarNumber(const stringex& key) const = 0;
    // 1 signature intact, 0 not, -1 the file cannot be opened.
    virtual int VerifyRecording(const stringex& key) = 0;
    virtual int RemoveRecord(const stringex& key) = 0;
    // Rows for every recording of the type (9: all), oldest first for order 1, else newest first.
    virtual void FillListByType(IListControl* list, int type, int order) = 0;
};
