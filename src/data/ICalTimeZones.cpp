#include "data/ICalTimeZones.h"
#include "framework/Date.h"
#include <QHash>
#include <QRegularExpression>
#include <QTimeZone>
#include <algorithm>
#include <ctime>
#include <vector>

namespace {

// Windows display names, by the place list after the "(UTC-05:00) " offset, mapped to the
// Windows zone id QTimeZone translates. Exports from Windows mail programs write these as
// TZIDs, often without the VTIMEZONE block that would define them. Older systems wrote
// "(GMT-05:00) ..." with the same place lists.
const QHash<QString, QString>& displayNames()
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("Hawaii"), QStringLiteral("Hawaiian Standard Time")},
        {QStringLiteral("Alaska"), QStringLiteral("Alaskan Standard Time")},
        {QStringLiteral("Pacific Time (US & Canada)"), QStringLiteral("Pacific Standard Time")},
        {QStringLiteral("Pacific Time (US & Canada); Tijuana"), QStringLiteral("Pacific Standard Time")},
        {QStringLiteral("Arizona"), QStringLiteral("US Mountain Standard Time")},
        {QStringLiteral("Mountain Time (US & Canada)"), QStringLiteral("Mountain Standard Time")},
        {QStringLiteral("Central Time (US & Canada)"), QStringLiteral("Central Standard Time")},
        {QStringLiteral("Saskatchewan"), QStringLiteral("Canada Central Standard Time")},
        {QStringLiteral("Guadalajara, Mexico City, Monterrey"), QStringLiteral("Central Standard Time (Mexico)")},
        {QStringLiteral("Eastern Time (US & Canada)"), QStringLiteral("Eastern Standard Time")},
        {QStringLiteral("Indiana (East)"), QStringLiteral("US Eastern Standard Time")},
        {QStringLiteral("Bogota, Lima, Quito, Rio Branco"), QStringLiteral("SA Pacific Standard Time")},
        {QStringLiteral("Atlantic Time (Canada)"), QStringLiteral("Atlantic Standard Time")},
        {QStringLiteral("Newfoundland"), QStringLiteral("Newfoundland Standard Time")},
        {QStringLiteral("Brasilia"), QStringLiteral("E. South America Standard Time")},
        {QStringLiteral("City of Buenos Aires"), QStringLiteral("Argentina Standard Time")},
        {QStringLiteral("Buenos Aires"), QStringLiteral("Argentina Standard Time")},
        {QStringLiteral("Coordinated Universal Time"), QStringLiteral("UTC")},
        {QStringLiteral("Dublin, Edinburgh, Lisbon, London"), QStringLiteral("GMT Standard Time")},
        {QStringLiteral("Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London"), QStringLiteral("GMT Standard Time")},
        {QStringLiteral("Monrovia, Reykjavik"), QStringLiteral("Greenwich Standard Time")},
        {QStringLiteral("Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna"), QStringLiteral("W. Europe Standard Time")},
        {QStringLiteral("Belgrade, Bratislava, Budapest, Ljubljana, Prague"), QStringLiteral("Central Europe Standard Time")},
        {QStringLiteral("Brussels, Copenhagen, Madrid, Paris"), QStringLiteral("Romance Standard Time")},
        {QStringLiteral("Sarajevo, Skopje, Warsaw, Zagreb"), QStringLiteral("Central European Standard Time")},
        {QStringLiteral("West Central Africa"), QStringLiteral("W. Central Africa Standard Time")},
        {QStringLiteral("Athens, Bucharest"), QStringLiteral("GTB Standard Time")},
        {QStringLiteral("Cairo"), QStringLiteral("Egypt Standard Time")},
        {QStringLiteral("Harare, Pretoria"), QStringLiteral("South Africa Standard Time")},
        {QStringLiteral("Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius"), QStringLiteral("FLE Standard Time")},
        {QStringLiteral("Helsinki, Kiev, Riga, Sofia, Tallinn, Vilnius"), QStringLiteral("FLE Standard Time")},
        {QStringLiteral("Jerusalem"), QStringLiteral("Israel Standard Time")},
        {QStringLiteral("Istanbul"), QStringLiteral("Turkey Standard Time")},
        {QStringLiteral("Moscow, St. Petersburg"), QStringLiteral("Russian Standard Time")},
        {QStringLiteral("Moscow, St. Petersburg, Volgograd"), QStringLiteral("Russian Standard Time")},
        {QStringLiteral("Nairobi"), QStringLiteral("E. Africa Standard Time")},
        {QStringLiteral("Abu Dhabi, Muscat"), QStringLiteral("Arabian Standard Time")},
        {QStringLiteral("Chennai, Kolkata, Mumbai, New Delhi"), QStringLiteral("India Standard Time")},
        {QStringLiteral("Bangkok, Hanoi, Jakarta"), QStringLiteral("SE Asia Standard Time")},
        {QStringLiteral("Beijing, Chongqing, Hong Kong, Urumqi"), QStringLiteral("China Standard Time")},
        {QStringLiteral("Kuala Lumpur, Singapore"), QStringLiteral("Singapore Standard Time")},
        {QStringLiteral("Perth"), QStringLiteral("W. Australia Standard Time")},
        {QStringLiteral("Taipei"), QStringLiteral("Taipei Standard Time")},
        {QStringLiteral("Osaka, Sapporo, Tokyo"), QStringLiteral("Tokyo Standard Time")},
        {QStringLiteral("Seoul"), QStringLiteral("Korea Standard Time")},
        {QStringLiteral("Adelaide"), QStringLiteral("Cen. Australia Standard Time")},
        {QStringLiteral("Darwin"), QStringLiteral("AUS Central Standard Time")},
        {QStringLiteral("Brisbane"), QStringLiteral("E. Australia Standard Time")},
        {QStringLiteral("Canberra, Melbourne, Sydney"), QStringLiteral("AUS Eastern Standard Time")},
        {QStringLiteral("Hobart"), QStringLiteral("Tasmania Standard Time")},
        {QStringLiteral("Auckland, Wellington"), QStringLiteral("New Zealand Standard Time")},
    };
    return names;
}

// Only names shaped like zone names reach libical, which opens the zone file of that name.
bool looksLikeZoneName(const QString& name)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z][A-Za-z0-9_+-]*(/[A-Za-z0-9_+-]+)*$"));
    return name.size() < 64 && shape.match(name).hasMatch();
}

icaltimezone* builtin(const QString& name)
{
    if (!looksLikeZoneName(name))
        return nullptr;
    return icaltimezone_get_builtin_timezone(name.toUtf8().constData());
}

icaltimezone* fromWindowsId(const QString& id)
{
    const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(id.toUtf8());
    return iana.isEmpty() ? nullptr : builtin(QString::fromUtf8(iana));
}

icaltimezone* fromDisplayName(const QString& name)
{
    static const QRegularExpression offset(QStringLiteral("^\\((?:UTC|GMT)(?:[+-]\\d{1,2}(?::\\d{2})?)?\\)\\s*"));
    const auto m = offset.match(name);
    if (!m.hasMatch())
        return nullptr;
    const QString id = displayNames().value(name.mid(m.capturedLength()).trimmed());
    return id.isEmpty() ? nullptr : fromWindowsId(id);
}

bool realDate(const icaltimetype& t)
{
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1
        || t.day > Date::DaysIn(t.year, t.month))
        return false;
    return t.is_date || (t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0
                         && t.second <= 60);
}

int64_t fieldSeconds(const icaltimetype& t)
{
    const int64_t days = Date::DaysFromCivil(t.year, t.month, t.day);
    return days * 86400 + (t.is_date ? 0 : t.hour * 3600 + t.minute * 60 + t.second);
}

// A rule of zone changes as real zones have them: yearly, on days given by month, month day
// or weekday, never several times a day.
bool yearlyByDays(const icalrecurrencetype& rule)
{
    return rule.freq == ICAL_YEARLY_RECURRENCE && rule.by_second[0] == ICAL_RECURRENCE_ARRAY_MAX
           && rule.by_minute[0] == ICAL_RECURRENCE_ARRAY_MAX && rule.by_hour[0] == ICAL_RECURRENCE_ARRAY_MAX;
}

} // namespace

icaltimezone* ICalTimeZones::Find(const QString& tzid, icalcomponent* event)
{
    const QByteArray utf8 = tzid.toUtf8();
    for (icalcomponent* c = event; c; c = icalcomponent_get_parent(c))
        if (icaltimezone* zone = icalcomponent_get_timezone(c, utf8.constData()))
            return zone;
    const QString name = tzid.trimmed();
    if (icaltimezone* zone = builtin(name))
        return zone;
    // "/vendor/version/Area/City": the longest tail that names a zone.
    if (name.startsWith(QLatin1Char('/'))) {
        for (int i = name.indexOf(QLatin1Char('/'), 1); i > 0; i = name.indexOf(QLatin1Char('/'), i + 1))
            if (icaltimezone* zone = builtin(name.mid(i + 1)))
                return zone;
    }
    if (icaltimezone* zone = fromWindowsId(name))
        return zone;
    return fromDisplayName(name);
}

QStringList ICalTimeZones::DisplayNamePlaces() { return displayNames().keys(); }

bool ICalTimeZones::Read(icalproperty* prop, icalcomponent* event, icaltimetype& out, int64_t* periodSeconds)
{
    if (periodSeconds)
        *periodSeconds = -1;
    icalvalue* value = prop ? icalproperty_get_value(prop) : nullptr;
    if (!value)
        return false;
    icaltimetype t = icaltime_null_time();
    icalperiodtype period = icalperiodtype_null_period();
    switch (icalvalue_isa(value)) {
    case ICAL_DATE_VALUE: t = icalvalue_get_date(value); break;
    case ICAL_DATETIME_VALUE: t = icalvalue_get_datetime(value); break;
    case ICAL_DATETIMEPERIOD_VALUE: {
        const icaldatetimeperiodtype dp = icalvalue_get_datetimeperiod(value);
        if (!icaltime_is_null_time(dp.time))
            t = dp.time;
        else
            t = (period = dp.period).start;
        break;
    }
    case ICAL_PERIOD_VALUE: t = (period = icalvalue_get_period(value)).start; break;
    default: return false;
    }
    if (icaltime_is_null_time(t) || !realDate(t))
        return false;
    if (t.second == 60)
        t.second = 59;   // a leap second is the last second of its minute here

    if (!icaltime_is_utc(t) && !t.is_date) {
        t.zone = nullptr;
        if (icalparameter* param = icalproperty_get_first_parameter(prop, ICAL_TZID_PARAMETER)) {
            const char* tzid = icalparameter_get_tzid(param);
            icaltimezone* zone = tzid ? Find(QString::fromUtf8(tzid), event) : nullptr;
            if (!zone)
                return false;   // a zone nobody knows: the time cannot be placed
            t.zone = zone;
        }
    }
    if (periodSeconds && !icaltime_is_null_time(t) && !icalperiodtype_is_null_period(period)) {
        if (!icaltime_is_null_time(period.end) && realDate(period.end)) {
            icaltimetype end = period.end;
            if (!icaltime_is_utc(end))
                end.zone = t.zone;
            *periodSeconds = std::max<int64_t>(0, Seconds(end) - Seconds(t));
        } else {
            *periodSeconds = std::max(0, icaldurationtype_as_int(period.duration));
        }
    }
    out = t;
    return true;
}

bool ICalTimeZones::IsAbsolute(const icaltimetype& t) { return !t.is_date && (icaltime_is_utc(t) || t.zone); }

icaltimetype ICalTimeZones::AsInstanceOf(icaltimetype t, const icaltimetype& dtstart)
{
    if (!t.is_date && !IsAbsolute(t) && IsAbsolute(dtstart))
        t.zone = dtstart.zone;
    return t;
}

int64_t ICalTimeZones::Seconds(const icaltimetype& t)
{
    if (!IsAbsolute(t) || icaltime_is_utc(t))
        return fieldSeconds(t);
    icaltimetype utc = t;
    icaltimezone_convert_time(&utc, const_cast<icaltimezone*>(t.zone), icaltimezone_get_utc_timezone());
    return fieldSeconds(utc);
}

Date ICalTimeZones::ToLocal(const icaltimetype& t, int64_t seconds)
{
    if (!IsAbsolute(t)) {
        Date wall(t.year, t.month, t.day, t.is_date ? 0 : t.hour, t.is_date ? 0 : t.minute, t.is_date ? 0 : t.second);
        wall.AddSeconds(seconds);
        return wall;
    }
    const time_t at = time_t(Seconds(t) + seconds);
    struct tm local {};
    if (!localtime_r(&at, &local))
        return Date(1, 1, 1);
    return Date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

void ICalTimeZones::SyncLocalZone() { tzset(); }

int ICalTimeZones::DropUnsafeZones(icalcomponent* calendar)
{
    int dropped = 0;
    std::vector<icalcomponent*> unsafe;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
        if (icalcomponent_isa(c) == ICAL_VCALENDAR_COMPONENT) {
            dropped += DropUnsafeZones(c);
            continue;
        }
        if (icalcomponent_isa(c) != ICAL_VTIMEZONE_COMPONENT)
            continue;
        bool safe = true;
        for (icalcomponent* part = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); part && safe;
             part = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
            for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p && safe;
                 p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY))
                safe = yearlyByDays(icalproperty_get_rrule(p));
        if (!safe)
            unsafe.push_back(c);
    }
    for (icalcomponent* c : unsafe) {
        icalcomponent_remove_component(calendar, c);
        icalcomponent_free(c);
    }
    return dropped + int(unsafe.size());
}
