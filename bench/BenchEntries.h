#pragma once
#include "framework/Dictionary.h"
#include <QString>

// Fills store with count timed events spread evenly over the three years from firstYear:
// the entries of bench/make_events.sh (each day its share: up to 26 on the week grid's
// half-hour slots from 8:00 ending by 21:00, the rest on other minutes of the day).
inline void FillBenchEntries(Dictionary& store, int count, int firstYear)
{
    static const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    struct Day { int y, m, d; };
    QVector<Day> days;
    for (int y = firstYear; y <= firstYear + 2; ++y) {
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= monthDays[m - 1] + (m == 2 && leap); ++d)
                days.append({y, m, d});
    }
    const qint64 n = days.size();
    quint64 seed = 12345;
    for (qint64 i = 0; i < n; ++i) {
        const int lo = int(i * count / n), hi = int((i + 1) * count / n);
        const int k = std::min(hi - lo, 1418);
        const int g = std::min(k, 26);
        const QString date = QString::asprintf("%04d-%02d-%02d", days[i].y, days[i].m, days[i].d);
        for (int j = 0; j < k; ++j) {
            seed = seed * 16807 % 2147483647;
            int start = 0, end = 0;
            if (j < g) {
                const int slot = j * 26 / g;
                start = 480 + 30 * slot;
                end = start + (slot < 25 && seed % 2 ? 60 : 30);
            } else {
                const int other = int(qint64(j - g) * 1392 / (k - g));
                start = other / 29 * 30 + 1 + other % 29;
                end = std::min(1439, start + 30 + int(seed % 4) * 30);
            }
            store.SetValue(date + QString::asprintf(" %02d:%02d:00", start / 60, start % 60),
                           date + QString::asprintf(" %02d:%02d:00//Event %d", end / 60, end % 60, lo + j + 1));
        }
    }
}
