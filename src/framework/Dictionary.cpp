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

void Dictionary::Remove(const QString& key)
{
    if (m_map.remove(key) == 0)
        throw KeyNotFoundException("no entry under " + key.toStdString());
}

QString Dictionary::Key(int index) const
{
    if (index < 0 || index >= m_map.size())
        throw OutOfBoundsException("dictionary index out of range");
    return std::next(m_map.constBegin(), index).key();
}

QString Dictionary::ValueAt(int index) const
{
    if (index < 0 || index >= m_map.size())
        throw OutOfBoundsException("dictionary index out of range");
    return std::next(m_map.constBegin(), index).value();
}
