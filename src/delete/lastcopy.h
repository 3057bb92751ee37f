#pragma once

#include "app/grid.h"
#include "delete/reallydelete.h"
#include "dup/contents.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

// The last-copy guard.  When the files handed over for disposal come from groups of duplicates,
// every content keeps at least one copy: a file goes only while a file that stays holds the same
// bytes, proven by reading both.  Where every copy of a content would go, the first of them in
// its group stays; a file whose contents no other file of its group shares stays.  A file the
// user chose explicitly goes all the same.  QtCore only; the deletion window and the command
// line share it.
namespace lastcopy {

// The groups of duplicates the handed-over files come from: every file of each group, those
// handed over and those that stay, in the order the search listed them, with the identities
// they were listed with.
struct CopyGroups {
    QList<ListedFiles> groups;
    // True when the search already split the groups by contents, so that each group holds
    // copies of one content; otherwise they are read when proved.
    bool proven = false;
};

// Why a file is kept: "no kept copy has the same contents" (see disposalText::keptAsLastCopy).
QString reasonText();

class Guard {
public:
    Guard() = default; // guards nothing
    explicit Guard(const CopyGroups& groups);

    // True when there are groups to guard.
    bool active() const { return !m_files.isEmpty(); }
    // The bytes of all files of the groups, as listed.
    qint64 listedBytes() const;

    // Sorts the files of every group into sets of identical contents: by reading them when the
    // search did not, otherwise each group is one set.  Files that could not be read, changed,
    // or share their contents with no other file of their group are in no set.  False when
    // the reading was aborted: then no file is in a set, so that none goes unchosen.
    bool prove(const dups::ContentOptions& options = {});

    // The paths of `going` (files that would go) that stay as last copies, in the order of
    // `going`.  A file of `chosen` goes whatever; the others need a copy of their contents
    // that stays (not going, or held back here).  Files of no group are not looked at.
    // Remembers for every file that may go the copies that stay, for check().
    QStringList holdBack(const QStringList& going, const QSet<QString>& chosen = {});

    // Asked right before a file goes: empty when it may go (a file of no group, one chosen
    // explicitly, or one a staying copy still matches byte for byte, both as they were
    // listed); otherwise the reason it stays.
    QString check(const ListedFile& file) const;

private:
    QList<ListedFile> m_files;                  // every file of every group, in group order
    QList<int> m_setOf;                         // per file: its set of identical contents, or -1
    QList<QList<qsizetype>> m_sets;             // indexes into m_files, in group order
    QList<QList<qsizetype>> m_groups;           // indexes into m_files, as handed over
    QHash<QString, qsizetype> m_index;          // path -> index into m_files
    QHash<QString, QList<qsizetype>> m_keepers; // path of a file that may go -> copies that stay
    QSet<QString> m_chosen;
    bool m_proven = false;
};

} // namespace lastcopy

// The groups of a grid of duplicates (TextGrid::group) that hold a marked row: every row of
// each, with its file and the identity it lists, for the last-copy guard.  proven tells whether
// the search split the groups by contents.
lastcopy::CopyGroups copyGroupsOf(const TextGrid& grid,
                                  const std::function<QString(int row)>& pathOf, bool proven);
