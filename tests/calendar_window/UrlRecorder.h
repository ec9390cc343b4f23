#pragma once
#include <QObject>
#include <QStringList>
#include <memory>

// Takes every address handed to the desktop's link opener while it lives, for the web and
// mail schemes and for schemes the calendar must never open, and records it instead.
class UrlRecorder
{
public:
    UrlRecorder();
    ~UrlRecorder();
    QStringList opened;

private:
    std::unique_ptr<QObject> m_receiver;
};
