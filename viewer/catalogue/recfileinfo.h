#pragma once
// One recording of the catalogue: its files, its kind and start time from the name, and the
// metadata read from its boxes or chunks.

#include "viewer/catalogue/moviesimpleparser.h"

#include <string>

struct RecFileInfo {
    // The file with camera 1; for a one-file AVI recording the file with every camera.
    std::wstring frontPath;
    // The rear camera's file of a pair; empty when there is none.
    std::wstring secondPath;
    int type = 0; // RecordTypeCode
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    // Filled by DataDirStruct::LoadMetadata.
    MovieSimpleParser metadata;
    // Read through DataDirStruct::GetRecordValue; neither the names nor the boxes of the
    // recorder's files give it, so it stays 0.
    int recordValue = 0;
};
