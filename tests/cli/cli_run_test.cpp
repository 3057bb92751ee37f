// vastel-cli run end to end in a sandbox world, its output checked against a plain model of the
// tree it searched.
#include "support/entrybuilders.h"
#include "support/sandbox.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

struct CliResult {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the program with the world's variables; standard input and error are pipes, no terminal.
CliResult runCli(const QStringList& arguments, const QString& outputFile = QString()) {
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    process.start(QStringLiteral(VASTEL_CLI_PATH), arguments);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QList<QStringList> tsvRows(const QByteArray& out) {
    QList<QStringList> rows;
    for (const QByteArray& line : out.split('\n'))
        if (!line.isEmpty())
            rows << QString::fromUtf8(line).split(QLatin1Char('\t'));
    return rows;
}

// A disposal needs a non-delete list; this one protects nothing of the world's drives.
void allowDisposals(SandboxWorld& world) {
    world.makeFile(QStringLiteral("data/folders.txt"),
                   (world.path(QStringLiteral("windows")) + QStringLiteral("\r\n")).toUtf8());
}

struct ModelFile {
    QString path;
    QString name;
    qint64 size;
};

// A random tree on drive C: names from a small pool so that names and sizes repeat.
QList<ModelFile> makeTree(SandboxWorld& world, quint32 seed, int files) {
    QRandomGenerator random(seed);
    allowDisposals(world);
    const QStringList names = {QStringLiteral("a.txt"), QStringLiteral("b.dat"),
                               QStringLiteral("report.doc"), QStringLiteral("x.bin"),
                               QStringLiteral("photo.jpg")};
    const qint64 sizes[] = {0, 10, 700, 4096, 5000};
    QList<ModelFile> model;
    QSet<QString> used;
    while (model.size() < files) {
        QString folder = QStringLiteral("c");
        for (int depth = random.bounded(4); depth > 0; --depth)
            folder += QStringLiteral("/d%1").arg(random.bounded(3));
        const QString name = names.at(random.bounded(int(names.size())));
        const QString relative = folder + QLatin1Char('/') + name;
        if (used.contains(relative))
            continue;
        used.insert(relative);
        const qint64 size = sizes[random.bounded(5)];
        model.append({world.makeFile(relative, QByteArray(size, char('a' + random.bounded(26)))),
                      name, size});
    }
    return model;
}

TEST(CliRun, HogsAndDuplicatesMatchAPlainModelOfRandomTrees) {
    for (const quint32 seed : {1u, 7u, 42u}) {
        SandboxWorld world;
        const QList<ModelFile> model = makeTree(world, seed, 60);

        // hogs: every file of at least 700 bytes, largest first.
        const CliResult hogs =
            runCli({QStringLiteral("hogs"), QStringLiteral("--larger"), QStringLiteral("700"),
                    QStringLiteral("--unit"), QStringLiteral("bytes"), QStringLiteral("C")});
        EXPECT_EQ(hogs.status, 0);
        EXPECT_TRUE(hogs.err.isEmpty()) << hogs.err.constData(); // no terminal: no progress
        QMap<QString, qint64> expected, listed;
        for (const ModelFile& f : model)
            if (f.size >= 700)
                expected.insert(f.path, f.size);
        qint64 previous = std::numeric_limits<qint64>::max();
        for (const QStringList& row : tsvRows(hogs.out)) {
            ASSERT_EQ(row.size(), 5);
            const qint64 size = row.at(0).toLongLong();
            EXPECT_LE(size, previous);
            previous = size;
            listed.insert(row.at(3), size);
        }
        EXPECT_EQ(listed, expected) << "seed " << seed;

        // dups by name and size: the groups of the model, each file in one group.
        QMap<QPair<QString, qint64>, QSet<QString>> groups;
        for (const ModelFile& f : model)
            groups[{f.name, f.size}].insert(f.path);
        QSet<QSet<QString>> expectedGroups;
        for (const QSet<QString>& g : std::as_const(groups))
            if (g.size() >= 2)
                expectedGroups.insert(g);
        const QStringList dupArgs = {QStringLiteral("dups"),      QStringLiteral("--criterion"),
                                     QStringLiteral("name-size"), QStringLiteral("--larger"),
                                     QStringLiteral("0"),         QStringLiteral("C")};
        const CliResult dups = runCli(dupArgs);
        EXPECT_EQ(dups.status, expectedGroups.isEmpty() ? 1 : 0);
        QMap<QString, QSet<QString>> byGroup;
        const QList<QStringList> rows = tsvRows(dups.out);
        for (const QStringList& row : rows) {
            ASSERT_EQ(row.size(), 7);
            byGroup[row.at(0)].insert(row.at(5));
        }
        QSet<QSet<QString>> listedGroups;
        for (const QSet<QString>& g : std::as_const(byGroup))
            listedGroups.insert(g);
        EXPECT_EQ(listedGroups, expectedGroups) << "seed " << seed;

        // The JSON document holds the same rows.
        const CliResult json = runCli(dupArgs + QStringList{QStringLiteral("--json")});
        const QJsonArray array = QJsonDocument::fromJson(json.out).array();
        ASSERT_EQ(array.size(), rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QJsonObject o = array.at(i).toObject();
            EXPECT_EQ(QString::number(o.value(QStringLiteral("group")).toInteger()), rows[i][0]);
            EXPECT_EQ(o.value(QStringLiteral("filename")).toString(), rows[i][1]);
            EXPECT_EQ(QString::number(o.value(QStringLiteral("size")).toInteger()), rows[i][2]);
            EXPECT_EQ(o.value(QStringLiteral("modified")).toString(), rows[i][3]);
            EXPECT_EQ(o.value(QStringLiteral("path")).toString(), rows[i][5]);
        }

        // stats: every file counted once, in exactly one size class, TSV and JSON alike.
        const CliResult stats =
            runCli({QStringLiteral("stats"), QStringLiteral("--json"), QStringLiteral("C")});
        const QJsonObject totals = QJsonDocument::fromJson(stats.out).object();
        qint64 modelBytes = 0, classFiles = 0, classBytes = 0;
        for (const ModelFile& f : model)
            modelBytes += f.size;
        for (const QJsonValue& c : totals.value(QStringLiteral("sizes")).toArray()) {
            classFiles += c.toObject().value(QStringLiteral("files")).toInteger();
            classBytes += c.toObject().value(QStringLiteral("bytes")).toInteger();
        }
        EXPECT_EQ(totals.value(QStringLiteral("files")).toInteger(), model.size());
        EXPECT_EQ(totals.value(QStringLiteral("bytes")).toInteger(), modelBytes);
        EXPECT_EQ(classFiles, model.size());
        EXPECT_EQ(classBytes, modelBytes);
        const QList<QStringList> statRows =
            tsvRows(runCli({QStringLiteral("stats"), QStringLiteral("C")}).out);
        ASSERT_FALSE(statRows.isEmpty());
        EXPECT_EQ(statRows.first(),
                  (QStringList{QStringLiteral("total"), QStringLiteral("all"),
                               QString::number(model.size()), QString::number(modelBytes)}));

        // Disposing of the duplicates proves contents first: of each group of identical files
        // the first listed stays, and a file whose bytes no other file of its group holds stays.
        QHash<QString, QString> contentKey; // path -> name, size and bytes
        QHash<QString, int> copies;         // content key -> files
        for (const ModelFile& f : model) {
            const QString key = f.name + QLatin1Char('\t') + QString::number(f.size) +
                                QLatin1Char('\t') +
                                QString::fromLatin1(SandboxWorld::readBytes(f.path).toHex());
            contentKey.insert(f.path, key);
            ++copies[key];
        }
        const CliResult del =
            runCli(dupArgs + QStringList{QStringLiteral("--delete"), QStringLiteral("--yes")});
        bool anyCopies = false;
        for (const int n : std::as_const(copies))
            anyCopies = anyCopies || n >= 2;
        EXPECT_EQ(del.status, anyCopies ? 0 : 1) << del.err.constData();
        QSet<QString> firsts, seenKeys;
        for (const QStringList& row : rows) {
            const QString key = contentKey.value(row.at(5));
            if (!seenKeys.contains(key))
                firsts.insert(row.at(5));
            seenKeys.insert(key);
        }
        for (const ModelFile& f : model) {
            const bool inGroup = copies.value(contentKey.value(f.path)) >= 2;
            EXPECT_EQ(QFile::exists(f.path), !inGroup || firsts.contains(f.path))
                << f.path.toStdString();
        }
    }
}

TEST(CliRun, ExitStatusesTellFoundNothingAndErrors) {
    SandboxWorld world;
    world.makeFile(QStringLiteral("c/small.txt"), "abc");
    const CliResult nothing = runCli({QStringLiteral("hogs"), QStringLiteral("C:")});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_TRUE(nothing.out.isEmpty());
    // A TAB or a line break in a name stays inside its cell, escaped.
    world.makeFile(QStringLiteral("c/odd\tname\n.txt"), "x");
    const CliResult found = runCli({QStringLiteral("hogs"), QStringLiteral("--larger"),
                                    QStringLiteral("0"), world.path(QStringLiteral("c"))});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.out.count('\n'), 2);
    EXPECT_TRUE(found.out.contains("/odd\\tname\\n.txt\t")) << found.out.constData();
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("hogs"), QStringLiteral("--bogus")},
          QStringList{QStringLiteral("hogs"), QStringLiteral("--larger"), QStringLiteral("x")},
          QStringList{QStringLiteral("hogs"), QStringLiteral("--larger")},
          QStringList{QStringLiteral("dates"), QStringLiteral("--from"),
                      QStringLiteral("2024-13-01")},
          QStringList{QStringLiteral("hogs"), world.path(QStringLiteral("no-such-folder"))},
          QStringList{QStringLiteral("hogs"), QStringLiteral("Q")},
          QStringList{QStringLiteral("frobnicate")}}) {
        const CliResult bad = runCli(arguments);
        EXPECT_EQ(bad.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(bad.out.isEmpty());
        EXPECT_EQ(bad.err.count('\n'), 1) << bad.err.constData();
    }
    // Results that cannot be written.
    const CliResult full = runCli({QStringLiteral("hogs"), QStringLiteral("--larger"),
                                   QStringLiteral("0"), QStringLiteral("C")},
                                  QStringLiteral("/dev/full"));
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err.count('\n'), 1) << full.err.constData();
}

TEST(CliRun, DisposalNeedsConfirmationAndHoldsProtectedFilesBack) {
    SandboxWorld world;
    const QStringList loose = {world.makeFile(QStringLiteral("c/a/one.old"), "1"),
                               world.makeFile(QStringLiteral("c/b/two.old"), "22")};
    const QString kept = world.makeFile(QStringLiteral("c/keep/three.old"), "333");
    const QString other = world.makeFile(QStringLiteral("c/a/note.txt"), "4444");
    const QStringList clean = {QStringLiteral("clean"), QStringLiteral("--pattern"),
                               QStringLiteral("*.old"), QStringLiteral("--delete"),
                               QStringLiteral("C")};

    // No non-delete list yet: refused before the search, nothing touched.
    const CliResult noList = runCli(clean + QStringList{QStringLiteral("--yes")});
    EXPECT_EQ(noList.status, 2);
    EXPECT_TRUE(noList.out.isEmpty());
    for (const QString& path : loose + QStringList{kept, other})
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();

    // The non-delete list protects the folder "keep".
    world.makeFile(QStringLiteral("data/folders.txt"),
                   (world.path(QStringLiteral("c/keep")) + QStringLiteral("\r\n")).toUtf8());

    // No terminal to ask on and no --yes: refused, nothing touched.
    const CliResult refused = runCli(clean);
    EXPECT_EQ(refused.status, 2);
    for (const QString& path : loose + QStringList{kept, other})
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();

    const CliResult done = runCli(clean + QStringList{QStringLiteral("--yes")});
    EXPECT_EQ(tsvRows(done.out).size(), 3);
    EXPECT_EQ(done.status, 2); // one file held back
    EXPECT_TRUE(done.err.contains(kept.toUtf8())) << done.err.constData();
    for (const QString& path : loose)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_TRUE(QFile::exists(other));
}

// Names that upper-case alike but are not the same name ignoring case make groups of their own;
// disposing of the later copies of every group keeps a file of each.
TEST(CliRun, DuplicateDisposalKeepsAFileOfEveryGroupWhoseNamesUpperCaseAlike) {
    SandboxWorld world;
    allowDisposals(world);
    const QStringList names = {QStringLiteral("strasse.txt"),
                               QString::fromUtf8("stra\xc3\x9f"
                                                 "e.txt"),
                               QStringLiteral("file.txt"), QString::fromUtf8("f\xc4\xb1le.txt")};
    QMap<QString, QStringList> copies; // name -> its paths
    for (qsizetype n = 0; n < names.size(); ++n)
        for (const char* folder : {"c/one/", "c/two/", "c/three/"})
            copies[names.at(n)] << world.makeFile(QLatin1String(folder) + names.at(n),
                                                  QByteArray(int(10 + n), char('a' + n)));
    const QStringList args = {QStringLiteral("dups"), QStringLiteral("--larger"),
                              QStringLiteral("0"), QStringLiteral("C")};
    const QList<QStringList> rows = tsvRows(runCli(args).out);
    ASSERT_EQ(rows.size(), 12);
    QMap<QString, QSet<QString>> namesOfGroup;
    for (const QStringList& row : rows)
        namesOfGroup[row.at(0)].insert(row.at(1));
    EXPECT_EQ(namesOfGroup.size(), 4);
    for (const QSet<QString>& g : std::as_const(namesOfGroup))
        EXPECT_EQ(g.size(), 1) << QStringList(g.values()).join(' ').toStdString();

    for (const QString& disposal : {QStringLiteral("--delete"), QStringLiteral("--trash")}) {
        const CliResult done = runCli(args + QStringList{disposal, QStringLiteral("--yes")});
        EXPECT_EQ(done.status, 0) << done.err.constData();
        for (const QString& name : names) {
            int left = 0;
            for (const QString& path : copies.value(name))
                left += QFile::exists(path) ? 1 : 0;
            EXPECT_EQ(left, 1) << disposal.toStdString() << " " << name.toStdString();
        }
        // Back to three copies of each for the next disposal.
        for (qsizetype n = 0; n < names.size(); ++n)
            for (const QString& path : copies.value(names.at(n)))
                if (!QFile::exists(path))
                    world.makeFile(path.mid(world.root().size() + 1),
                                   QByteArray(int(10 + n), char('a' + n)));
    }
}

// Files of one name and size but other bytes are duplicates by the criterion, not by their
// contents: --content lists and disposes of true copies only, keeping one of each content.
TEST(CliRun, ContentSplitsGroupsByBytesAndDisposalKeepsOneOfEachContent) {
    SandboxWorld world;
    allowDisposals(world);
    const char* bytes[] = {"aaaa", "aaaa", "bbbb", "aaaa", "bbbb", "cccc"};
    QStringList a; // c/1/a.txt ... c/6/a.txt
    for (int k = 0; k < 6; ++k)
        a << world.makeFile(QStringLiteral("c/%1/a.txt").arg(k + 1), bytes[k]);
    const QString u1 = world.makeFile(QStringLiteral("c/1/u.txt"), "xx");
    const QString u2 = world.makeFile(QStringLiteral("c/2/u.txt"), "yy");
    const QStringList args = {QStringLiteral("dups"),      QStringLiteral("--criterion"),
                              QStringLiteral("name-size"), QStringLiteral("--larger"),
                              QStringLiteral("0"),         QStringLiteral("C")};
    EXPECT_EQ(tsvRows(runCli(args).out).size(), 8); // the criterion alone: all of them

    const CliResult listed = runCli(args + QStringList{QStringLiteral("--content")});
    EXPECT_EQ(listed.status, 0) << listed.err.constData();
    QMap<QString, QSet<QString>> pathsOfGroup;
    for (const QStringList& row : tsvRows(listed.out))
        pathsOfGroup[row.at(0)].insert(row.at(5));
    EXPECT_EQ(pathsOfGroup.value(QStringLiteral("1")), (QSet<QString>{a[0], a[1], a[3]}));
    EXPECT_EQ(pathsOfGroup.value(QStringLiteral("2")), (QSet<QString>{a[2], a[4]}));
    EXPECT_EQ(pathsOfGroup.size(), 2);
    const QString err = QString::fromUtf8(listed.err);
    for (const QString& path : {a[5], u1, u2})
        EXPECT_TRUE(
            err.contains(QStringLiteral("left out %1: no other file has its contents").arg(path)))
            << err.toStdString();

    const CliResult done =
        runCli(args + QStringList{QStringLiteral("--content"), QStringLiteral("--delete"),
                                  QStringLiteral("--yes")});
    EXPECT_EQ(done.status, 0) << done.err.constData();
    QStringList left;
    for (const QString& path : a + QStringList{u1, u2})
        if (QFile::exists(path))
            left << path;
    EXPECT_EQ(left, (QStringList{a[0], a[2], a[5], u1, u2}));
}

// A name with blanks at its ends is listed, and disposed of, as itself, never as the name
// without them.
TEST(CliRun, DateSearchKeepsBlanksAtTheEndsOfNames) {
    SandboxWorld world;
    allowDisposals(world);
    const QString oldBlank = world.makeFile(QStringLiteral("c/keep.txt "), "old and blank");
    const QString oldLead = world.makeFile(QStringLiteral("c/ lead.txt"), "old too");
    const QString fresh = world.makeFile(QStringLiteral("c/keep.txt"), "new");
    const QString freshLead = world.makeFile(QStringLiteral("c/lead.txt"), "new too");
    for (const QString& path : {oldBlank, oldLead}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2001, 5, 5), QTime(12, 0)),
                                  QFileDevice::FileModificationTime));
    }
    const QStringList args = {QStringLiteral("dates"),      QStringLiteral("--kind"),
                              QStringLiteral("modified"),   QStringLiteral("--to"),
                              QStringLiteral("2010-01-01"), QStringLiteral("C")};
    const CliResult listed = runCli(args);
    EXPECT_EQ(listed.status, 0) << listed.err.constData();
    QMap<QString, QStringList> byName;
    for (const QStringList& row : tsvRows(listed.out))
        byName.insert(row.at(0), row);
    ASSERT_EQ(byName.keys(),
              (QStringList{QStringLiteral(" lead.txt"), QStringLiteral("keep.txt ")}));
    EXPECT_EQ(byName.value(QStringLiteral("keep.txt ")).at(4), QStringLiteral("13"));
    EXPECT_EQ(byName.value(QStringLiteral("keep.txt ")).at(5), oldBlank);
    EXPECT_EQ(byName.value(QStringLiteral(" lead.txt")).at(5), oldLead);

    const CliResult done =
        runCli(args + QStringList{QStringLiteral("--delete"), QStringLiteral("--yes")});
    EXPECT_EQ(done.status, 0) << done.err.constData();
    EXPECT_FALSE(QFile::exists(oldBlank));
    EXPECT_FALSE(QFile::exists(oldLead));
    EXPECT_EQ(SandboxWorld::readBytes(fresh), "new");
    EXPECT_EQ(SandboxWorld::readBytes(freshLead), "new too");
}

// Targets inside other targets are searched once: each file counts once per run.
TEST(CliRun, OverlappingTargetsCountEveryFileOnce) {
    SandboxWorld world;
    world.makeFile(QStringLiteral("c/top.txt"), "12345");
    world.makeFile(QStringLiteral("c/a/one.txt"), "123");
    world.makeFile(QStringLiteral("c/a/b/two.txt"), "1234567");
    const QString a = world.path(QStringLiteral("c/a"));
    const QString link = world.path(QStringLiteral("link-to-a")); // outside the drive
    ASSERT_TRUE(QFile::link(a, link));
    const QStringList total = {QStringLiteral("total"), QStringLiteral("all"), QStringLiteral("3"),
                               QStringLiteral("15")};
    const QStringList insideA = {QStringLiteral("total"), QStringLiteral("all"),
                                 QStringLiteral("2"), QStringLiteral("10")};
    const QList<QPair<QStringList, QStringList>> cases = {
        {{QStringLiteral("C"), QStringLiteral("C")}, total},
        {{QStringLiteral("C"), a}, total},
        {{a, QStringLiteral("C:")}, total},
        {{QStringLiteral("C"), world.path(QStringLiteral("c/./a/"))}, total},
        {{world.path(QStringLiteral("c")), QStringLiteral("c")}, total},
        {{a, a + QStringLiteral("/b"), link}, insideA},
        {{a + QStringLiteral("/b"), a}, insideA},
    };
    for (const auto& [targets, expected] : cases) {
        const QList<QStringList> rows =
            tsvRows(runCli(QStringList{QStringLiteral("stats")} + targets).out);
        ASSERT_FALSE(rows.isEmpty());
        EXPECT_EQ(rows.first(), expected) << targets.join(' ').toStdString();
    }
    // Folder hogs list every folder once, with the files directly in it.
    const CliResult hogs = runCli({QStringLiteral("folder-hogs"), QStringLiteral("--all"),
                                   QStringLiteral("C"), a, a + QStringLiteral("/b")});
    QMap<QString, QString> filesOf;
    int rows = 0;
    for (const QStringList& row : tsvRows(hogs.out)) {
        ++rows;
        filesOf.insert(row.at(5), row.at(2));
    }
    EXPECT_EQ(rows, filesOf.size()) << hogs.out.constData();
    EXPECT_EQ(filesOf.value(a), QStringLiteral("1")) << hogs.out.constData();
    EXPECT_EQ(filesOf.value(a + QStringLiteral("/b")), QStringLiteral("1"));
}

// A name that is not UTF-8 comes out of the TSV as the bytes it is; the JSON document, which is
// UTF-8 text, holds the escape of each such byte.
TEST(CliRun, NamesThatAreNotUtf8KeepTheirBytes) {
    SandboxWorld world;
    world.makeDir(QStringLiteral("c/sub"));
    const QByteArray folder = QFile::encodeName(world.path(QStringLiteral("c/sub")));
    const QByteArray path = folder + "/caf\xe9 \xff.txt";
    FILE* file = std::fopen(path.constData(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("some bytes", file);
    std::fclose(file);
    const CliResult hogs = runCli({QStringLiteral("hogs"), QStringLiteral("--larger"),
                                   QStringLiteral("0"), QStringLiteral("C")});
    EXPECT_EQ(hogs.status, 0) << hogs.err.constData();
    EXPECT_TRUE(hogs.out.contains("\t" + path + "\t")) << hogs.out.toHex().constData();
    const CliResult dates = runCli({QStringLiteral("dates"), QStringLiteral("--to"),
                                    QStringLiteral("2999-01-01"), QStringLiteral("C")});
    EXPECT_TRUE(dates.out.startsWith("caf\xe9 \xff.txt\t")) << dates.out.toHex().constData();
    EXPECT_TRUE(dates.out.contains("\t" + path + "\t")) << dates.out.toHex().constData();
    const CliResult json =
        runCli({QStringLiteral("hogs"), QStringLiteral("--larger"), QStringLiteral("0"),
                QStringLiteral("--json"), QStringLiteral("C")});
    EXPECT_TRUE(json.out.contains("caf\\udce9 \\udcff.txt")) << json.out.constData();
    // The temporary folder's clean-up cannot name the file.
    EXPECT_EQ(std::remove(path.constData()), 0);
}

TEST(CliRun, ARegistryFileThatIsAFifoIsReportedNotWaitedOn) {
    SandboxWorld world;
    world.makeFile(QStringLiteral("c/big.bin"), QByteArray(2000, 'b'));
    const QString fifo = world.path(QStringLiteral("registry.fifo"));
    ASSERT_TRUE(scantest::makeFifo(fifo));
    world.setEnv("VASTEL_REGISTRY", fifo);
    const CliResult r = runCli({QStringLiteral("hogs"), QStringLiteral("--larger"),
                                QStringLiteral("1"), QStringLiteral("C")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("big.bin")) << r.out.constData();
    EXPECT_TRUE(r.err.contains(
        ("The registry file " + fifo + " cannot be read: not a regular file").toUtf8()))
        << r.err.constData();
}

TEST(CliRun, TheProgramsArchivesAreHeldBackUnlessIncludedExplicitly) {
    SandboxWorld world;
    allowDisposals(world);
    const QString stash = world.makeDir(QStringLiteral("c/stash"));
    world.makeFile(QStringLiteral("config/vastel.ini"),
                   (QStringLiteral("[ZipFile]\nPath=") + stash + QStringLiteral("\n")).toUtf8());
    const QString archive =
        world.makeFile(QStringLiteral("c/stash/Drive-C-Duplicates08Dec261530.zip"), "PK-1");
    const QString foreign = world.makeFile(QStringLiteral("c/stash/holiday.zip"), "PK-2");
    const QString copy =
        world.makeFile(QStringLiteral("c/copies/Drive-C-Duplicates08Dec261530.zip"), "PK-3");
    const QStringList clean = {QStringLiteral("clean"), QStringLiteral("--pattern"),
                               QStringLiteral("*.zip"), QStringLiteral("--delete"),
                               QStringLiteral("--yes"), QStringLiteral("C")};

    const CliResult held = runCli(clean);
    EXPECT_EQ(tsvRows(held.out).size(), 3);
    EXPECT_EQ(held.status, 2); // one file held back
    EXPECT_TRUE(held.err.contains(("vastel-cli: " + archive +
                                   " is an archive Vastel wrote; kept (add --include-archives "
                                   "to dispose of it too)\n")
                                      .toUtf8()))
        << held.err.constData();
    EXPECT_TRUE(QFile::exists(archive));
    EXPECT_FALSE(QFile::exists(foreign));
    EXPECT_FALSE(QFile::exists(copy)); // not in the zip folder: any other file

    // The option alone is refused; with a disposal it lets the archive go.
    const CliResult alone = runCli(
        {QStringLiteral("clean"), QStringLiteral("--include-archives"), QStringLiteral("C")});
    EXPECT_EQ(alone.status, 2);
    EXPECT_TRUE(alone.err.contains("--include-archives needs")) << alone.err.constData();
    EXPECT_TRUE(QFile::exists(archive));
    const CliResult included = runCli(clean + QStringList{QStringLiteral("--include-archives")});
    EXPECT_EQ(included.status, 0) << included.err.constData();
    EXPECT_FALSE(QFile::exists(archive));

    const CliResult help = runCli({QStringLiteral("clean"), QStringLiteral("--help")});
    EXPECT_TRUE(help.out.contains("--include-archives")) << help.out.constData();
}

TEST(CliRun, ANonDeleteListLineNamingNoFolderIsWarnedAboutOnStandardError) {
    SandboxWorld world;
    const QString keep = world.makeDir(QStringLiteral("c/keep"));
    const QString file = world.makeFile(QStringLiteral("c/keep/one.old"), "1");
    // Blanks around the name: the line names another folder, which does not exist.
    world.makeFile(QStringLiteral("data/folders.txt"),
                   (QStringLiteral(" ") + keep + QStringLiteral("/ \r\n")).toUtf8());
    const CliResult run =
        runCli({QStringLiteral("clean"), QStringLiteral("--pattern"), QStringLiteral("*.old"),
                QStringLiteral("--delete"), QStringLiteral("--yes"), QStringLiteral("C")});
    EXPECT_TRUE(run.err.contains(
        ("vastel-cli: The folder \" " + keep + "/ \" of the non-delete list (").toUtf8()))
        << run.err.constData();
    EXPECT_TRUE(run.err.contains("does not exist, so it protects nothing.  The line has blanks"))
        << run.err.constData();
    EXPECT_EQ(run.err.count("does not exist"), 1);
    // The line stays as written and protects nothing, as the warning says.
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(SandboxWorld::readBytes(world.path(QStringLiteral("data/folders.txt"))),
              (QStringLiteral(" ") + keep + QStringLiteral("/ \r\n")).toUtf8());
}

} // namespace

// A disposal of duplicates reads the files first: a file whose bytes no other file holds is
// never disposed of, and --keep chooses which of identical files stays.
TEST(CliRun, DuplicateDisposalNeverTakesTheLastCopyAndKeepsTheChosenOne) {
    const QStringList keeps = {QStringLiteral("first"), QStringLiteral("oldest"),
                               QStringLiteral("newest"), QStringLiteral("shortest-path")};
    for (const QString& keep : keeps) {
        SCOPED_TRACE(keep.toStdString());
        SandboxWorld world;
        allowDisposals(world);
        const QString uniqueA = world.makeFile(QStringLiteral("c/a/x.txt"), "AAAA");
        const QString uniqueB = world.makeFile(QStringLiteral("c/b/x.txt"), "BBBB");
        const QString first = world.makeFile(QStringLiteral("c/a/longer/folder/y.txt"), "same");
        const QString newer = world.makeFile(QStringLiteral("c/b/y.txt"), "same");
        const QString older = world.makeFile(QStringLiteral("c/cc/y.txt"), "same");
        for (const auto& [path, year] : {std::pair{first, 2015}, {newer, 2024}, {older, 2005}}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime(QDate(year, 1, 1), QTime(12, 0)),
                                      QFileDevice::FileModificationTime));
        }
        const QStringList search = {QStringLiteral("dups"),      QStringLiteral("--criterion"),
                                    QStringLiteral("name-size"), QStringLiteral("--larger"),
                                    QStringLiteral("0"),         QStringLiteral("C")};
        QString firstListed; // the first y.txt the search lists
        for (const QStringList& row : tsvRows(runCli(search).out))
            if (firstListed.isEmpty() && row.at(5).endsWith(QLatin1String("y.txt")))
                firstListed = row.at(5);
        const CliResult done =
            runCli(search + QStringList{QStringLiteral("--keep"), keep, QStringLiteral("--delete"),
                                        QStringLiteral("--yes")});
        EXPECT_EQ(done.status, 0) << done.err.constData();
        EXPECT_TRUE(QFile::exists(uniqueA));
        EXPECT_TRUE(QFile::exists(uniqueB));
        const QString kept = keep == QLatin1String("oldest")   ? older
                             : keep == QLatin1String("newest") ? newer
                             : keep == QLatin1String("first")  ? firstListed
                                                               : newer; // shortest path
        for (const QString& y : {first, newer, older})
            EXPECT_EQ(QFile::exists(y), y == kept) << y.toStdString();
    }
    const CliResult bad = runCli({QStringLiteral("dups"), QStringLiteral("--keep"),
                                  QStringLiteral("largest"), QStringLiteral("C")});
    EXPECT_EQ(bad.status, 2);
}
