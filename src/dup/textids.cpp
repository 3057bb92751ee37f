#include "dup/textids.h"

#include <cstring>

namespace dups {

quint32 TextIds::idOf(QStringView text, bool* made) {
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = hash(text) & mask;; slot = (slot + 1) & mask) {
        const quint32 entry = m_slots[slot];
        if (entry == 0) {
            const auto id = quint32(m_texts.size());
            m_texts.push_back(text.toString());
            m_slots[slot] = id + 1;
            if (m_texts.size() * 2 > m_slots.size())
                grow();
            if (made)
                *made = true;
            return id;
        }
        const QString& known = m_texts[entry - 1];
        if (known.size() == text.size() && QStringView(known) == text) {
            if (made)
                *made = false;
            return entry - 1;
        }
    }
}

size_t TextIds::hash(QStringView text) {
    quint64 h = 0x9E3779B97F4A7C15ull ^ quint64(text.size());
    const char16_t* p = text.utf16();
    qsizetype n = text.size();
    for (; n >= 4; p += 4, n -= 4) {
        quint64 k;
        std::memcpy(&k, p, sizeof k);
        h = (h ^ k) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    for (; n > 0; ++p, --n)
        h = (h ^ *p) * 0x94D049BB133111EBull;
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    return size_t(h ^ (h >> 32));
}

void TextIds::grow() {
    std::vector<quint32> table(m_slots.size() * 2, 0);
    const size_t mask = table.size() - 1;
    for (size_t id = 0; id < m_texts.size(); ++id) {
        size_t slot = hash(m_texts[id]) & mask;
        while (table[slot] != 0)
            slot = (slot + 1) & mask;
        table[slot] = quint32(id + 1);
    }
    m_slots.swap(table);
}

std::vector<quint32> rankSeen(const std::vector<bool>& seen, const std::vector<QString>& texts) {
    std::vector<quint32> values;
    for (quint32 v = 0; v < seen.size(); ++v) {
        if (seen[v])
            values.push_back(v);
    }
    const std::vector<quint32> ranks =
        rankTexts(values.size(), [&](quint32 i) { return QStringView(texts[values[i]]); });
    std::vector<quint32> byValue(seen.size());
    for (size_t i = 0; i < values.size(); ++i)
        byValue[values[i]] = ranks[i];
    return byValue;
}

} // namespace dups
