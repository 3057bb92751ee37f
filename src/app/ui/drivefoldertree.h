#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QTreeView;
class DriveTreeFilter;

// A drive list above a folder tree of the chosen drive: the drive's root folder is the tree's
// only top-level item, with the folders below it.  Choosing a drive moves the tree to its root;
// the folder that is current in the tree is the chosen folder.
class DriveFolderTree : public QWidget {
    Q_OBJECT
public:
    // The drive list and the tree carry the given object names.
    DriveFolderTree(const QString& driveListName, const QString& treeName,
                    QWidget* parent = nullptr);

    // Moves the tree (and the drive list) to the folder.
    void setFolder(const QString& path);
    QString folder() const { return m_folder; }
    // Opens the chosen folder in the tree, so that a subfolder just made there shows.
    void expandCurrent();

    QComboBox* driveList() const { return m_drives; }
    QTreeView* tree() const { return m_tree; }

signals:
    // The chosen folder changed, by setFolder() or by the user.
    void folderChanged(const QString& folder);

private:
    void driveChosen(int index);
    void treeMoved();

    QString m_folder;
    QComboBox* m_drives;
    QTreeView* m_tree;
    QFileSystemModel* m_model;
    DriveTreeFilter* m_filter;
};
