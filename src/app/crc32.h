#pragma once

#include <QtGlobal>

// CRC-32 of ISO 3309 / ITU-T V.42, the checksum of zip archives and Ethernet: the reflected
// polynomial 0xEDB88320, a register that starts at 0xFFFFFFFF and is inverted at the end.  The
// check value of the nine bytes "123456789" is 0xCBF43926.  Eight bytes are processed per step
// (slicing by eight) with tables computed from the polynomial at compile time.
namespace crc32 {

// The bare register step, without the inversions at the start and the end: for each byte,
// reg := (reg >> 8) ^ table[(reg ^ byte) & 0xFF], where table is the classic 256-entry table of
// the polynomial.  With no bytes (null data, or a size of 0 or less) it returns reg unchanged.
// A whole checksum is update(0xFFFFFFFF, data, size) ^ 0xFFFFFFFF.
quint32 update(quint32 reg, const void* data, qint64 size);

// The running checksum as zip archives keep it: start with 0 and feed the data in pieces,
// crc = checksum(crc, piece, size).  Feeding the pieces one by one gives the same as feeding
// them at once.
inline quint32 checksum(quint32 crc, const void* data, qint64 size) {
    return ~update(~crc, data, size);
}

} // namespace crc32
