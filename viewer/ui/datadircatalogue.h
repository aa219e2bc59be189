#pragma once
// The view's catalogue behind IRecordingCatalogue: every method is DataDirStruct's own.

#include "viewer/ui/recordingcatalogue.h"

class DataDirStruct;

class DataDirCatalogue : public IRecordingCatalogue {
  public:
    explicit DataDirCatalogue(DataDirStruct& catalogue) : m_catalogue(catalogue) {}

    void LoadMetadata(const stringex& key) override;
    int GetFrameCount(const stringex& key) const override;
    const wchar_t* GetFilePath(const stringex& key, int channel) const override;
    const GpsRecord* GetGpsRecords(const stringex& key, int* count) const override;
    const GsensorSample* GetGsensorSamples(const stringex& key, int* count) const override;
    const char* GetCarNumber(const stringex& key) const override;
    int VerifyRecording(const stringex& key) override;
    int RemoveRecord(const stringex& key) override;
    void FillListByType(IListControl* list, int type, int order) override;

  private:
    DataDirStruct& m_catalogue;
};
