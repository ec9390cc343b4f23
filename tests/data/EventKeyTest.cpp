// The key ranges of days, weeks and years in the event store.
#include "data/EventKey.h"
#include "framework/Date.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

namespace {

Dictionary storeOf(const QStringList& keys)
{
    Dictionary store;
    for (const QString& key : keys)
        store.SetValue(key, key + "//title");
    return store;
}

} // namespace

TEST(EventKey, ADayRunsFromItsFirstToItsLastMinute)
{
    const Dictionary store = storeOf({"2025-03-06 23:59:00", "2025-03-06 23:59:59", "2025-03-07 00:00:00",
                                      "2025-03-07 00:00:01", "2025-03-07 00:01:00", "2025-03-07 12:00:00",
                                      "2025-03-07 23:59:00", "2025-03-07 23:59:59", "2025-03-08 00:00:00",
                                      "2025-03-08 00:00:01"});
    const QStringList day = {"2025-03-07 00:00:00", "2025-03-07 00:00:01", "2025-03-07 00:01:00",
                             "2025-03-07 12:00:00", "2025-03-07 23:59:00", "2025-03-07 23:59:59"};
    EXPECT_EQ(keysOf(EventKey::Days(store, Date(2025, 3, 7))), day);
    // The time of the date given plays no part.
    EXPECT_EQ(keysOf(EventKey::Days(store, Date(2025, 3, 7, 23, 59, 59))), day);
    EXPECT_EQ(keysOf(EventKey::Days(store, Date(2025, 3, 9))), QStringList{});
}

TEST(EventKey, WeeksAcrossAMonthAndAYearEnd)
{
    struct Case { const char* name; Date sunday; QStringList inside; QStringList outside; };
    const Case cases[] = {
        {"March into April", Date(2025, 3, 30),
         {"2025-03-30 00:00:00", "2025-03-31 23:59:59", "2025-04-01 00:00:00", "2025-04-05 23:59:59"},
         {"2025-03-29 23:59:59", "2025-04-06 00:00:00"}},
        {"2025 into 2026", Date(2025, 12, 28),
         {"2025-12-28 00:00:00", "2025-12-31 23:59:00", "2026-01-01 00:00:00", "2026-01-03 23:59:59"},
         {"2025-12-27 23:59:59", "2026-01-04 00:00:00"}},
        {"a leap February into March", Date(2028, 2, 27),
         {"2028-02-27 08:00:00", "2028-02-29 12:00:00", "2028-03-04 20:30:00"},
         {"2028-02-26 20:30:00", "2028-03-05 00:00:00"}},
    };
    for (const Case& c : cases) {
        const Dictionary store = storeOf(c.inside + c.outside);
        EXPECT_EQ(keysOf(EventKey::Days(store, c.sunday, 7)), c.inside) << c.name;
    }
}

TEST(EventKey, YearsHoldEveryKeyThatBeginsWithTheirNumbers)
{
    const Dictionary store = storeOf({"2024-12-31 23:59:59", "2025-01-01 00:00:00", "2025-3-7 10:00:00",
                                      "2027-12-31 23:59:59", "2028-01-01 00:00:00", "garbage"});
    EXPECT_EQ(keysOf(EventKey::Years(store, 2025, 3)),
              (QStringList{"2025-01-01 00:00:00", "2025-3-7 10:00:00", "2027-12-31 23:59:59"}));
    // The last years a key can have.
    const Dictionary late = storeOf({"9998-12-31 00:00:00", "9999-12-31 23:59:59", "garbage"});
    EXPECT_EQ(keysOf(EventKey::Years(late, 9997, 3)), (QStringList{"9998-12-31 00:00:00", "9999-12-31 23:59:59"}));
    EXPECT_EQ(keysOf(EventKey::Days(late, Date(9999, 12, 31))), QStringList{"9999-12-31 23:59:59"});
}
