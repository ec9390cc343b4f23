#pragma once
#include <QMap>
#include <QString>
#include <QStringList>

// An ordered map keyed by text. Its order is the keys' order, so walking it by index goes
// through SQL date-time keys chronologically and gives the same order on every run.
class Dictionary
{
public:
    int Count() const { return int(m_map.size()); }
    bool HasKey(const QString& key) const { return m_map.contains(key); }
    // The value under key; throws KeyNotFoundException when there is none.
    QString Value(const QString& key) const;
    QString Lookup(const QString& key, const QString& fallback = QString()) const;
    void SetValue(const QString& key, const QString& value) { m_map.insert(key, value); }
    // Removes key; throws KeyNotFoundException when there is none.
    void Remove(const QString& key);
    void Clear() { m_map.clear(); }

    // Entries by index (0 to Count - 1) in key order; throw OutOfBoundsException outside it.
    QString Key(int index) const;
    QString ValueAt(int index) const;

    QStringList Keys() const { return m_map.keys(); }
    const QMap<QString, QString>& Entries() const { return m_map; }

private:
    QMap<QString, QString> m_map;
};
