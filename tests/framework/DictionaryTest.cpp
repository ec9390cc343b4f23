// The ordered map behind the event store: order, look-ups by key, ranges of keys, snapshots.
#include "framework/Dictionary.h"
#include "framework/Exceptions.h"
#include "TestSupport.h"
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <QSet>
#include <functional>
#include <map>
#include <vector>

TEST(Dictionary, KeyLookupsReplaceAndRemove)
{
    Dictionary d;
    d.SetValue("2006-07-04 00:00:00", "fourth");
    d.SetValue("2006-07-04 00:00:00", "replaced");
    EXPECT_EQ(d.Count(), 1);
    EXPECT_TRUE(d.HasKey("2006-07-04 00:00:00"));
    EXPECT_EQ(d.Value("2006-07-04 00:00:00"), "replaced");
    EXPECT_THROW(d.Value("missing"), KeyNotFoundException);
    EXPECT_THROW(d.Remove("missing"), KeyNotFoundException);
    EXPECT_EQ(d.Lookup("missing", "x"), "x");
    EXPECT_EQ(d.Lookup("2006-07-04 00:00:00", "x"), "replaced");
    d.Remove("2006-07-04 00:00:00");
    EXPECT_FALSE(d.HasKey("2006-07-04 00:00:00"));
    EXPECT_EQ(d.Count(), 0);
    d.SetValue("a", "1");
    d.Clear();
    EXPECT_EQ(d.Count(), 0);
    EXPECT_TRUE(d.Range("", "z").empty());
}

TEST(Dictionary, WalksInKeyOrderWhateverTheOrderOfWriting)
{
    // Keys written in random order, some twice, some removed again, against a std::map.
    Dictionary d;
    std::map<QString, QString> reference;
    QRandomGenerator random(8);
    for (int i = 0; i < 3000; ++i) {
        const QString key = QString::asprintf("2025-%02d-%02d %02d:%02d:00", random.bounded(1, 13),
                                              random.bounded(1, 29), random.bounded(24), random.bounded(60));
        if (random.bounded(10) == 0 && d.HasKey(key)) {
            d.Remove(key);
            reference.erase(key);
        } else {
            d.SetValue(key, QString::number(i));
            reference[key] = QString::number(i);
        }
    }
    // Keys after the last one take the shortcut at the end; they still sort.
    for (const QString key : {"2026-01-01 00:00:00", "2026-01-01 00:00:01", "2025-06-01 00:00:00"}) {
        d.SetValue(key, "late");
        reference[key] = "late";
    }
    ASSERT_EQ(d.Count(), int(reference.size()));
    auto expected = reference.begin();
    for (const auto& [key, value] : d.Range("", "9")) {
        ASSERT_NE(expected, reference.end());
        EXPECT_EQ(key, expected->first);
        EXPECT_EQ(value, expected->second);
        ++expected;
    }
    EXPECT_EQ(expected, reference.end());
}

TEST(Dictionary, RangesAreHalfOpen)
{
    Dictionary d;
    for (const char* key : {"2025-03-06 23:59:59", "2025-03-07", "2025-03-07 00:00:00", "2025-03-07 23:59:59",
                            "2025-03-08", "2025-03-08 00:00:00", "x"})
        d.SetValue(key, "v");
    EXPECT_EQ(keysOf(d.Range("2025-03-07", "2025-03-08")),
              (QStringList{"2025-03-07", "2025-03-07 00:00:00", "2025-03-07 23:59:59"}));
    // Bounds that are no keys, bounds that are keys, and empty or reversed ranges.
    EXPECT_EQ(keysOf(d.Range("2025-03-06 23:59:59", "2025-03-07")), QStringList{"2025-03-06 23:59:59"});
    EXPECT_EQ(keysOf(d.Range("2025-03-08 00:00:00", "zz")), (QStringList{"2025-03-08 00:00:00", "x"}));
    EXPECT_TRUE(d.Range("2025-03-07", "2025-03-07").empty());
    EXPECT_TRUE(d.Range("2025-03-08", "2025-03-07").empty());
    EXPECT_TRUE(d.Range("2024", "2025").empty());
    EXPECT_EQ(keysOf(d.Range("", "2025-03-07 00:00:00")), (QStringList{"2025-03-06 23:59:59", "2025-03-07"}));
}

TEST(Dictionary, ACopyIsASnapshot)
{
    Dictionary d;
    d.SetValue("b", "1");
    const Dictionary snapshot = d;
    d.SetValue("a", "2");
    d.SetValue("b", "3");
    d.Remove("b");
    EXPECT_EQ(snapshot.Count(), 1);
    EXPECT_EQ(snapshot.Value("b"), "1");
    EXPECT_EQ(keysOf(snapshot.Range("", "z")), QStringList{"b"});
    EXPECT_EQ(keysOf(d.Range("", "z")), QStringList{"a"});
}

TEST(Dictionary, MergedEntriesReplaceAndTheRevisionTellsEveryChange)
{
    Dictionary d;
    d.SetValue("a", "kept");
    d.SetValue("c", "old");
    const Dictionary snapshot = d;
    EXPECT_EQ(snapshot.Revision(), d.Revision());   // a copy has the same contents
    d.Merge({{"b", "new"}, {"c", "new"}});
    EXPECT_EQ(keysOf(d.Range("", "z")), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(d.Value("a"), "kept");
    EXPECT_EQ(d.Value("c"), "new");
    EXPECT_EQ(snapshot.Value("c"), "old");           // the snapshot is untouched

    // Every change gives a revision no store had before, also in another store.
    QSet<quint64> seen{snapshot.Revision(), d.Revision()};
    EXPECT_EQ(seen.size(), 2);
    Dictionary other;
    const std::vector<std::pair<Dictionary*, std::function<void()>>> changes{
        {&d, [&] { d.SetValue("d", "x"); }}, {&d, [&] { d.Remove("d"); }}, {&other, [&] { other.SetValue("a", "kept"); }},
        {&d, [&] { d.Clear(); }}};
    for (const auto& [store, change] : changes) {
        change();
        EXPECT_FALSE(seen.contains(store->Revision()));
        seen.insert(store->Revision());
    }
    EXPECT_EQ(seen.size(), 6);
}
