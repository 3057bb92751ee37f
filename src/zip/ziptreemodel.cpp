#include "zip/ziptreemodel.h"

namespace zip {

ZipTreeModel::ZipTreeModel(const ZipReader& reader, QObject* parent)
    : QAbstractItemModel(parent), m_reader(reader) {}

void ZipTreeModel::change(const std::function<void()>& action) {
    beginResetModel();
    action();
    endResetModel();
}

const ZipNode& ZipTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid())
        return m_reader.tree();
    return *static_cast<const ZipNode*>(index.internalPointer());
}

QModelIndex ZipTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || (parent.isValid() && parent.column() != 0))
        return {};
    const ZipNode& up = node(parent);
    if (size_t(row) >= up.children.size())
        return {};
    return createIndex(row, 0, up.children[size_t(row)].get());
}

QModelIndex ZipTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    const ZipNode* up = node(child).parent;
    if (!up || !up->parent) // the root has no index
        return {};
    return createIndex(up->row, 0, up);
}

int ZipTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(node(parent).children.size());
}

int ZipTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool ZipTreeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant ZipTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const ZipNode& n = node(index);
    switch (role) {
    case Qt::DisplayRole:
        return n.name;
    case Qt::ToolTipRole:
    case PathRole:
        return n.path;
    case FolderRole:
        return n.folder;
    default:
        return {};
    }
}

} // namespace zip
