#include "dup/crc32calc.h"

#include "app/crc32.h"
#include "platform/filemapping.h"

#include <algorithm>

namespace {

// Sets the busy flag for the life of a calculation, on every way out of it.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyScope() { m_busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
};

// One block of the checksum, run inside TFileMapping::guardedRead.
struct Block {
    quint32 reg;
    const uchar* bytes;
    qint64 count;
};

void checksumBlock(void* context) {
    auto* block = static_cast<Block*>(context);
    block->reg = crc32::update(block->reg, block->bytes, block->count);
}

} // namespace

quint32 TCRC32Calc::checksumUpdate(quint32 reg, const void* bytes, qint64 count) {
    return crc32::update(reg, bytes, count);
}

QString TCRC32Calc::stoppedMessage() {
    return QStringLiteral("CRC calculation stopped");
}

Result<quint32> TCRC32Calc::calculate(QFile* stream) {
    if (m_busy)
        return Failure{QStringLiteral("CRC Calc is Busy")};
    BusyScope scope(m_busy);

    // The mapping reports its failures by raising; they end here as the failure's message.
    try {
        platform::TFileMapping mapping(stream);
        // The view's length is the file's size when it was mapped; the checksum never reads
        // past it, even if the stream has grown since.
        const uchar* const view = mapping.view();
        const qint64 size = mapping.size();
        Block block{0xFFFFFFFFu, view, 0};
        for (qint64 done = 0; done < size;) {
            if (done > 0 && m_progress && !m_progress(done, size))
                return Failure{stoppedMessage()};
            block.bytes = view + done;
            block.count = std::min(kBlock, size - done);
            mapping.guardedRead(checksumBlock, &block);
            done += block.count;
        }
        // Unmapping here rather than in the destructor reports a failure to unmap.
        mapping.close();
        return block.reg ^ 0xFFFFFFFFu;
    } catch (const platform::EFileMappingError& e) {
        return Failure{QString::fromLocal8Bit(e.what())};
    }
}
