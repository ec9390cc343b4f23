#!/usr/bin/env bash
# Writes an events file ("Calendar.tpc") of COUNT events spread evenly over the three years
# FIRST_YEAR .. FIRST_YEAR + 2 (the calendar's years: by default the one before this one,
# this one and the next one). Each day gets its share: up to 26 on the week grid's
# half-hour slots from 8:00 (30 or 60 minutes, ending by 21:00, the grid's end), the rest on
# distinct other minutes of the day (30 to 120 minutes, ending within the day). The same
# arguments always give the same file; bench/BenchEntries.h makes the same entries.
#   bench/make_events.sh COUNT OUTPUT [FIRST_YEAR]
set -euo pipefail
count=${1:?number of events}
out=${2:?output file}
first=${3:-$(( $(date +%Y) - 1 ))}
awk -v count="$count" -v first="$first" '
function leap(y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0 }
BEGIN {
    split("31 28 31 30 31 30 31 31 30 31 30 31", mdays, " ")
    printf "1\tPay the rent\n0\tCall the garage\nEvents Data:\n"
    days = 0
    for (y = first; y <= first + 2; y++)
        for (m = 1; m <= 12; m++) {
            n = mdays[m] + (m == 2 && leap(y))
            for (d = 1; d <= n; d++) { dy[days] = y; dm[days] = m; dd[days] = d; days++ }
        }
    seed = 12345
    for (i = 0; i < days; i++) {
        # This day gets the entries numbered from lo to hi - 1.
        lo = int(i * count / days); hi = int((i + 1) * count / days); k = hi - lo
        if (k > 1418) k = 1418
        g = k < 26 ? k : 26
        date = sprintf("%04d-%02d-%02d", dy[i], dm[i], dd[i])
        for (j = 0; j < k; j++) {
            seed = (seed * 16807) % 2147483647
            if (j < g) {
                slot = int(j * 26 / g)
                start = 480 + 30 * slot
                end = start + (slot < 25 && seed % 2 ? 60 : 30)
            } else {
                # The other minutes of the day, 29 between each two slot times.
                n = int((j - g) * 1392 / (k - g))
                start = int(n / 29) * 30 + 1 + n % 29
                end = start + 30 + (seed % 4) * 30; if (end > 1439) end = 1439
            }
            printf "%s %02d:%02d:00|%s %02d:%02d:00//Event %d\n", date, int(start / 60), start % 60, \
                   date, int(end / 60), end % 60, lo + j + 1
        }
    }
}' > "$out"
