#pragma once
// Helpers of the iCal importer's tests: the user's zone for one test, a store as the events
// file's "key|value" lines, and one event imported on its own.
#include "data/ICalImporter.h"
#include "framework/Dictionary.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ctime>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

// Test failures print texts as texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace IcalTest {

// Sets TZ (the user's local zone) while it lives, and puts the old value back.
class LocalZone
{
public:
    explicit LocalZone(const char* zone)
        : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }
    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

private:
    bool m_had;
    QByteArray m_old;
};

inline QStringList Lines(const Dictionary& store)
{
    QStringList out;
    for (auto it = store.Entries().cbegin(); it != store.Entries().cend(); ++it)
        out << it.key() + "|" + it.value();
    return out;
}

// Imports one calendar holding one event (UID "u1") given by its content lines, into a store
// for the years 2005 to 2007.
inline Dictionary ImportEvent(const QString& eventLines)
{
    Dictionary store;
    ICalImporter importer(store, 2005);
    importer.ImportText("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:u1\r\n" + eventLines
                        + "END:VEVENT\r\nEND:VCALENDAR\r\n");
    return store;
}

struct Case
{
    const char* name;
    QString lines;
    QStringList expected;   // "key|value" lines, or only the keys when no line holds "|"
};

inline void ExpectCases(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        const Dictionary store = ImportEvent(c.lines);
        const bool keysOnly = !c.expected.isEmpty() && !c.expected.first().contains('|');
        EXPECT_EQ(keysOnly ? store.Keys() : Lines(store), c.expected) << c.name;
    }
}

// A VTIMEZONE block for US Eastern time under the rules of 2005: daylight time from the
// first Sunday of April to the last Sunday of October.
inline QString EasternVTimeZone(const QString& tzid)
{
    return "BEGIN:VTIMEZONE\r\nTZID:" + tzid + "\r\n"
           "BEGIN:STANDARD\r\nDTSTART:19671029T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
           "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nTZNAME:EST\r\nEND:STANDARD\r\n"
           "BEGIN:DAYLIGHT\r\nDTSTART:19870405T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU\r\n"
           "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nTZNAME:EDT\r\nEND:DAYLIGHT\r\n"
           "END:VTIMEZONE\r\n";
}

} // namespace IcalTest
