#include "shell/FileTypes.h"

namespace {
struct Row {
    const char* name;
    const char* extensions;
    const char* macType;
    const char* macCreator;
};

// pVideoQuicktime ... pSpecialAny, in the order they are built and registered.
const Row kRows[] = {
    {"video/quicktime", ".moov;.mov;.qt", "Moov", "TVOD"},
    {"image/x-bmp", ".bmp", "????", "????"},
    {"image/x-jpeg2000", ".jp2", "????", "????"},
    {"image/x-pict", ".mac;.pct;.pic;.pict", "PICT", "????"},
    {"image/x-tiff", ".tif;.tiff", "????", "????"},
    {"image/gif", ".gif", "GOFf", "prvw"},
    {"image/jpeg", ".jfif;.jpe;..jpeg;.jpg", "JPEG", "prvw"},
    {"image/x-quicktime", ".qtif;.qti", "????", "????"},
    {"image/x-portable-bitmap", ".pbm", "PPGM", "GKON"},
    {"image/pict", ".pict;.pic;.pct", "????", "????"},
    {"image/x-bitmap", ".xbm", "XBM", "GKON"},
    {"All Files", "*.*", "????", "????"},
    {"All Picture Files", "BM{;GIF;JPG;JPEG;JPE;PNG;TIF;TIFF;", "", ""},
    {"Bitmap BMP", "BMP", "", ""},
    {"GIF", "GIF", "", ""},
    {"JPEG", "*.JPG;*.JPEG;*.JPE", "", ""},
    {"TIFF", "TIF;TIFF", "", ""},
    {"PNG", "PNG", "", ""},
    {"PICT", "PIC;PICT", "", ""},
    {"special/any", "", "????", "???"},
};
} // namespace

QVector<std::shared_ptr<FileType>>& FileTypes::records()
{
    static QVector<std::shared_ptr<FileType>> all;
    return all;
}

void FileTypes::_Initialize()
{
    records().clear();
    for (const Row& row : kRows) {
        auto type = std::make_shared<FileType>();
        type->Name = QString::fromLatin1(row.name);
        type->Extensions = QString::fromLatin1(row.extensions);
        type->MacType = QString::fromLatin1(row.macType);
        type->MacCreator = QString::fromLatin1(row.macCreator);
        type->Register();
        records().append(type);
    }
}

void FileTypes::Release() { records().clear(); }
