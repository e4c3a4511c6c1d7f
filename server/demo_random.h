#pragma once
// The demo data's random numbers: the same seed gives the same data on every machine.

#include <QString>

#include <array>
#include <cstddef>

namespace tarvik::server {

// splitmix64: small, fast and the same on every machine and library.
class Random
{
public:
    explicit Random(quint64 seed) : state_(seed) {}
    quint64 next()
    {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<quint64>(n)); }
    template<class T, std::size_t N>
    const T &pick(const std::array<T, N> &a) { return a[static_cast<std::size_t>(below(static_cast<int>(N)))]; }
    QString digits(int n)
    {
        QString s;
        for (int i = 0; i < n; ++i)
            s.append(QChar(u'0' + below(10)));
        return s;
    }

private:
    quint64 state_;
};

} // namespace tarvik::server
