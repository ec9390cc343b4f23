#pragma once
#include <QString>

// Opening web and mail links in the user's programs. Only http and https addresses with a
// host and mailto addresses with an addressee are ever opened, a mailto address only with
// no query or with "subject" and "body" alone; anything else (empty, file:, javascript:,
// no scheme, a mailto with "attach=", "cc=" ...) opens nothing.
bool IsOpenableURL(const QString& address);
// Opens the address when it is openable; returns whether it was handed to the desktop.
bool ShowURL(const QString& address);
