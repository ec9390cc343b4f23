#include "framework/Dictionary.h"
#include "framework/Exceptions.h"

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
    // Files and generators hand their entries over in key order: a key after the last one
    // goes in at the end without a search.
    if (!m_map.isEmpty() && m_map.lastKey() < key)
        m_map.insert(m_map.cend(), key, value);
    else
        m_map.insert(key, value);
}

void Dictionary::Remove(const QString& key)
{
    if (m_map.remove(key) == 0)
        throw KeyNotFoundException("no entry under " + key.toStdString());
}

Dictionary::Span Dictionary::Range(const QString& from, const QString& to) const
{
    if (!(from < to))
        return Span(m_map.cend(), m_map.cend());
    return Span(m_map.lowerBound(from), m_map.lowerBound(to));
}
