// Duplicate files by their contents, end to end as a user runs it, against the duplicate finders
// a user would pick instead, on a tree of 200,000 files made to look like a home folder.
//
// Each program is asked for the same thing: every group of files with identical contents among
// the non-empty files of the tree, hard links included, listed to a file, nothing deleted.
//
//   vastel-cli dups --criterion size --content --larger 1 --unit bytes TREE
//                                 (files of one size split by their bytes; every non-empty
//                                 file is a candidate, as with the others)
//   jdupes -r -q -H TREE          (recursive, no progress, hard links count as duplicates;
//                                 empty files are skipped by default)
//   rdfind -dryrun true -outputname rdfind.txt TREE
//                                 (empty files skipped by default; its results file is the
//                                 list of groups)
//   rmlint -T df -o fdupes:rmlint.txt TREE
//                                 (duplicate files only, none of its other kinds of lint; empty
//                                 files skipped by default; the groups in fdupes' format)
//
// The results files go into the sandbox's folder, never to /dev/null: rmlint moves an output
// file that exists aside before it writes, and running as root it would move /dev/null itself.
//
// Standard output and error of each go to /dev/null (vastel-cli's lines go to a file once, to
// count its groups).  The peers run their defaults otherwise: jdupes compares the bytes of
// every match after hashing, rdfind hashes with SHA-1, rmlint with BLAKE2b.  A peer that is not
// installed is left out and its ratio reads "not installed".
//
// The tree, made once below the build folder (about 1.6 GB) from a fixed seed: folders of
// realistic depth (each new folder goes below a folder picked at random among those made so
// far), names made of syllables with many extensions, times spread over twelve years, and
//   - 2,000 empty files;
//   - a few large duplicated files (16 to 48 MiB, two or three copies each);
//   - 9,000 small contents copied two to five times (log-normal sizes around 3 KiB), the
//     copies often keeping the name;
//   - fixed-size records: 24,000 files of 4 KiB sharing a 128-byte header, 8,000 of 512 bytes
//     and 4,000 of 16 KiB, all different;
//   - 400 sets of three files whose first and last blocks are equal and whose middles differ,
//     and three such files of 32 MiB;
//   - 3,000 hard links to files made before;
//   - the rest unique files of a log-normal size around 1 KiB (a long tail up to megabytes).
//
// After one warm-up run of each, the four run in turn three times; each ratio is vastel-cli's
// median time over the peer's median time.  Memory: vastel-cli runs once more below a fresh
// child of this program, which reports the peak resident size of what it waited for
// (ru_maxrss); the same run on an empty folder is subtracted, and the rest divided by the
// files of the tree.  Cold cache: when /proc/sys/vm/drop_caches can be written, each program
// runs once more after the caches were dropped.
//
// Usage: bench_content [TREE]          (default: the data folder of the build)
//        bench_content --rss OUTPUT PROGRAM ARGS...   (the child's part)

#include "benchkit.h"
#include "platform/filesync.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <random>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace benchkit;

constexpr int kRounds = 3;
constexpr qint64 kTotalFiles = 200000;
constexpr int kFolders = 9000;
constexpr quint64 kSeed = 0x5eed2024;
// Changes whenever the tree below is made differently, so that an old tree is made again.
constexpr const char* kLayout = "content-tree 1";

constexpr qint64 KiB = 1024, MiB = 1024 * 1024;

QString contentTree() {
    return QStringLiteral(VASTEL_BENCH_DATA_DIR "/content-tree");
}

QString contentMarker(const QString& tree) {
    return tree + QStringLiteral(".complete");
}

// ---- The tree ----

const char* const kSyllables[] = {"ka",  "lo",  "mi",  "ra",  "ten", "so", "vel", "da",
                                  "re",  "pu",  "xo",  "an",  "bri", "el", "gor", "ni",
                                  "qua", "tis", "ul",  "zen", "fa",  "ho", "jo",  "wex",
                                  "ly",  "mor", "sed", "pi",  "cu",  "dre"};
const char* const kFileExtensions[] = {
    ".txt",  ".jpg", ".png", ".pdf", ".c",    ".h",   ".cpp", ".py",  ".js",  ".html", ".css",
    ".json", ".xml", ".md",  ".log", ".dat",  ".bin", ".mp3", ".ogg", ".mp4", ".zip",  ".tar",
    ".gz",   ".doc", ".odt", ".csv", ".conf", ".ini", ".so",  ".o",   ".svg", ""};

// Everything the tree is made of, drawn from one seeded generator.
class TreeMaker {
public:
    explicit TreeMaker(const QString& root) : m_root(root) {}

    bool make() {
        m_folders << m_root;
        for (int i = 1; i < kFolders; ++i) {
            const QString parent = m_folders[pick(m_folders.size())];
            const QString folder = freePath(parent, word());
            if (!QDir().mkdir(folder))
                return fail(folder);
            m_folders << folder;
        }
        // Empty files.
        for (int i = 0; i < 2000; ++i)
            if (!writeFile(randomPath(), 0, 0))
                return false;
        // Large duplicated files.
        const qint64 largeSizes[] = {16 * MiB, 24 * MiB, 32 * MiB, 48 * MiB};
        const int largeCopies[] = {2, 3, 2, 2};
        for (int i = 0; i < 4; ++i) {
            const quint64 seed = m_rng();
            const QString name = word() + QStringLiteral(".iso");
            for (int c = 0; c < largeCopies[i]; ++c)
                if (!writeFile(freePath(randomFolder(), name), largeSizes[i], seed))
                    return false;
        }
        // Small contents copied two to five times; a copy keeps the name two times in three.
        for (int i = 0; i < 9000; ++i) {
            const quint64 seed = m_rng();
            const qint64 size = logNormal(3 * KiB, 1.3, 4 * MiB);
            const QString name = fileName();
            const int copies = 2 + int(pick(4));
            for (int c = 0; c < copies; ++c) {
                const QString path = freePath(randomFolder(), pick(3) < 2 ? name : fileName());
                if (!writeFile(path, size, seed))
                    return false;
            }
        }
        // Fixed-size records, all different; the 4 KiB ones share their first 128 bytes.
        for (int i = 0; i < 24000; ++i)
            if (!writeFile(randomPath(QStringLiteral(".rec")), 4 * KiB, m_rng(), 128))
                return false;
        for (int i = 0; i < 8000; ++i)
            if (!writeFile(randomPath(QStringLiteral(".dat")), 512, m_rng()))
                return false;
        for (int i = 0; i < 4000; ++i)
            if (!writeFile(randomPath(QStringLiteral(".blk")), 16 * KiB, m_rng()))
                return false;
        // Equal first and last blocks, a different middle.
        for (int i = 0; i < 403; ++i) {
            const quint64 seed = m_rng();
            const qint64 size = i < 400 ? 20 * KiB + logNormal(40 * KiB, 0.8, 1 * MiB) : 32 * MiB;
            const QString name = fileName();
            for (int c = 0; c < 3; ++c)
                if (!writeFile(freePath(randomFolder(), name), size, seed, 0, quint64(c + 1)))
                    return false;
        }
        // Hard links to files made so far.
        for (int i = 0; i < 3000; ++i) {
            const QString from = m_linkable[pick(m_linkable.size())];
            const QString to = freePath(randomFolder(), QFileInfo(from).fileName());
            if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
                return fail(to);
            ++m_files;
        }
        // The long tail of unique files.
        while (m_files < kTotalFiles)
            if (!writeFile(randomPath(), logNormal(1 * KiB, 1.7, 64 * MiB), m_rng()))
                return false;
        return true;
    }

    qint64 files() const { return m_files; }
    qint64 bytes() const { return m_bytes; }

private:
    bool fail(const QString& path) {
        std::fprintf(stderr, "bench content: cannot make %s\n", qPrintable(path));
        return false;
    }

    quint64 pick(qsizetype count) { return m_rng() % quint64(count); }

    qint64 logNormal(qint64 median, double sigma, qint64 cap) {
        std::lognormal_distribution<double> d(std::log(double(median)), sigma);
        return std::clamp<qint64>(qint64(d(m_rng)), 1, cap);
    }

    QString word() {
        QString w;
        const int syllables = 1 + int(pick(4));
        for (int i = 0; i < syllables; ++i)
            w += QLatin1String(kSyllables[pick(std::size(kSyllables))]);
        if (pick(4) == 0)
            w += QStringLiteral("_%1").arg(pick(1000));
        return w;
    }

    QString fileName(const QString& extension = QString()) {
        return word() + (extension.isNull()
                             ? QLatin1String(kFileExtensions[pick(std::size(kFileExtensions))])
                             : extension);
    }

    // Folders deeper in the tree hold as many files as those near the top.
    QString randomFolder() { return m_folders[pick(m_folders.size())]; }

    QString randomPath(const QString& extension = QString()) {
        return freePath(randomFolder(), fileName(extension));
    }

    // folder/name, or folder/name-N when that is taken.
    QString freePath(const QString& folder, const QString& name) {
        QString path = folder + QLatin1Char('/') + name;
        for (int n = 2; m_paths.contains(path); ++n)
            path = folder + QLatin1Char('/') + QStringLiteral("%1-%2").arg(n).arg(name);
        m_paths.insert(path);
        return path;
    }

    // Writes `size` bytes drawn from `seed`; the first `header` bytes are the same in every file
    // that asks for one, and a non-zero `middle` changes 8 bytes in the middle of the file.
    bool writeFile(const QString& path, qint64 size, quint64 seed, qint64 header = 0,
                   quint64 middle = 0) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return fail(path);
        std::mt19937_64 bytes(seed);
        const qint64 middleAt = size / 2 & ~qint64(7);
        std::vector<quint64> buffer;
        for (qint64 done = 0; done < size;) {
            const qint64 chunk = std::min<qint64>(size - done, 1 * MiB);
            buffer.resize(size_t((chunk + 7) / 8));
            for (quint64& word : buffer)
                word = bytes();
            if (done == 0 && header > 0)
                std::fill_n(reinterpret_cast<char*>(buffer.data()), std::min(header, chunk), 'H');
            if (middle != 0 && middleAt >= done && middleAt + 8 <= done + chunk)
                buffer[size_t((middleAt - done) / 8)] ^= middle;
            if (f.write(reinterpret_cast<const char*>(buffer.data()), chunk) != chunk)
                return fail(path);
            done += chunk;
        }
        f.close();
        // Twelve years before the start of 2026, spread evenly.
        const qint64 when = 1767225600 - qint64(pick(12 * 365 * 86400));
        if (!platform::setFileTimes(path, when))
            return fail(path);
        ++m_files;
        m_bytes += size;
        if (size > 0)
            m_linkable << path;
        return true;
    }

    QString m_root;
    std::mt19937_64 m_rng{kSeed};
    QStringList m_folders;
    QStringList m_linkable;
    QSet<QString> m_paths;
    qint64 m_files = 0, m_bytes = 0;
};

// Makes the tree unless a complete one of this layout is there; returns its number of files
// (0 when it cannot be made).
qint64 ensureContentTree(const QString& tree) {
    QFile marker(contentMarker(tree));
    if (marker.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> line = marker.readAll().trimmed().split('\t');
        if (line.size() == 2 && line[1] == kLayout && line[0].toLongLong() == kTotalFiles)
            return kTotalFiles;
        marker.close();
    }
    std::printf("making a tree of %lld files in %s ...\n", kTotalFiles, qPrintable(tree));
    std::fflush(stdout);
    QFile::remove(contentMarker(tree));
    QDir(tree).removeRecursively();
    QElapsedTimer t;
    t.start();
    TreeMaker maker(tree);
    if (!QDir().mkpath(tree) || !maker.make() || maker.files() != kTotalFiles)
        return 0;
    QFile done(contentMarker(tree));
    if (!done.open(QIODevice::WriteOnly))
        return 0;
    done.write(QByteArray::number(maker.files()) + '\t' + kLayout + '\n');
    std::printf("  made in %.1f s, %.0f MiB\n", t.elapsed() / 1000.0, maker.bytes() / double(MiB));
    return maker.files();
}

// ---- The runs ----

QByteArray quoted(const QString& path) {
    return '\'' + QFile::encodeName(path) + '\'';
}

// Every non-empty file is a candidate; the files of one size are split by their bytes.
const char* const kVastelOptions[] = {"dups",     "--criterion", "size",   "--content",
                                      "--larger", "1",           "--unit", "bytes"};

QStringList vastelArguments(const QString& tree) {
    QStringList args;
    for (const char* option : kVastelOptions)
        args << QLatin1String(option);
    return args << tree;
}

struct Tool {
    Tool(const char* n, const QByteArray& c) : name(QLatin1String(n)), command(c) {}
    QString name;
    QByteArray command; // a shell command, standard output and error to /dev/null
    bool installed = true;
    std::vector<double> warm;
    double cold = -1;
};

QList<Tool> tools(const QString& cli, const QString& tree, const QString& world) {
    const QByteArray t = quoted(tree);
    QByteArray vastel = quoted(cli);
    for (const char* option : kVastelOptions)
        vastel += QByteArray(" ") + option;
    QList<Tool> list = {
        Tool("vastel-cli", vastel + ' ' + t),
        Tool("jdupes", "jdupes -r -q -H " + t),
        Tool("rdfind", "rdfind -dryrun true -outputname rdfind.txt " + t),
        Tool("rmlint", "rmlint -T df -o fdupes:rmlint.txt " + t),
    };
    for (Tool& tool : list) {
        // Each runs in the sandbox's folder, so that nothing it might write lands elsewhere.
        tool.command = "cd " + quoted(world) + " && " + tool.command + " > /dev/null 2>&1";
        if (tool.name != QLatin1String("vastel-cli"))
            tool.installed = !QStandardPaths::findExecutable(tool.name).isEmpty();
    }
    return list;
}

// Seconds of one run; exits when the command fails.
double runOnce(const Tool& tool) {
    const double seconds = commandSeconds(tool.command);
    if (seconds < 0) {
        std::fprintf(stderr, "bench content: %s failed: %s\n", qPrintable(tool.name),
                     tool.command.constData());
        std::exit(1);
    }
    return seconds;
}

// Drops the page, folder and inode caches; false when this process may not.
bool dropCaches() {
    if (std::system("sync") != 0)
        return false;
    QFile f(QStringLiteral("/proc/sys/vm/drop_caches"));
    return f.open(QIODevice::WriteOnly) && f.write("3\n") == 2 && f.flush();
}

// The child's part: runs the program with its standard output to `output`, waits for it and
// prints the peak resident KiB of what it waited for.
int reportChildPeak(const QString& output, const QString& program, const QStringList& args) {
    QProcess child;
    child.setStandardOutputFile(output);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(program, args);
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit)
        return 1;
    struct rusage usage {};
    if (::getrusage(RUSAGE_CHILDREN, &usage) != 0)
        return 1;
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

qint64 childPeakKiB(const QString& self, const QString& output, const QString& cli,
                    const QStringList& args) {
    QProcess child;
    child.start(self, QStringList{QStringLiteral("--rss"), output, cli} + args);
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toLongLong();
}

// The number of distinct group numbers (the first field) of vastel-cli's lines.
qint64 countGroups(const QString& output) {
    QFile f(output);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    QSet<QByteArray> groups;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine();
        if (!line.trimmed().isEmpty())
            groups.insert(line.left(line.indexOf('\t')));
    }
    return groups.size();
}

QByteArray ratioText(double ours, const Tool& peer, double theirs) {
    if (!peer.installed)
        return "not installed";
    return "ratio " + QByteArray::number(ours / theirs, 'f', 2);
}

QByteArray ratios(const QList<Tool>& list, const std::function<double(const Tool&)>& time) {
    QByteArray text;
    for (qsizetype i = 1; i < list.size(); ++i) {
        if (i > 1)
            text += ", ";
        text += ratioText(time(list[0]), list[i], list[i].installed ? time(list[i]) : 0) + " vs " +
                list[i].name.toLatin1();
    }
    return text;
}

QString emptyFolder(const QString& world) {
    return world + QStringLiteral("/empty");
}

// Points the settings, data, home and cache folders of everything started from here at folders
// of `world`.
void enterSandbox(const QString& world) {
    const char* const folders[][2] = {{"VASTEL_CONFIG_DIR", "config"},
                                      {"VASTEL_DATA_DIR", "data"},
                                      {"VASTEL_WINDOWS_DIR", "windows"},
                                      {"VASTEL_SYSTEM_DIR", "system"},
                                      {"HOME", "home"},
                                      {"XDG_DATA_HOME", "xdg-data"},
                                      {"XDG_CONFIG_HOME", "xdg-config"},
                                      {"XDG_CACHE_HOME", "xdg-cache"}};
    for (const auto& [name, folder] : folders) {
        const QString path = world + QLatin1Char('/') + QLatin1String(folder);
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }
    // Drive C is an empty folder (the base run of the memory figure searches it too).
    QDir().mkpath(emptyFolder(world));
    qputenv("VASTEL_DRIVES", "C=" + QFile::encodeName(emptyFolder(world)));
    qunsetenv("VASTEL_REGISTRY");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("--rss"))
        return reportChildPeak(args[2], args[3], args.mid(4));
    // The rounds take minutes; each line shows as soon as it is known, also in a log file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const QString tree = args.size() > 1 ? args[1] : contentTree();
    const QString cli = app.applicationDirPath() + QStringLiteral("/../vastel-cli");
    if (!QFileInfo(cli).isExecutable()) {
        std::fprintf(stderr, "bench content: no %s (build vastel-cli first)\n", qPrintable(cli));
        return 1;
    }
    const qint64 files = ensureContentTree(tree);
    if (files == 0) {
        std::fprintf(stderr, "bench content: cannot make the tree in %s\n", qPrintable(tree));
        return 1;
    }
    QTemporaryDir world;
    if (!world.isValid())
        return 1;
    enterSandbox(world.path());
    QList<Tool> list = tools(cli, tree, world.path());

    // Warm-up, then the rounds in turn.
    for (const Tool& tool : list)
        if (tool.installed)
            std::printf("  warm-up: %s %.3f s\n", qPrintable(tool.name), runOnce(tool));
    for (int round = 0; round < kRounds; ++round) {
        QByteArray line = "  round " + QByteArray::number(round + 1) + ":";
        for (Tool& tool : list) {
            if (!tool.installed)
                continue;
            tool.warm.push_back(runOnce(tool));
            line += ' ' + tool.name.toLatin1() + ' ' +
                    QByteArray::number(tool.warm.back(), 'f', 3) + " s";
        }
        std::printf("%s\n", line.constData());
    }

    // Groups and memory: once more below a fresh child, and on an empty folder for the base.
    const QString output = world.path() + QStringLiteral("/groups.tsv");
    const qint64 peak = childPeakKiB(app.applicationFilePath(), output, cli, vastelArguments(tree));
    const qint64 groups = countGroups(output);
    const QStringList emptyRun = vastelArguments(emptyFolder(world.path()));
    const qint64 base =
        childPeakKiB(app.applicationFilePath(), QProcess::nullDevice(), cli, emptyRun);
    const double bytesPerFile = double(peak - base) * 1024.0 / double(files);
    QByteArray medians = "medians:";
    for (const Tool& tool : list)
        if (tool.installed)
            medians += ' ' + tool.name.toLatin1() + ' ' +
                       QByteArray::number(median(tool.warm), 'f', 3) + " s";
    std::printf("%s; vastel-cli peak %.1f MiB, %.1f MiB on an empty folder\n", medians.constData(),
                peak / 1024.0, base / 1024.0);

    std::printf("bench content: %s, files %lld, groups %lld, bytes per file %.0f\n",
                ratios(list, [](const Tool& t) { return median(t.warm); }).constData(), files,
                groups, bytesPerFile);

    if (!QFileInfo(QStringLiteral("/proc/sys/vm/drop_caches")).isWritable() || !dropCaches()) {
        std::printf("bench content cold: drop_caches not writable\n");
        return 0;
    }
    QByteArray cold = "  cold:";
    for (Tool& tool : list) {
        if (!tool.installed)
            continue;
        dropCaches();
        tool.cold = runOnce(tool);
        cold += ' ' + tool.name.toLatin1() + ' ' + QByteArray::number(tool.cold, 'f', 3) + " s";
    }
    std::printf("%s\n", cold.constData());
    std::printf("bench content cold: %s\n",
                ratios(list, [](const Tool& t) { return t.cold; }).constData());
    return 0;
}
