#pragma once
#include "framework/Dictionary.h"
#include <QString>

// Fills store with count timed events spread evenly over the three years from firstYear:
// the same shape as the events files of bench/make_events.sh (each day its share, starts
// on distinct minutes, 30 to 120 minutes long within the day).
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
        const int k = std::min(hi - lo, 1440);
        if (k <= 0)
            continue;
        const int step = 1440 / k;
        const QString date = QString::asprintf("%04d-%02d-%02d", days[i].y, days[i].m, days[i].d);
        for (int j = 0; j < k; ++j) {
            seed = seed * 16807 % 2147483647;
            const int start = j * step + (step > 1 ? int(seed % step) : 0);
            const int end = std::min(1439, start + 30 + int(seed % 4) * 30);
            store.SetValue(date + QString::asprintf(" %02d:%02d:00", start / 60, start % 60),
                           date + QString::asprintf(" %02d:%02d:00//Event %d", end / 60, end % 60, lo + j + 1));
        }
    }
}
