#include "viewer/ui/datadircatalogue.h"

#include "viewer/catalogue/datadirstruct.h"

void DataDirCatalogue::LoadMetadata(const stringex& key) {
    m_catalogue.LoadMetadata(key);
}

int DataDirCatalogue::GetFrameCount(const stringex& key) const {
    return m_catalogue.GetFrameCount(key);
}

const wchar_t* DataDirCatalogue::GetFilePath(const stringex& key, int channel) const {
    return m_catalogue.GetFilePath(key, channel);
}

const GpsRecord* DataDirCatalogue::GetGpsRecords(const stringex& key, int* count) const {
    return m_catalogue.GetGpsRecords(key, count);
}

const GsensorSample* DataDirCatalogue::GetGsensorSamples(const stringex& key, int* count) const {
    return m_catalogue.GetGsensorSamples(key, count);
}

const char* DataDirCatalogue::GetCarNumber(const stringex& key) const {
    return m_catalogue.GetCarNumber(key);
}

int DataDirCatalogue::VerifyRecording(const stringex& key) {
    return m_catalogue.VerifyRecording(key);
}

int DataDirCatalogue::RemoveRecord(const stringex& key) {
    return m_catalogue.RemoveRecord(key);
}

void DataDirCatalogue::FillListByType(IListControl* list, int type, int order) {
    m_catalogue.FillListByType(list, type, order);
}
