#pragma once
#include <QPair>
#include <QString>
#include <QVector>

class Dictionary;

// The thirteen race days of 2005 that the Tervin edition shows as special events, stored
// under 00:00:00 of their day with the value key + "//" + place + "//Special".
class EditionEvents
{
public:
    using Entry = QPair<QString, QString>;   // key, value
    static inline const QString EditionWord = QStringLiteral("Tervin");

    static QVector<Entry> All();
    // Whether the edition named applicationName shows the special events.
    static bool IsSpecialEdition(const QString& applicationName);
    // Stores the thirteen entries for the special edition; removes their keys otherwise.
    static void Load(Dictionary& store, const QString& applicationName);
};
