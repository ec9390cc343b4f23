#pragma once
#include <QString>
#include <QVector>
#include <memory>

// A file-type record. Registering only marks it known for the run: nothing on the desktop
// is changed and nothing in the program reads the set.
struct FileType
{
    QString Name;
    QString Extensions;
    QString MacType;
    QString MacCreator;
    bool Registered = false;
    // Registers the record and yields its name.
    QString Register()
    {
        Registered = true;
        return Name;
    }
};

// The application's set of twenty file types, built once at start-up.
class FileTypes
{
public:
    static void _Initialize();
    static void Release();
    static const QVector<std::shared_ptr<FileType>>& All() { return records(); }

private:
    static QVector<std::shared_ptr<FileType>>& records();
};
