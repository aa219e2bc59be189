#include "viewer/ziparchive/zipfile.h"

bool CZipFile::Open(const std::wstring& path, UINT openFlags, bool throwOnError) {
    CFileException error;
    if (m_file.Open(path, openFlags, &error))
        return true;
    if (throwOnError)
        throw error;
    return false;
}

ULONGLONG CZipFile::Seek(LONGLONG offset, int from) {
    const UINT origin = from == begin ? CFile::begin : from == current ? CFile::current : CFile::end;
    return m_file.Seek(offset, origin);
}
