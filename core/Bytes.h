#pragma once

#include <cstddef>
#include <cstdint>

namespace mutaro {

// Bounds-checked field access: a record is read through these helpers only, each taking the record
// and an offset, and every byte beyond the record reads as zero.
struct ByteView {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    std::uint8_t operator[](std::size_t offset) const { return offset < size ? data[offset] : 0; }
    ByteView sub(std::size_t offset, std::size_t length) const {
        if (offset >= size) return {};
        std::size_t room = size - offset;
        return {data + offset, length < room ? length : room};
    }
};

inline std::uint8_t u8(ByteView r, std::size_t off) { return r[off]; }
inline std::int8_t i8(ByteView r, std::size_t off) { return static_cast<std::int8_t>(r[off]); }
inline std::uint16_t le16(ByteView r, std::size_t off) {
    return static_cast<std::uint16_t>(r[off] | (r[off + 1] << 8));
}
inline std::uint32_t le32(ByteView r, std::size_t off) {
    return static_cast<std::uint32_t>(r[off]) | (static_cast<std::uint32_t>(r[off + 1]) << 8) |
           (static_cast<std::uint32_t>(r[off + 2]) << 16) | (static_cast<std::uint32_t>(r[off + 3]) << 24);
}
inline std::uint16_t be16(ByteView r, std::size_t off) {
    return static_cast<std::uint16_t>((r[off] << 8) | r[off + 1]);
}
inline std::uint32_t be32(ByteView r, std::size_t off) {
    return (static_cast<std::uint32_t>(r[off]) << 24) | (static_cast<std::uint32_t>(r[off + 1]) << 16) |
           (static_cast<std::uint32_t>(r[off + 2]) << 8) | static_cast<std::uint32_t>(r[off + 3]);
}
inline std::int16_t sle16(ByteView r, std::size_t off) { return static_cast<std::int16_t>(le16(r, off)); }
inline std::int32_t sle32(ByteView r, std::size_t off) { return static_cast<std::int32_t>(le32(r, off)); }
inline std::int16_t sbe16(ByteView r, std::size_t off) { return static_cast<std::int16_t>(be16(r, off)); }
inline std::int32_t sbe32(ByteView r, std::size_t off) { return static_cast<std::int32_t>(be32(r, off)); }
// Two packed BCD digits, high nibble first.
inline int bcd(std::uint8_t byte) { return (byte >> 4) * 10 + (byte & 0x0F); }

} // namespace mutaro
