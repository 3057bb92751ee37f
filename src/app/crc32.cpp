#include "app/crc32.h"

#include <array>

namespace crc32 {

namespace {

// Tables for reading eight bytes per step ("slicing by eight"): table 0 is the classic
// byte-at-a-time table, table k advances a byte that lies k positions further back.
using Tables = std::array<std::array<quint32, 256>, 8>;

constexpr Tables makeTables() {
    Tables t{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (quint32 n = 0; n < 256; ++n) {
        for (int k = 1; k < 8; ++k)
            t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
    }
    return t;
}

constexpr Tables kTables = makeTables();

} // namespace

quint32 update(quint32 reg, const void* data, qint64 size) {
    if (!data)
        return reg;
    const auto* p = static_cast<const unsigned char*>(data);
    // The eight bytes are put together in little-endian order explicitly, so the result does
    // not depend on the machine's byte order; compilers turn this into one load.
    for (; size >= 8; p += 8, size -= 8) {
        const quint32 low =
            reg ^ (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        reg = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^
              kTables[5][(low >> 16) & 0xFF] ^ kTables[4][low >> 24] ^ kTables[3][p[4]] ^
              kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    }
    for (; size > 0; ++p, --size)
        reg = kTables[0][(reg ^ *p) & 0xFF] ^ (reg >> 8);
    return reg;
}

} // namespace crc32
