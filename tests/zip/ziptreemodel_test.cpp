#include "support/sandbox.h"
#include "zip/archivekit.h"
#include "zip/ziptreemodel.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

// Walks the model from the root: every item's path, "/" added for folders, after checking that
// the item knows its parent and row.
void walk(const zip::ZipTreeModel& model, const QModelIndex& parent, QStringList* out) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex item = model.index(row, 0, parent);
        ASSERT_TRUE(item.isValid());
        ASSERT_EQ(model.parent(item), parent);
        ASSERT_EQ(item.row(), row);
        const bool folder = model.data(item, zip::ZipTreeModel::FolderRole).toBool();
        const QString path = model.data(item, zip::ZipTreeModel::PathRole).toString();
        ASSERT_EQ(path.section('/', -1), model.data(item).toString());
        *out << path + (folder ? "/" : "");
        ASSERT_EQ(model.hasChildren(item), model.rowCount(item) > 0);
        walk(model, item, out);
    }
    ASSERT_FALSE(model.index(model.rowCount(parent), 0, parent).isValid());
    ASSERT_FALSE(model.index(0, 1, parent).isValid());
}

// What the tree of stored names must show: each file and each folder on the way to one, once.
QSet<QString> expectedItems(const QStringList& stored) {
    QSet<QString> out;
    for (const QString& name : stored) {
        const QStringList parts = name.split('/', Qt::SkipEmptyParts);
        const int folders = name.endsWith('/') ? parts.size() : parts.size() - 1;
        for (int k = 1; k <= folders; ++k)
            out << parts.mid(0, k).join('/') + "/";
        if (!name.endsWith('/'))
            out << parts.join('/');
    }
    return out;
}

} // namespace

TEST(ZipTreeModel, ShowsEveryFolderAndFileOnceAndFollowsTheReaderThroughChange) {
    SandboxWorld world;
    QRandomGenerator random(5);
    const QStringList folders = {"home", "home/ann", "home/ann/docs", "srv", "srv/www/x"};
    QStringList stored;
    std::vector<archivekit::RawEntry> entries;
    for (int i = 0; i < 300; ++i) {
        const QString name =
            folders[int(random.bounded(folders.size()))] + QStringLiteral("/file%1.txt").arg(i);
        stored << name;
        entries.push_back({name.toUtf8(), QByteArray::number(i), std::nullopt, {}});
    }
    stored << "empty/folder/";
    entries.push_back({"empty/folder/", {}, std::nullopt, {}});
    const QString first = world.path("first.zip");
    ASSERT_TRUE(archivekit::writeRaw(first, entries));
    const QString second = world.path("second.zip");
    ASSERT_TRUE(archivekit::writeRaw(second, {{"top.txt", "t", std::nullopt, {}}}));

    zip::ZipReader reader;
    zip::ZipTreeModel model(reader);
    EXPECT_EQ(model.rowCount(), 0);

    model.change([&] { ASSERT_TRUE(reader.open(first)); });
    QStringList items;
    walk(model, QModelIndex(), &items);
    EXPECT_EQ(items.size(), QSet<QString>(items.begin(), items.end()).size());
    EXPECT_EQ(QSet<QString>(items.begin(), items.end()), expectedItems(stored));

    model.change([&] { ASSERT_TRUE(reader.open(second)); });
    items.clear();
    walk(model, QModelIndex(), &items);
    EXPECT_EQ(items, QStringList({"top.txt"}));

    model.change([&] { reader.close(); });
    EXPECT_EQ(model.rowCount(), 0);
}
