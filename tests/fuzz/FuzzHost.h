#pragma once
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// What every harness needs around the reader it drives: the application object (offscreen,
// never started, so App() works, its font database read before the first input is timed),
// message boxes answered at once instead of shown, and a temporary folder (in TMPDIR) that
// holds the configuration and Documents folders as well as the files one input is written
// to. Made before the first input and kept for the whole run; the folder is removed however
// the run ends, libFuzzer's own ends at a timeout or a signal included.
class FuzzHost
{
public:
    static FuzzHost& Get();

    // An empty folder for one input (the previous input's files are removed).
    QString FreshFolder();
    // Writes data to name inside folder; returns the file's path.
    static QString WriteFile(const QString& folder, const QString& name, const uint8_t* data, size_t size);
    // Reports a broken promise of the reader under test and aborts, which libFuzzer
    // records as a crash together with the input.
    [[noreturn]] static void Fail(const char* what, const QString& detail = QString());
    static void Require(bool condition, const char* what, const QString& detail = QString())
    {
        if (!condition)
            Fail(what, detail);
    }

private:
    FuzzHost();
    // Leaves the removal of the folder to a small process that outlives this one.
    void removeFolderAtExit();
    QTemporaryDir m_root{QDir::tempPath() + QStringLiteral("/lumora-fuzz-XXXXXX")};
};
