#pragma once

#include "app/format.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <vector>

// Distinct texts and their order: a table that gives each distinct text a number, and ranks of
// texts that order them as compareIgnoringCase does.  A list of many records keeps a number
// per field instead of the field's text, and sorts by rank instead of comparing texts.
namespace dups {

// Numbers for distinct texts: each text gets the next number (0, 1, ...) the first time it is
// seen.  A table of its own because it is asked once or twice for every file of a walk: the
// hash is cheap, and a lookup by QStringView needs no copy of the text.
class TextIds {
public:
    TextIds() : m_slots(64, 0) {}

    const std::vector<QString>& texts() const { return m_texts; }
    const QString& text(quint32 id) const { return m_texts[id]; }
    size_t size() const { return m_texts.size(); }

    // The number of the text, giving it one when it is new (`made` tells).
    quint32 idOf(QStringView text, bool* made = nullptr);

private:
    static size_t hash(QStringView text);
    void grow();

    std::vector<QString> m_texts;
    std::vector<quint32> m_slots; // number + 1, 0 for a free slot; a power of two long
};

// Ranks of `count` texts (textOf(0) .. textOf(count - 1)): equal ranks for texts equal ignoring
// case, a higher rank for a later text.  The ranks are dense: 0 up to the number of distinct
// texts less one.
template <typename TextOf> std::vector<quint32> rankTexts(size_t count, TextOf textOf) {
    std::vector<quint32> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = quint32(i);
    std::stable_sort(order.begin(), order.end(), [&textOf](quint32 a, quint32 b) {
        return compareIgnoringCase(textOf(a), textOf(b)) < 0;
    });
    std::vector<quint32> rank(count);
    for (size_t k = 0; k < count; ++k) {
        if (k == 0)
            rank[order[k]] = 0;
        else
            rank[order[k]] = rank[order[k - 1]] +
                             (compareIgnoringCase(textOf(order[k - 1]), textOf(order[k])) != 0);
    }
    return rank;
}

// Ranks of a table of values (a packed date, say, as the index): each value marked as seen
// gets the rank of its text among the texts of the seen values; a value not seen gets 0.
std::vector<quint32> rankSeen(const std::vector<bool>& seen, const std::vector<QString>& texts);

} // namespace dups
