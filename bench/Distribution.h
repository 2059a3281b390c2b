#pragma once

#include <vector>

// Order statistics of a set of samples (nearest rank).
class Distribution {
public:
    explicit Distribution(std::vector<double> samples);

    bool empty() const { return m_sorted.empty(); }
    std::size_t size() const { return m_sorted.size(); }
    double percentile(double percent) const;
    double median() const { return percentile(50); }
    double max() const { return m_sorted.empty() ? 0 : m_sorted.back(); }
    double mean() const;

private:
    std::vector<double> m_sorted;
};
