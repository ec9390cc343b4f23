#pragma once
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// What every harness needs around the reader it drives: the application object (offscreen,
// never started, so App() works), message boxes answered at once instead of shown, and a
// temporary folder that holds the configuration and Documents folders as well as the files
// one input is written to (in memory where the system offers it: the readers write their
// files atomically, and a synced write to a disk would slow a run down to a crawl). Made on
// first use and kept for the whole run.
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
    static QString rootTemplate();
    QTemporaryDir m_root{rootTemplate()};
};
