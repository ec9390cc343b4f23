#pragma once
// Helpers of the iCal importer's tests: the user's zone for one test, and a store as the
// events file's "key|value" lines.
#include "framework/Dictionary.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ctime>
#include <ostream>

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
