#include "platform/mimenames.h"

#include <QHash>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <vector>

namespace platform {

namespace {

constexpr qsizetype kMaxRemembered = 4096;

// A pattern the database matches by a table of extensions: "*." and a plain extension.
bool isPlainExtension(const QString& glob) {
    if (glob.size() < 3 || !glob.startsWith(QLatin1String("*.")))
        return false;
    for (qsizetype i = 2; i < glob.size(); ++i)
        if (QStringLiteral("*?[]\\.").contains(glob[i]))
            return false;
    return true;
}

// The longest run of plain characters of a pattern, in lower case: a name the pattern matches
// holds it (ignoring case).
QString longestLiteral(const QString& glob) {
    static const QRegularExpression wild(QStringLiteral("\\*|\\?|\\[[^\\]]*\\]"));
    QString longest;
    for (const QString& piece : glob.split(wild))
        if (piece.size() > longest.size())
            longest = piece;
    return longest.toLower();
}

QRegularExpression wildcard(const QString& glob, QRegularExpression::PatternOptions options) {
    QRegularExpression e(QRegularExpression::wildcardToRegularExpression(glob), options);
    e.optimize();
    return e;
}

// The database's glob patterns, read once: the plain extensions, and the other patterns ("core",
// "README*", "*.so.[0-9]*", "*.tar.gz") each as an expression with and without regard to case,
// and all of them in one expression that ignores case.
//
// Which of those patterns match a name, and its plain extension, decide what the database
// answers for it; so the answers are kept by that, a few hundred at most, and a name that
// matches no pattern is never asked about at all.
class NameTypes {
public:
    NameTypes() {
        QStringList others;
        const QList<QMimeType> types = m_db.allMimeTypes();
        for (const QMimeType& type : types)
            for (const QString& glob : type.globPatterns()) {
                if (isPlainExtension(glob)) {
                    m_extensions.insert(glob.mid(2).toLower());
                    continue;
                }
                others << glob;
                m_literals << longestLiteral(glob);
                m_exact.push_back(wildcard(glob, {}));
                m_folded.push_back(wildcard(glob, QRegularExpression::CaseInsensitiveOption));
            }
        for (QString& glob : others)
            glob = QRegularExpression::wildcardToRegularExpression(glob);
        m_any = QRegularExpression(others.join(QLatin1Char('|')),
                                   QRegularExpression::CaseInsensitiveOption);
        m_any.optimize();
    }

    QString description(const QString& name) {
        const QString key = keyOf(name);
        if (key.isEmpty())
            return QString();
        const auto known = m_answers.constFind(key);
        if (known != m_answers.cend())
            return known.value();
        if (m_answers.size() >= kMaxRemembered)
            m_answers.clear();
        const QMimeType type = m_db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
        const QString answer = type.isValid() && !type.isDefault() ? type.comment() : QString();
        return m_answers.insert(key, answer).value();
    }

private:
    // The plain extension and the patterns that match the name, as text; empty when nothing
    // matches.
    QString keyOf(const QString& name) const {
        QString key;
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
        if (!extension.isEmpty() && m_extensions.contains(extension.toLower()))
            key = extension;
        if (!m_any.match(name).hasMatch())
            return key;
        key += QLatin1Char('/');
        const QString folded = name.toLower();
        for (size_t i = 0; i < m_exact.size(); ++i) {
            if (folded.contains(m_literals[qsizetype(i)]) && m_folded[i].match(name).hasMatch())
                key += QStringLiteral("%1%2,").arg(i).arg(
                    m_exact[i].match(name).hasMatch() ? QLatin1Char('=') : QLatin1Char('~'));
        }
        return key;
    }

    QMimeDatabase m_db;
    QSet<QString> m_extensions;
    std::vector<QRegularExpression> m_exact, m_folded;
    QStringList m_literals;
    QRegularExpression m_any;
    QHash<QString, QString> m_answers;
};

} // namespace

QString mimeDescriptionOfName(const QString& fileName) {
    static NameTypes types;
    return types.description(fileName);
}

} // namespace platform
