// Reads any bytes as a settings file, then writes a value into each of its first sections and
// into a new one, checking that the value reads back, that every other section reads as before,
// and that the file keeps every byte it had before the change where nothing changed.

#include "app/inifile.h"

#include "fuzzsupport.h"

#include <algorithm>

namespace {

// The section names of a file, as the reader sees them (first line may carry a byte order mark).
QStringList sectionNames(const QByteArray& bytes) {
    QStringList names;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size() && names.size() < 4; ++i) {
        QString text = QString::fromUtf8(lines[i]);
        if (i == 0 && text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        text = text.trimmed();
        const qsizetype close = text.lastIndexOf(']');
        if (text.startsWith('[') && close > 0) {
            const QString name = text.mid(1, close - 1).trimmed();
            if (!names.contains(name, Qt::CaseInsensitive))
                names << name;
        }
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::scratchFolder() + QStringLiteral("/settings.ini");
    const QByteArray bytes = fuzz::bytesOf(data, size);
    fuzz::writeFile(path, bytes);

    IniFile ini(path);
    QStringList sections = sectionNames(bytes);
    QList<QList<QPair<QString, QString>>> before;
    for (const QString& s : sections) {
        before << ini.readSection(s);
        for (const auto& kv : before.last()) {
            // No value holds a line end, so "\n" cannot be one.
            fuzz::expect(ini.readString(s, kv.first, QStringLiteral("\n")) != "\n",
                         "a listed key reads as missing");
            IniFile::toInteger(kv.second, 0);
        }
    }

    // A new section, then a new key in each existing one.
    if (!sections.contains(QStringLiteral("FuzzAdded"), Qt::CaseInsensitive)) {
        sections << QStringLiteral("FuzzAdded");
        before << QList<QPair<QString, QString>>();
    }
    const QString key = QStringLiteral("FuzzKey");
    for (qsizetype i = 0; i < sections.size(); ++i) {
        const QString value = QStringLiteral("v %1").arg(i);
        fuzz::expect(ini.writeString(sections[i], key, value), "write");
        fuzz::expect(ini.readString(sections[i], key, QString()) == value,
                     "a written value does not read back");
        // The first line of the key gets the value, or a new line is added after the others.
        auto& expected = before[i];
        const auto same = [&key](const auto& kv) {
            return kv.first.compare(key, Qt::CaseInsensitive) == 0;
        };
        const auto at = std::find_if(expected.begin(), expected.end(), same);
        if (at != expected.end())
            at->second = value;
        else
            expected.append({key, value});
        for (qsizetype j = 0; j < sections.size(); ++j)
            fuzz::expect(ini.readSection(sections[j]) == before[j], "a section reads wrong");
    }
    return 0;
}
