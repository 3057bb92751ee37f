#pragma once

#include <QString>

class QListWidget;
class QWidget;

// The list of temporary-file patterns that the pattern editor and quick clean show: several
// items can be selected, and each item's description (after its TAB) is lined up at a tab stop
// of 16 dialog units (four average characters), or the next multiple of it.
QListWidget* patternListBox(QWidget* parent, const QString& name, const QString& hint);

// Puts the items in the list, none selected.
void setPatternItems(QListWidget* list, const QStringList& items);
