#pragma once

// Pieces the window tests of the clean tools share.

#include "app/inifile.h"
#include "app/shell.h"
#include "support/children.h"
#include "support/sandbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QObject>
#include <QPushButton>
#include <QString>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace cleanui {

inline QListWidget* list(QObject* w, const char* name) {
    return child<QListWidget>(w, name);
}

inline QStringList itemTexts(const QListWidget* l) {
    QStringList texts;
    for (int row = 0; row < l->count(); ++row)
        texts << l->item(row)->text();
    return texts;
}

inline QList<int> selectedRowsOf(const QListWidget* l) {
    QList<int> rows;
    for (int row = 0; row < l->count(); ++row) {
        if (l->item(row)->isSelected())
            rows << row;
    }
    return rows;
}

inline void select(QListWidget* l, const QList<int>& rows) {
    l->clearSelection();
    for (int row : rows)
        l->item(row)->setSelected(true);
}

// Replaces the settings file by this text.
inline void writeSettings(const QByteArray& text) {
    const QString path = settingsFile().path();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

// Descriptions of the temporary-file extensions as the registry view gives them, and no
// protected folder but what a test adds.
inline void setUpWorld(SandboxWorld& world) {
    world.useRegistry("REGEDIT4\r\n\r\n"
                      "[HKEY_CLASSES_ROOT\\.tmp]\r\n@=\"tmpfile\"\r\n"
                      "[HKEY_CLASSES_ROOT\\tmpfile]\r\n@=\"Temporary File\"\r\n"
                      "[HKEY_CLASSES_ROOT\\.log]\r\n@=\"logfile\"\r\n"
                      "[HKEY_CLASSES_ROOT\\logfile]\r\n@=\"Log File\"\r\n");
    shell::protection().build(nullptr, {}, QString(), QString());
}

} // namespace cleanui
