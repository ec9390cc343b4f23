#pragma once
#include <functional>
#include <future>
#include <utility>

// A result worked out ahead on a worker thread, for the inputs (the key) it was started
// with: Take hands it over when it is asked for with the same key, and works the result
// out on the spot otherwise (nothing was started, or the inputs changed meanwhile). The
// work must touch nothing that another thread changes while it runs.
template <class Key, class Result>
class WorkAhead
{
public:
    void Start(const Key& key, std::function<Result()> work)
    {
        m_key = key;
        m_result = std::async(std::launch::async, std::move(work));
    }
    // Whether a result was started and not yet taken.
    bool Pending() const { return m_result.valid(); }
    Result Take(const Key& key, const std::function<Result()>& work)
    {
        if (m_result.valid()) {
            Result ahead = m_result.get();
            if (m_key == key)
                return ahead;
        }
        return work();
    }

private:
    Key m_key{};
    std::future<Result> m_result;
};
