#pragma once

// Shared bits of the fuzz targets.

#include <QByteArray>
#include <QString>

#include "frame.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tarvik::fuzz {

// A property that must hold for every input: print what broke and abort, which libFuzzer reports as a
// crash and saves the input.
[[noreturn]] inline void fail(const char *what, std::string_view a = {}, std::string_view b = {})
{
    std::fprintf(stderr, "\n*** fuzz property violated: %s\n", what);
    if (!a.empty())
        std::fprintf(stderr, "--- first:\n%.*s\n", static_cast<int>(a.size()), a.data());
    if (!b.empty())
        std::fprintf(stderr, "--- second:\n%.*s\n", static_cast<int>(b.size()), b.data());
    std::fflush(stderr);
    std::abort();
}

inline std::string_view view(const QByteArray &b)
{
    return std::string_view(b.constData(), static_cast<std::size_t>(b.size()));
}

inline void check(bool ok, const char *what, std::string_view a = {}, std::string_view b = {})
{
    if (!ok)
        fail(what, a, b);
}

// A copy of `b` with kPayloadPadding zero bytes readable past its end, as FrameDecoder delivers payloads.
inline QByteArray padded(const QByteArray &b)
{
    QByteArray p(b.constData(), b.size());
    p.reserve(b.size() + kPayloadPadding);
    std::memset(p.data() + p.size(), 0, kPayloadPadding);
    return p;
}

} // namespace tarvik::fuzz
