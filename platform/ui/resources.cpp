#include "platform/ui/resources.h"

#include "platform/base/unicode.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/cursorimpl.h"
#include "platform/ui/gdiimpl.h"

#include <QByteArray>
#include <QFile>
#include <QImage>

#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

using namespace uiimpl;

namespace {

QString NamePart(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) {
        return QString::number(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return QString::fromWCharArray(name);
}

QString TypePart(LPCWSTR type) {
    if (IS_INTRESOURCE(type)) {
        return QStringLiteral("#") +
               QString::number(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(type)));
    }
    return QString::fromWCharArray(type);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString FilePath(LPCWSTR name) {
    return QFile::decodeName(QByteArray::fromStdString(Utf8FromWide(name)));
}

// Loaded resource data, kept for the whole run at stable addresses.
struct ResourceTable {
    std::mutex mutex;
    std::deque<QByteArray> data;
    std::map<QString, size_t> byPath;
};

ResourceTable& Resources() {
    static ResourceTable table;
    return table;
}

const QByteArray* Entry(HRSRC resource) {
    ResourceTable& table = Resources();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto index = reinterpret_cast<ULONG_PTR>(resource);
    return index >= 1 && index <= table.data.size() ? &table.data[index - 1] : nullptr;
}

HANDLE LoadBitmapImage(LPCWSTR name, int width, int height, UINT flags) {
    QByteArray bytes;
    if ((flags & LR_LOADFROMFILE) != 0) {
        bytes = ReadAll(FilePath(name));
    } else {
        bytes = ReadAll(QStringLiteral(":/bitmap/%1.bmp").arg(NamePart(name)));
    }
    const HBITMAP bitmap = LoadBitmapFromBmpData(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (bitmap == nullptr || width <= 0 || height <= 0) {
        return bitmap;
    }
    const std::shared_ptr<BitmapObject> loaded = FindBitmap(bitmap);
    const QImage scaled =
        loaded->image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    DeleteObject(bitmap);
    return AddBitmap(scaled);
}

} // namespace

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int width, int height, UINT flags) {
    if (name == nullptr) {
        return nullptr;
    }
    switch (type) {
    case IMAGE_BITMAP:
        return LoadBitmapImage(name, width, height, flags);
    case IMAGE_CURSOR:
        if ((flags & LR_LOADFROMFILE) != 0) {
            return AddCursor(QImage(FilePath(name)), false);
        }
        return AddCursor(QImage(QStringLiteral(":/cursor/%1.png").arg(NamePart(name))), false);
    default:
        return nullptr;
    }
}

HANDLE CopyImage(HANDLE image, UINT type, int width, int height, UINT flags) {
    const std::shared_ptr<BitmapObject> source = type == IMAGE_BITMAP ? FindBitmap(static_cast<HBITMAP>(image))
                                                                      : nullptr;
    if (source == nullptr || width != 0 || height != 0) {
        return nullptr;
    }
    auto copy = std::make_shared<BitmapObject>();
    copy->image = source->image.copy();
    if (copy->image.isNull()) {
        return nullptr;
    }
    copy->dibSection = (flags & LR_CREATEDIBSECTION) != 0;
    copy->bitsPerPixel = source->bitsPerPixel;
    return AddObject(copy);
}

HRSRC FindResourceW(HMODULE, LPCWSTR name, LPCWSTR type) {
    if (name == nullptr || type == nullptr) {
        return nullptr;
    }
    const QString path = QStringLiteral(":/%1/%2").arg(TypePart(type), NamePart(name));
    ResourceTable& table = Resources();
    {
        std::lock_guard<std::mutex> lock(table.mutex);
        const auto found = table.byPath.find(path);
        if (found != table.byPath.end()) {
            return reinterpret_cast<HRSRC>(static_cast<ULONG_PTR>(found->second + 1));
        }
    }
    if (!QFile::exists(path)) {
        return nullptr;
    }
    const QByteArray bytes = ReadAll(path);
    std::lock_guard<std::mutex> lock(table.mutex);
    table.data.push_back(bytes);
    table.byPath[path] = table.data.size() - 1;
    return reinterpret_cast<HRSRC>(static_cast<ULONG_PTR>(table.data.size()));
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    const QByteArray* data = Entry(resource);
    return data != nullptr ? static_cast<DWORD>(data->size()) : 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    const QByteArray* data = Entry(resource);
    return data != nullptr ? const_cast<char*>(data->constData()) : nullptr;
}

void* LockResource(HGLOBAL data) {
    return data;
}

namespace {

// A version block is small; one without a NUL this far in is not one.
constexpr size_t LongestVersionBlock = 64 * 1024;

struct VersionValue {
    std::vector<WORD> words;
    std::wstring text;
    bool isText = false;
};

std::wstring Folded(const std::wstring& path) {
    return QString::fromStdWString(path).toCaseFolded().toStdWString();
}

// "0412 04B0" as words; false for anything else.
bool ParseWords(const QString& text, std::vector<WORD>* words) {
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        return false;
    }
    for (const QString& part : parts) {
        bool valid = false;
        const uint value = part.toUInt(&valid, 16);
        if (!valid || part.size() != 4 || value > 0xFFFF) {
            return false;
        }
        words->push_back(static_cast<WORD>(value));
    }
    return true;
}

bool FindVersionValue(const std::string& block, const std::wstring& path, VersionValue* value) {
    const std::wstring wanted = Folded(path);
    const QStringList lines =
        QString::fromUtf8(block.data(), static_cast<qsizetype>(block.size())).split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        const auto equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || Folded(line.left(equals).toStdWString()) != wanted) {
            continue;
        }
        const QString text = line.mid(equals + 1);
        if (wanted == L"\\varfileinfo\\translation") {
            return ParseWords(text, &value->words);
        }
        value->text = text.toStdWString();
        value->isText = true;
        return true;
    }
    return false;
}

} // namespace

BOOL VerQueryValueW(const void* block, LPCWSTR subBlock, void** buffer, UINT* length) {
    if (block == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr) {
        return FALSE;
    }
    const auto* text = static_cast<const char*>(block);
    const size_t size = strnlen(text, LongestVersionBlock);
    if (size == LongestVersionBlock) {
        return FALSE;
    }
    // Kept by the block's content: the answers stay valid whatever becomes of the block.
    static std::mutex mutex;
    static std::map<std::pair<std::string, std::wstring>, VersionValue> answered;
    const std::wstring path = subBlock;
    std::lock_guard<std::mutex> lock(mutex);
    const auto key = std::make_pair(std::string(text, size), Folded(path));
    auto found = answered.find(key);
    if (found == answered.end()) {
        VersionValue value;
        if (!FindVersionValue(key.first, path, &value)) {
            return FALSE;
        }
        found = answered.emplace(key, std::move(value)).first;
    }
    VersionValue& value = found->second;
    if (value.isText) {
        *buffer = value.text.data();
        *length = static_cast<UINT>(value.text.size() + 1);
    } else {
        *buffer = value.words.data();
        *length = static_cast<UINT>(value.words.size() * sizeof(WORD));
    }
    return TRUE;
}
