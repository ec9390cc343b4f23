#pragma once
#include <QString>

// Opening web and mail links in the user's programs. Only http and https addresses with a
// host and mailto addresses with an addressee are ever opened; anything else (empty, file:,
// javascript:, no scheme) opens nothing.
bool IsOpenableURL(const QString& address);
// Opens the address when it is openable; returns whether it was handed to the desktop.
bool ShowURL(const QString& address);
