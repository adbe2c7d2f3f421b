#pragma once
// Random choices that are the same on every machine for a seed: std::mt19937 is
// fully specified by the standard, but its distributions are not, so the few we
// need are written out here.

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

class RandomSource {
public:
    explicit RandomSource(std::uint32_t seed)
        : m_engine(seed)
    {
    }

    // A whole number in [0, n); 0 when n is 0. The tiny bias of the remainder is
    // irrelevant for synthetic data and keeps the sequence simple to reproduce.
    int below(int n)
    {
        if (n <= 0)
            return 0;
        return int(m_engine() % std::uint32_t(n));
    }
    int between(int low, int high) { return low + below(high - low + 1); } // both ends included
    // True with the given chance in percent.
    bool percent(int chance) { return below(100) < chance; }

    template <typename T> const T &pick(const std::vector<T> &items)
    {
        return items[std::size_t(below(int(items.size())))];
    }

    // Fisher-Yates, from the last element down.
    template <typename T> void shuffle(std::vector<T> &items)
    {
        for (int i = int(items.size()) - 1; i > 0; --i)
            std::swap(items[std::size_t(i)], items[std::size_t(below(i + 1))]);
    }

private:
    std::mt19937 m_engine;
};
