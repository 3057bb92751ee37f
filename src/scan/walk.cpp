#include "scan/walk.h"

#include "platform/drives.h"

#include <cerrno>

namespace scan {

namespace {

// Errors of opening an entry that mean "this is no folder of ours to enter": not a folder
// after all, a symbolic link, or the root of another file system.  They are not reported.
bool isQuietSkip(int error) {
    return error == ENOTDIR || error == ELOOP || error == EXDEV;
}

} // namespace

struct Walker::Level {
    platform::DirSearch search;
    WalkFolder folder;
    bool inFiles = false; // the subfolders are done, the folder's own entries are being read
};

QString cantOpenDriveMessage(const QString& root) {
    return QStringLiteral("Can't open drive ") + root;
}

Walker::Walker(const bool& abortFlag) : m_abort(abortFlag) {}

Walker::~Walker() = default;

void Walker::setPattern(const QString& pattern) {
    m_pattern = platform::WildcardPattern(pattern);
}

Walker::Level& Walker::levelAt(int depth) {
    while (int(m_levels.size()) <= depth)
        m_levels.push_back(std::make_unique<Level>());
    return *m_levels[size_t(depth)];
}

void Walker::tick(const WalkFolder& folder) {
    if (!m_callbacks.pumpEvents && !m_callbacks.progress)
        return;
    if (m_sincePump.isValid() && m_sincePump.elapsed() < m_pumpInterval)
        return;
    if (m_callbacks.progress)
        m_callbacks.progress(folder.path);
    if (m_callbacks.pumpEvents)
        m_callbacks.pumpEvents();
    m_sincePump.start();
}

void Walker::scanAllDrives(const QList<QChar>& letters) {
    for (const QChar letter : letters) {
        if (aborted())
            return;
        if (!platform::isDriveReady(letter))
            continue;
        const auto drive = platform::driveByLetter(letter);
        if (!drive)
            continue;
        if (!walk(drive->root, drive->letter) && !aborted() && m_callbacks.driveFailed)
            m_callbacks.driveFailed(drive->letter, drive->root);
    }
}

bool Walker::walkTree(const QString& root) {
    return walk(root, QChar());
}

bool Walker::walk(const QString& givenRoot, QChar drive) {
    if (aborted())
        return false;
    QString root = givenRoot;
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    Level& top = levelAt(0);
    if (!top.search.open(root))
        return false;
    m_sincePump.start();

    top.folder.path = root;
    top.folder.depth = 0;
    top.folder.drive = drive;
    top.folder.root = root;
    top.inFiles = false;
    if (m_callbacks.enterFolder)
        m_callbacks.enterFolder(top.folder);

    // The path from the root to the folder being read is the stack levels 0..depth; each level
    // keeps its folder open so that its search goes on where it stopped.
    int depth = 0;
    while (depth >= 0) {
        Level& level = *m_levels[size_t(depth)];

        if (!level.inFiles) {
            if (!aborted() && level.search.nextFolder()) {
                tick(level.folder);
                if (aborted())
                    continue;
                Level& child = levelAt(depth + 1);
                if (!child.search.openSubfolder(level.search)) {
                    const int error = child.search.error();
                    if (!isQuietSkip(error) && m_callbacks.folderSkipped)
                        m_callbacks.folderSkipped(child.search.folder(), error);
                    continue;
                }
                child.folder.path = child.search.folder();
                child.folder.depth = depth + 1;
                child.folder.drive = drive;
                child.folder.root = root;
                child.inFiles = false;
                ++depth;
                if (m_callbacks.enterFolder)
                    m_callbacks.enterFolder(child.folder);
                continue;
            }
            level.inFiles = true;
            if (!aborted())
                level.search.start(m_pattern, m_fileMask);
        }

        if (!aborted() && level.search.next(&m_entry)) {
            if (m_callbacks.file)
                m_callbacks.file(level.folder, m_entry);
            ++m_fileCount;
            tick(level.folder);
            continue;
        }

        level.search.close();
        if (m_callbacks.leaveFolder)
            m_callbacks.leaveFolder(level.folder, !aborted());
        --depth;
    }
    return true;
}

} // namespace scan
