#include "app/zipsettings.h"

QString readZipPath(const IniFile& ini, const QString& def) {
    return ini.readString(QStringLiteral("ZipFile"), QStringLiteral("Path"), def);
}

bool writeZipPath(IniFile& ini, const QString& path) {
    return ini.writeString(QStringLiteral("ZipFile"), QStringLiteral("Path"), path);
}

QString readZipComment(const IniFile& ini) {
    return ini.readString(QStringLiteral("ZipFile"), QStringLiteral("Comment"), QString());
}

bool writeZipComment(IniFile& ini, const QString& comment) {
    return ini.writeString(QStringLiteral("ZipFile"), QStringLiteral("Comment"), comment);
}
