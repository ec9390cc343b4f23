#pragma once
#include "framework/Dictionary.h"
#include "framework/MessageBox.h"
#include <QStringList>
#include <QTemporaryDir>
#include <QStandardPaths>

// Records every message box shown while it lives, answering with the given button.
class MessageLog
{
public:
    explicit MessageLog(MessageBox::Button answer = MessageBox::Button::Action)
        : m_previous(MessageBox::SetInterceptor(MessageBox::Recorder(&messages, answer))) {}
    ~MessageLog() { MessageBox::SetInterceptor(m_previous); }
    QStringList messages;

private:
    MessageBox::Interceptor m_previous;
};

// The folder that holds the temporary homes of a test program and of the copies of it that
// its death tests start. Those copies end without cleaning up (by _Exit or a signal): their
// homes go with the folder when the first program ends.
inline QString SandboxRoot()
{
    static const QString root = [] {
        const char* variable = "LUMORA_TEST_SANDBOX_ROOT";
        if (const QByteArray inherited = qgetenv(variable); !inherited.isEmpty())
            return QString::fromLocal8Bit(inherited);
        static QTemporaryDir dir;   // the first program's, removed when it ends
        qputenv(variable, dir.path().toLocal8Bit());
        return dir.path();
    }();
    return root;
}

// Points the configuration and Documents folders into a fresh temporary folder.
class SandboxHome
{
public:
    SandboxHome()
    {
        m_oldHome = qgetenv("HOME");
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/.config").toUtf8());
    }
    ~SandboxHome()
    {
        qputenv("HOME", m_oldHome);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    QString configFolder() const { return dir.path() + "/.config"; }
    QString documentsFolder() const { return dir.path() + "/Documents"; }
    QString path() const { return dir.path(); }
    QTemporaryDir dir{SandboxRoot() + "/home-XXXXXX"};

private:
    QByteArray m_oldHome, m_oldConfig;
};

// The keys of a range of the event store, in order.
inline QStringList keysOf(const Dictionary::Span& span)
{
    QStringList keys;
    for (const auto& [key, value] : span)
        keys << key;
    return keys;
}
