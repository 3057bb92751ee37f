#include "app/format.h"
#include "dup/textids.h"

#include <QHash>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace dups;

// A text of 0 to `longest` characters from a few letters with case twins, one beyond Latin-1
// and the "_" that folds below the letters, so that texts repeat and differ only in case.
QString randomText(std::mt19937& random, int longest) {
    static const QString letters = QStringLiteral("aAbB_.\u00e9\u00c9");
    QString text;
    const int length = int(random() % unsigned(longest + 1));
    for (int i = 0; i < length; ++i)
        text += letters[int(random() % unsigned(letters.size()))];
    return text;
}

// The rank of each text as a plain model gives it: the number of texts of distinct order
// (compared ignoring case) that come before it.
std::vector<quint32> modelRanks(const std::vector<QString>& texts) {
    auto less = [](const QString& a, const QString& b) { return compareIgnoringCase(a, b) < 0; };
    std::vector<QString> distinct = texts;
    std::sort(distinct.begin(), distinct.end(), less);
    distinct.erase(std::unique(distinct.begin(), distinct.end(),
                               [](const QString& a, const QString& b) {
                                   return compareIgnoringCase(a, b) == 0;
                               }),
                   distinct.end());
    std::vector<quint32> ranks;
    for (const QString& text : texts)
        ranks.push_back(quint32(std::lower_bound(distinct.begin(), distinct.end(), text, less) -
                                distinct.begin()));
    return ranks;
}

TEST(TextIdsTest, NumbersTextsAsAHashDoes) {
    std::mt19937 random(4711);
    for (int round = 0; round < 3; ++round) {
        TextIds ids;
        QHash<QString, quint32> model;
        std::vector<QString> firstSeen;
        for (int i = 0; i < 4000; ++i) {
            // Looked up through a view into a longer text, as a name inside a line would be.
            const QString text = randomText(random, 3 + round * 4);
            const QString around = QStringLiteral("<") + text + QStringLiteral(">");
            bool made = false;
            const quint32 id = ids.idOf(QStringView(around).mid(1, text.size()), &made);
            const bool isNew = !model.contains(text);
            if (isNew) {
                model.insert(text, quint32(firstSeen.size()));
                firstSeen.push_back(text);
            }
            ASSERT_EQ(made, isNew) << text.toStdString();
            ASSERT_EQ(id, model.value(text)) << text.toStdString();
        }
        EXPECT_EQ(ids.texts(), firstSeen);
        EXPECT_EQ(ids.size(), size_t(model.size()));
    }
}

TEST(TextIdsTest, RanksFollowCompareIgnoringCase) {
    std::mt19937 random(1234);
    for (int round = 0; round < 5; ++round) {
        std::vector<QString> texts;
        for (int i = 0; i < 300; ++i)
            texts.push_back(randomText(random, 1 + round));
        const std::vector<quint32> ranks =
            rankTexts(texts.size(), [&texts](quint32 i) { return QStringView(texts[i]); });
        EXPECT_EQ(ranks, modelRanks(texts));
    }
    EXPECT_TRUE(rankTexts(0, [](quint32) { return QStringView(); }).empty());
}

TEST(TextIdsTest, RanksOfSeenValuesFollowTheirTexts) {
    std::mt19937 random(99);
    std::vector<bool> seen(512);
    std::vector<QString> texts(512);
    std::vector<QString> seenTexts;
    for (size_t v = 0; v < seen.size(); ++v) {
        seen[v] = random() % 3 == 0;
        texts[v] = randomText(random, 4);
        if (seen[v])
            seenTexts.push_back(texts[v]);
    }
    const std::vector<quint32> ranks = rankSeen(seen, texts);
    const std::vector<quint32> model = modelRanks(seenTexts);
    ASSERT_EQ(ranks.size(), seen.size());
    size_t k = 0;
    for (size_t v = 0; v < seen.size(); ++v)
        EXPECT_EQ(ranks[v], seen[v] ? model[k++] : 0u) << v;
}

} // namespace
