#pragma once
#include "framework/Date.h"
#include "framework/Dictionary.h"
#include <QRandomGenerator>
#include <QString>
#include <algorithm>

// A store of count entries like those a few years of use leave, for comparing views with
// plain reference computations: timed events on and off the half-hour slots (some running
// late or backwards, some with an unreadable end), day notes, holidays, special and
// countdown records, and damaged keys, between December 2024 and January 2028.
inline Dictionary RandomStore(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    Dictionary store;
    const auto day = [&] {
        return Date(2024, 12, 1 + random.bounded(31 + 3 * 365 + 1 + 31)).SQLDate();   // to January 2028
    };
    const auto time = [](int minutes, int seconds = 0) {
        return QString::asprintf(" %02d:%02d:%02d", minutes / 60, minutes % 60, seconds);
    };
    while (store.Count() < count) {
        const QString date = day();
        const int kind = random.bounded(100);
        QString key, record;
        if (kind < 40) {   // on a slot between 06:00 and 21:30
            const int start = 6 * 60 + 30 * random.bounded(32);
            const int length = 30 * random.bounded(0, 9) - (random.bounded(5) == 0 ? 15 : 0);
            const int end = std::min(start + length, 23 * 60 + 59);
            key = date + time(start);
            record = date + time(std::max(end, 0)) + "//Event " + QString::number(store.Count());
        } else if (kind < 70) {   // at any minute
            const int start = random.bounded(24 * 60);
            key = date + time(start);
            record = date + time(std::min(start + 45, 23 * 60 + 59)) + "//Call";
        } else if (kind < 80) {
            key = date + time(0, 1);
            record = key + "//Note";
        } else if (kind < 88) {
            key = date + time(0);
            record = key + (random.bounded(2) ? "//Fair//Special" : "//Trip//Countdown");
        } else if (kind < 94) {
            key = date + time(8 * 60 + 30 * random.bounded(26));
            record = random.bounded(2) ? QStringLiteral("not a date//Bad end") : QString();
        } else {
            const char* damaged[] = {"2025-3-7 10:00:00", "2026-02-30 10:00:00", "garbage", "2026-05-05",
                                     "2027-07-07 25:00:00"};
            key = QString::fromLatin1(damaged[random.bounded(5)]) + QString::number(random.bounded(1000000));
            if (random.bounded(2))
                key = QString::fromLatin1(damaged[random.bounded(5)]);
            record = "2026-01-01 00:00:00//Damaged";
        }
        store.SetValue(key, record);
    }
    return store;
}
