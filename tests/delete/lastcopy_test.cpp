#include "delete/lastcopy.h"
#include "delete/reallydelete.h"
#include "support/listedfiles.h"
#include "support/sandbox.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using lastcopy::CopyGroups;
using lastcopy::Guard;

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Rewrites a file with other bytes of the same length.
void rewrite(const QString& path, char fill) {
    QFile f(path);
    const qint64 size = QFileInfo(path).size();
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(QByteArray(size, fill)), size);
}

// The contents a random group draws from: equal sizes with different bytes, equal first and
// last blocks with a different middle, and empty files.
QByteArray randomContent(QRandomGenerator& random) {
    switch (random.bounded(6)) {
    case 0:
        return QByteArray();
    case 1:
        return QByteArray(100, 'a');
    case 2:
        return QByteArray(100, 'b');
    case 3: {
        QByteArray big(40000, 'x');
        big[20000] = 'y'; // the same first and last blocks as case 4
        return big;
    }
    case 4:
        return QByteArray(40000, 'x');
    default:
        return QByteArray::number(random.bounded(3)).repeated(7);
    }
}

// The plain model of the guard: per group, the files that go are sorted by their bytes; a
// content that keeps no copy keeps its first unchosen file; a file whose bytes no other file
// of its group holds stays unless chosen.
QSet<QString> modelHeld(const QList<QStringList>& groups, const QSet<QString>& going,
                        const QSet<QString>& chosen) {
    QSet<QString> held;
    for (const QStringList& group : groups) {
        QHash<QByteArray, QStringList> byContents;
        QList<QByteArray> order;
        for (const QString& path : group) {
            const QByteArray bytes = bytesOf(path);
            if (!byContents.contains(bytes))
                order.append(bytes);
            byContents[bytes].append(path);
        }
        for (const QByteArray& bytes : order) {
            const QStringList& copies = byContents[bytes];
            bool staying = false;
            QStringList unchosen;
            for (const QString& path : copies) {
                if (!going.contains(path))
                    staying = true;
                else if (!chosen.contains(path))
                    unchosen.append(path);
            }
            if (copies.size() == 1) {
                held.unite(QSet<QString>(unchosen.begin(), unchosen.end()));
            } else if (!staying && !unchosen.isEmpty()) {
                held.insert(unchosen.first());
            }
        }
    }
    return held;
}

class LastCopyWorld : public ::testing::Test {
protected:
    QString file(const QString& rel, const QByteArray& content) {
        return world.makeFile("c/" + rel, content);
    }
    SandboxWorld world;
};

} // namespace

TEST_F(LastCopyWorld, HoldsBackWhatAPlainByteComparisonSaysOnSeededRandomGroups) {
    for (quint32 seed = 1; seed <= 12; ++seed) {
        QRandomGenerator random(seed);
        CopyGroups copies;
        QList<QStringList> groups;
        QStringList going;
        QSet<QString> chosen;
        const int groupCount = 3 + random.bounded(5);
        for (int g = 0; g < groupCount; ++g) {
            QStringList paths;
            const int size = 2 + random.bounded(5);
            for (int k = 0; k < size; ++k) {
                const QString path =
                    file(QString("s%1/g%2/f%3").arg(seed).arg(g).arg(k), randomContent(random));
                paths << path;
                if (random.bounded(10) < 7) {
                    going << path;
                    if (random.bounded(10) == 0)
                        chosen.insert(path);
                }
            }
            groups << paths;
            copies.groups << listedNow(paths);
        }
        Guard guard(copies);
        ASSERT_TRUE(guard.prove());
        const QStringList held = guard.holdBack(going, chosen);
        const QSet<QString> heldSet(held.begin(), held.end());
        EXPECT_EQ(heldSet, modelHeld(groups, QSet<QString>(going.begin(), going.end()), chosen))
            << "seed " << seed;

        // What may go has a staying copy of its bytes, and the check right before it goes
        // agrees; what stays says why when asked.
        for (const QStringList& group : groups) {
            for (const QString& path : group) {
                if (!going.contains(path))
                    continue;
                const QString reason = guard.check(listedNow({path}).first());
                if (heldSet.contains(path)) {
                    EXPECT_EQ(reason, lastcopy::reasonText()) << path.toStdString();
                    continue;
                }
                EXPECT_TRUE(reason.isEmpty()) << path.toStdString();
                if (chosen.contains(path))
                    continue;
                bool copyStays = false;
                for (const QString& other : group)
                    copyStays = copyStays || (other != path &&
                                              (!going.contains(other) || heldSet.contains(other)) &&
                                              bytesOf(other) == bytesOf(path));
                EXPECT_TRUE(copyStays) << path.toStdString();
            }
        }
    }
}

TEST_F(LastCopyWorld, EachFileIsComparedWithItsKeptCopyAgainRightBeforeItGoes) {
    for (const bool proven : {false, true}) {
        const QString tag = proven ? "proven/" : "read/";
        const QString kept = file(tag + "a/kept.bin", QByteArray(5000, 'k'));
        const QString copy = file(tag + "b/copy.bin", QByteArray(5000, 'k'));
        const QString keptToo = file(tag + "a/other.bin", QByteArray(300, 'o'));
        const QString twin = file(tag + "b/other.bin", QByteArray(300, 'o'));
        CopyGroups copies;
        copies.proven = proven;
        copies.groups = {listedNow({kept, copy}), listedNow({keptToo, twin})};
        Guard guard(copies);
        ASSERT_TRUE(guard.prove());
        ASSERT_TRUE(guard.holdBack({copy, twin}).isEmpty());

        // The kept copy is rewritten after the hand-over: its duplicate is now its last copy.
        rewrite(kept, 'z');
        QStringList errors;
        DisposalHooks hooks;
        hooks.error = [&errors](const QString& message) { errors << message; };
        hooks.lastCopy = [&guard](const ListedFile& file) { return guard.check(file); };
        const DisposalOutcome outcome = deleteFiles(listedNow({copy, twin}), 0, hooks);

        EXPECT_TRUE(QFileInfo::exists(copy));
        EXPECT_EQ(bytesOf(copy), QByteArray(5000, 'k'));
        EXPECT_FALSE(QFileInfo::exists(twin)); // a true duplicate still goes
        EXPECT_EQ(outcome.disposed, 1);
        EXPECT_EQ(outcome.failed, 1);
        EXPECT_EQ(errors, QStringList({"This file \"" + copy +
                                       "\" is kept since no kept copy has the same contents."}));
    }
}

TEST_F(LastCopyWorld, EveryCopyMarkedKeepsTheFirstAndAChosenFileGoesAllTheSame) {
    const QString first = file("a/x.txt", "same bytes");
    const QString second = file("b/x.txt", "same bytes");
    const QString third = file("c/x.txt", "same bytes");
    const QString lone = file("d/x.txt", "other byte");
    CopyGroups copies;
    copies.groups = {listedNow({first, second, third, lone})};
    Guard guard(copies);
    ASSERT_TRUE(guard.prove());
    EXPECT_EQ(guard.holdBack({lone, third, second, first}), QStringList({lone, first}));

    // Chosen explicitly, the first goes too; the next of its copies stays in its place.
    EXPECT_EQ(guard.holdBack({lone, third, second, first}, {first, lone}), QStringList({second}));
    EXPECT_TRUE(guard.check(listedNow({first}).first()).isEmpty());
    EXPECT_TRUE(guard.check(listedNow({lone}).first()).isEmpty());
    EXPECT_TRUE(guard.check(listedNow({third}).first()).isEmpty());
    EXPECT_EQ(guard.check(listedNow({second}).first()), lastcopy::reasonText());

    // A file of no group is none of the guard's business.
    EXPECT_TRUE(guard.holdBack({file("e/y.txt", "y")}).isEmpty());
    EXPECT_TRUE(guard.check(listedNow({world.path("c/e/y.txt")}).first()).isEmpty());
}
