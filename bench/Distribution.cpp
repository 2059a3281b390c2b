#include "bench/Distribution.h"

#include <algorithm>
#include <cmath>
#include <numeric>

Distribution::Distribution(std::vector<double> samples) : m_sorted(std::move(samples))
{
    std::sort(m_sorted.begin(), m_sorted.end());
}

double Distribution::percentile(double percent) const
{
    if (m_sorted.empty())
        return 0;
    const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * double(m_sorted.size())));
    return m_sorted[std::clamp<std::size_t>(rank, 1, m_sorted.size()) - 1];
}

double Distribution::mean() const
{
    if (m_sorted.empty())
        return 0;
    return std::accumulate(m_sorted.begin(), m_sorted.end(), 0.0) / double(m_sorted.size());
}
