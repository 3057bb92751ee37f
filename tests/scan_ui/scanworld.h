#pragma once

#include "support/sandbox.h"

#include <QDir>

// A sandbox with a small registry of file types: .doc and .txt with class and description,
// .cfg with a class name only, and .backup (too long to be offered as a pattern).
inline void useSmallRegistry(SandboxWorld& world) {
    world.useRegistry("REGEDIT4\r\n"
                      "\r\n"
                      "[HKEY_CLASSES_ROOT\\.txt]\r\n"
                      "@=\"txtfile\"\r\n"
                      "[HKEY_CLASSES_ROOT\\txtfile]\r\n"
                      "@=\"Text Document\"\r\n"
                      "[HKEY_CLASSES_ROOT\\.DOC]\r\n"
                      "@=\"Word.Document\"\r\n"
                      "[HKEY_CLASSES_ROOT\\Word.Document]\r\n"
                      "@=\"Word document\"\r\n"
                      "[HKEY_CLASSES_ROOT\\.cfg]\r\n"
                      "@=\"cfgfile\"\r\n"
                      "[HKEY_CLASSES_ROOT\\.backup]\r\n"
                      "@=\"backupfile\"\r\n");
}

// Restores the process's current folder when a test has moved it.
struct CurrentFolderGuard {
    QString saved = QDir::currentPath();
    ~CurrentFolderGuard() { QDir::setCurrent(saved); }
};
