#include "framework/Dictionary.h"
#include "framework/Exceptions.h"
#include <atomic>

namespace {
// Revisions are drawn from one counter, so that two stores with different contents never
// share one; stores are filled on more than one thread.
quint64 nextRevision()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}
} // namespace

void Dictionary::Clear()
{
    m_map.clear();
    m_revision = nextRevision();
}

QString Dictionary::Value(const QString& key) const
{
    const auto it = m_map.constFind(key);
    if (it == m_map.constEnd())
        throw KeyNotFoundException("no entry under " + key.toStdString());
    return it.value();
}

QString Dictionary::Lookup(const QString& key, const QString& fallback) const
{
    return m_map.value(key, fallback);
}

void Dictionary::SetValue(const QString& key, const QString& value)
{
    m_revision = nextRevision();
    // Files and generators hand their entries over in key order: a key after the last one
    // goes in at the end without a search.
    if (!m_map.isEmpty() && m_map.lastKey() < key)
        m_map.insert(m_map.cend(), key, value);
    else
        m_map.insert(key, value);
}

void Dictionary::Merge(std::map<QString, QString>&& entries)
{
    m_revision = nextRevision();
    // QMap keeps the nodes of the map it is given and moves its own over to them where their
    // keys are free: a few generated entries join many read ones without copying them.
    m_map.insert(Map(std::move(entries)));
}

void Dictionary::Remove(const QString& key)
{
    if (m_map.remove(key) == 0)
        throw KeyNotFoundException("no entry under " + key.toStdString());
    m_revision = nextRevision();
}

Dictionary::Span Dictionary::Range(const QString& from, const QString& to) const
{
    if (!(from < to))
        return Span(m_map.cend(), m_map.cend());
    return Span(m_map.lowerBound(from), m_map.lowerBound(to));
}
