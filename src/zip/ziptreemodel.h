#pragma once

#include "zip/zipreader.h"

#include <QAbstractItemModel>
#include <functional>

namespace zip {

// The tree of a zip reader's archive as an item model of one column: folders and files by
// name, in the order the archive holds them.  Items point into the reader's tree, so anything
// that replaces that tree (open, close) runs through change(), which resets the model around it.
class ZipTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        FolderRole = Qt::UserRole + 1, // bool: the item is a folder
        PathRole,                      // QString: the path from the archive's root
    };

    explicit ZipTreeModel(const ZipReader& reader, QObject* parent = nullptr);

    // Runs a change of the reader's tree as a reset of the model.
    void change(const std::function<void()>& action);

    // The node an index stands for; the root for an invalid index.
    const ZipNode& node(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const ZipReader& m_reader;
};

} // namespace zip
