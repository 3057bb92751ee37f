// Placeholder until the registry view is in place.
#include "stats/filetypes.h"

QString fileTypeDescription(const QString& extension) {
    if (extension == QLatin1String("*."))
        return QStringLiteral("No extension");
    if (extension.isEmpty() || extension.contains(QLatin1Char('*')))
        return QString();
    return extension.mid(1).toUpper() + QStringLiteral(" File");
}

QStringList listRegisteredExtensions(bool withAll) {
    return withAll ? QStringList{QStringLiteral("*.*")} : QStringList();
}

QString extensionOf(const QString& pattern) {
    const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : pattern.mid(dot);
}

QStringList ReadStatFilesFromDisk(const QString&) { return {}; }

bool WriteStatFilesToDisk(const QStringList&, const QString&) { return false; }

QString patternFromTypedText(const QString& text) { return text; }
