#pragma once
#include <QMap>
#include <QString>
#include <QStringList>
#include <map>

// An ordered map from text keys to text values; the calendar keeps its event store in one.
//
// Order: entries stand in the order of their keys, compared as plain text (letter case
// counts). Keys written as SQL date-times ("yyyy-MM-dd HH:mm:ss") therefore run
// chronologically, and walking the map gives the same order on every run.
//
// Costs, for n entries: HasKey, Value, Lookup, SetValue and Remove take O(log n); Range finds
// its first entry in O(log n) and walks its k entries in O(k); a copy takes O(1) and shares
// the entries until one of the two changes (a writer can snapshot the map cheaply). There is
// no access by position: a position would have to be counted from the first entry, so a loop
// over positions would be quadratic. Walk the map, or a range of it, instead.
//
// Failures: Value and Remove throw KeyNotFoundException for a key that is not there.
// Changing the map while walking it (Range or Entries) invalidates the walk.
class Dictionary
{
public:
    using Map = QMap<QString, QString>;

    // One entry seen through a walk: references into the map, valid while it is unchanged.
    struct Entry {
        const QString& key;
        const QString& value;
    };

    // The entries with from <= key < to, in key order. Walk it with
    // `for (const auto& [key, value] : span)`, or through its iterators' key() and value().
    class Span
    {
    public:
        class Iterator
        {
        public:
            explicit Iterator(Map::const_iterator it) : m_it(it) {}
            Entry operator*() const { return {m_it.key(), m_it.value()}; }
            Iterator& operator++() { ++m_it; return *this; }
            bool operator==(const Iterator& o) const { return m_it == o.m_it; }
            bool operator!=(const Iterator& o) const { return m_it != o.m_it; }
            const QString& key() const { return m_it.key(); }
            const QString& value() const { return m_it.value(); }

        private:
            Map::const_iterator m_it;
        };

        Span(Map::const_iterator first, Map::const_iterator last) : m_first(first), m_last(last) {}
        Iterator begin() const { return m_first; }
        Iterator end() const { return m_last; }
        bool empty() const { return m_first == m_last; }

    private:
        Iterator m_first, m_last;
    };

    int Count() const { return int(m_map.size()); }
    bool HasKey(const QString& key) const { return m_map.contains(key); }
    // The value under key; throws KeyNotFoundException when there is none.
    QString Value(const QString& key) const;
    QString Lookup(const QString& key, const QString& fallback = QString()) const;
    // Adds the entry, or replaces the value of the entry under key.
    void SetValue(const QString& key, const QString& value);
    // Adds every entry of entries, replacing the value of an entry under the same key; the
    // entries are moved over, not copied. O(m log(n + m)) for m entries here.
    void Merge(std::map<QString, QString>&& entries);
    // Removes key; throws KeyNotFoundException when there is none.
    void Remove(const QString& key);
    void Clear();
    // A number that changes with every change of the entries and that no other contents of
    // any store ever had: what was computed from a store at one revision still holds for a
    // store (this one or a copy) that has the same revision.
    quint64 Revision() const { return m_revision; }

    // The entries whose keys lie in [from, to), in key order; empty when to <= from. For
    // SQL date-time keys, Range("2025-03-07", "2025-03-08") is one day, and
    // Range("2025", "2028") three whole years.
    Span Range(const QString& from, const QString& to) const;

    // Every entry in key order.
    const Map& Entries() const { return m_map; }
    QStringList Keys() const { return m_map.keys(); }

private:
    Map m_map;
    quint64 m_revision = 0;
};
