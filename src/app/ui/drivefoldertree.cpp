#include "app/ui/drivefoldertree.h"

#include "platform/drives.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

bool isAncestorOrSelf(const QString& folder, const QString& path) {
    if (folder == path || folder == QLatin1String("/"))
        return true;
    return path.startsWith(folder) && path.at(folder.size()) == QLatin1Char('/');
}

} // namespace

// Shows one drive of the file system model: its root folder as the only top-level item with
// the folders below it.  The folders on the way down to the root stay in the model (they hold
// it) but are never shown, as the view starts below them.
class DriveTreeFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setRoot(const QString& root) {
        m_root = root;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* model = static_cast<const QFileSystemModel*>(sourceModel());
        const QString path = model->filePath(model->index(row, 0, parent));
        return isAncestorOrSelf(m_root, path) || isAncestorOrSelf(path, m_root);
    }

private:
    QString m_root = QStringLiteral("/");
};

DriveFolderTree::DriveFolderTree(const QString& driveListName, const QString& treeName,
                                 QWidget* parent)
    : QWidget(parent) {
    m_drives = new QComboBox(this);
    m_drives->setObjectName(driveListName);
    for (const platform::Drive& d : platform::drives())
        m_drives->addItem(platform::driveEntryText(d), QString(d.letter));

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_filter = new DriveTreeFilter(this);
    m_filter->setSourceModel(m_model);
    m_filter->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_filter->sort(0, Qt::AscendingOrder);

    m_tree = new QTreeView(this);
    m_tree->setObjectName(treeName);
    m_tree->setModel(m_filter);
    m_tree->setHeaderHidden(true);
    for (int c = 1; c < m_model->columnCount(); ++c)
        m_tree->hideColumn(c);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_drives);
    layout->addWidget(m_tree, 1);

    connect(m_drives, qOverload<int>(&QComboBox::activated), this, &DriveFolderTree::driveChosen);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DriveFolderTree::treeMoved);
}

void DriveFolderTree::setFolder(const QString& path) {
    const auto drive = platform::driveOfPath(path);
    const QString root = drive ? drive->root : QStringLiteral("/");
    m_folder = path;

    if (drive) {
        const int entry = m_drives->findData(QString(drive->letter));
        if (entry >= 0)
            m_drives->setCurrentIndex(entry);
    }

    {
        const QSignalBlocker block(m_tree->selectionModel());
        m_model->setRootPath(root);
        m_filter->setRoot(root);
        const QModelIndex rootIndex = m_filter->mapFromSource(m_model->index(root));
        m_tree->setRootIndex(rootIndex.parent());
        m_tree->expand(rootIndex);
        const QModelIndex current = m_filter->mapFromSource(m_model->index(path));
        if (current.isValid()) {
            for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
                m_tree->expand(up);
            m_tree->setCurrentIndex(current);
            m_tree->scrollTo(current);
        }
    }
    emit folderChanged(m_folder);
}

void DriveFolderTree::expandCurrent() {
    // The model watches the folders it has read; opening the chosen one shows its new child.
    const QModelIndex current = m_filter->mapFromSource(m_model->index(m_folder));
    if (current.isValid())
        m_tree->expand(current);
}

void DriveFolderTree::driveChosen(int index) {
    const QString letter = m_drives->itemData(index).toString();
    const auto drive = platform::driveByLetter(letter.isEmpty() ? QChar() : letter.at(0));
    if (drive)
        setFolder(drive->root);
}

void DriveFolderTree::treeMoved() {
    const QModelIndex source = m_filter->mapToSource(m_tree->currentIndex());
    if (!source.isValid())
        return;
    m_folder = m_model->filePath(source);
    emit folderChanged(m_folder);
}
