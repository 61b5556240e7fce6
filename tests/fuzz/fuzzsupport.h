// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace zelvora::fuzz {

// Starts the Qt application object the parts under test need (a GUI one on the offscreen platform when gui),
// once per process.
void startQt(bool gui = false);

// A property that does not hold: prints what was expected and aborts, so libFuzzer keeps the input.
[[noreturn]] void fail(const char* what, const QString& detail = {});
inline void check(bool ok, const char* what, const QString& detail = {})
{
    if (!ok)
        fail(what, detail);
}

// Hands out the fuzzer's bytes piece by piece; zeros once they run out.
class Input final
{
public:
    Input(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    bool empty() const { return m_pos >= m_size; }

    template<typename T> T take()
    {
        static_assert(std::is_trivially_copyable_v<T>);
        T value {};
        const std::size_t n = std::min(sizeof(T), m_size - m_pos);
        std::memcpy(&value, m_data + m_pos, n);
        m_pos += n;
        return value;
    }
    bool takeBool() { return take<std::uint8_t>() & 1; }
    // A value in [low, high].
    template<typename T> T takeIn(T low, T high)
    {
        const auto span = std::uint64_t(high) - std::uint64_t(low) + 1;
        return span == 0 ? T(take<std::uint64_t>()) : T(std::uint64_t(low) + take<std::uint64_t>() % span);
    }
    // Bytes up to the next 0xFF (or the end), without it.
    QByteArray takeField()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_size && m_data[m_pos] != 0xFF)
            ++m_pos;
        QByteArray field(reinterpret_cast<const char*>(m_data + start), qsizetype(m_pos - start));
        if (m_pos < m_size)
            ++m_pos;
        return field;
    }
    QString takeText() { return QString::fromUtf8(takeField()); }
    QByteArray rest()
    {
        QByteArray all(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(m_size - m_pos));
        m_pos = m_size;
        return all;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace zelvora::fuzz
