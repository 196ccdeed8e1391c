#pragma once

#include <cstdint>
#include <cstring>

namespace tarnwood {

// Byte-order helpers for the little-endian file formats. They assemble values
// byte by byte, so the source needs no alignment and the host's own byte
// order does not matter.

inline std::uint32_t ReadU32LE(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint16_t ReadU16LE(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::int32_t ReadI32LE(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(ReadU32LE(p));
}

inline float ReadF32LE(const std::uint8_t* p)
{
    const std::uint32_t bits = ReadU32LE(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline double ReadF64LE(const std::uint8_t* p)
{
    const std::uint64_t bits = static_cast<std::uint64_t>(ReadU32LE(p))
        | (static_cast<std::uint64_t>(ReadU32LE(p + 4)) << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void WriteU32LE(std::uint8_t* p, std::uint32_t value)
{
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    p[3] = static_cast<std::uint8_t>(value >> 24);
}

// The Append functions add the bytes to the end of a byte buffer: a
// std::vector<std::uint8_t> or a std::string.
template <typename Bytes> void AppendU16LE(Bytes& out, std::uint16_t value)
{
    using Byte = typename Bytes::value_type;
    out.push_back(static_cast<Byte>(value & 0xFF));
    out.push_back(static_cast<Byte>(value >> 8));
}

template <typename Bytes> void AppendU32LE(Bytes& out, std::uint32_t value)
{
    AppendU16LE(out, static_cast<std::uint16_t>(value & 0xFFFF));
    AppendU16LE(out, static_cast<std::uint16_t>(value >> 16));
}

template <typename Bytes> void AppendI32LE(Bytes& out, std::int32_t value)
{
    AppendU32LE(out, static_cast<std::uint32_t>(value));
}

template <typename Bytes> void AppendF32LE(Bytes& out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendU32LE(out, bits);
}

template <typename Bytes> void AppendF64LE(Bytes& out, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendU32LE(out, static_cast<std::uint32_t>(bits));
    AppendU32LE(out, static_cast<std::uint32_t>(bits >> 32));
}

}
