#include "app/format.h"

#include "platform/paths.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

QString JoinPath(const QString& folder, const QString& name) {
    return platform::joinPath(folder, name);
}

QString FormatThousands(qint64 value) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value);
}

int compareIgnoringCase(QStringView a, QStringView b) {
    const char16_t* pa = a.utf16();
    const char16_t* pb = b.utf16();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = pa[i];
        const char16_t cb = pb[i];
        if (ca == cb)
            continue;
        char32_t fa, fb;
        if (ca < 128 && cb < 128) {
            fa = ca >= u'A' && ca <= u'Z' ? ca + 32 : ca;
            fb = cb >= u'A' && cb <= u'Z' ? cb + 32 : cb;
        } else {
            fa = QChar::toCaseFolded(char32_t(ca));
            fb = QChar::toCaseFolded(char32_t(cb));
        }
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

void sortIgnoringCase(QStringList& texts) {
    std::sort(texts.begin(), texts.end(), [](const QString& a, const QString& b) {
        const int c = compareIgnoringCase(a, b);
        return c != 0 ? c < 0 : a < b;
    });
}

qint64 SafeStrToInt(const QString& text) {
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    const QString rest = text.mid(i);
    if (rest.isEmpty())
        return 0;
    for (int k = 0; k < rest.size(); ++k) {
        const QChar c = rest.at(k);
        const bool sign = k == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-'));
        if (!sign && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return 0;
    }
    bool ok = false;
    const qint64 v = rest.toLongLong(&ok, 10);
    return ok ? v : 0;
}

QString shortDateFormat() {
    QString f = QLocale().dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy")))
        f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}

QString longTimeFormat() {
    QString f = QLocale().timeFormat(QLocale::LongFormat);
    // Drop the time-zone field ("t", "tt", ...) and the blanks beside it.
    f.replace(QRegularExpression(QStringLiteral("\\s*\\bt+\\b\\s*")), QStringLiteral(" "));
    return f.trimmed();
}

QString shortDateTimeFormat() {
    return shortDateFormat() + QLatin1Char(' ') + QLocale().timeFormat(QLocale::ShortFormat);
}

QString SafeDateToStr(const QDateTime& value) {
    const QDate d = value.isValid() ? value.date() : QDate();
    if (!d.isValid())
        return QLocale().toString(QDate(1980, 1, 1), shortDateFormat());
    return QLocale().toString(d, shortDateFormat());
}

namespace {

// 1 for Sunday to 7 for Saturday.
int sundayFirstDayOfWeek(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

QString plural(qint64 k) {
    return k > 1 ? QStringLiteral("s") : QString();
}

// Years and months of a span of more than two years: the years counted one short, the months
// beyond them folded back into years.
void yearsAndMonths(qint64 years, qint64 months, qint64* y, qint64* m) {
    *y = years - 1;
    *m = months - 12 * *y;
    if (*m >= 12) {
        *y += *m / 12;
        *m = *m % 12;
    }
}

} // namespace

QString RelativeDate(const QDateTime& value, const QDateTime& now) {
    if (!value.isValid() || !now.isValid())
        return QString();
    const QDate d = value.date();
    const QDate n = now.date();
    const qint64 dayD = d.toJulianDay();
    const qint64 dayN = n.toJulianDay();
    const bool future = dayN < dayD;
    const qint64 days = future ? dayD - dayN : dayN - dayD;
    if (days == 0)
        return QStringLiteral("Today");
    if (days == 1)
        return future ? QStringLiteral("Tomorrow") : QStringLiteral("Yesterday");

    if (future) {
        const qint64 weeks = (days + sundayFirstDayOfWeek(n) - 1) / 7;
        const qint64 months =
            (qint64(d.year()) * 12 + d.month()) - (qint64(n.year()) * 12 + n.month());
        const qint64 years = d.year() - n.year();
        if (7 - sundayFirstDayOfWeek(n) >= days)
            return QStringLiteral("This week");
        if (weeks < 2)
            return QStringLiteral("Next week");
        if (months < 3)
            return QString::number(weeks) + QStringLiteral(" wks");
        if (years > 2) {
            qint64 y = 0, m = 0;
            yearsAndMonths(years, months, &y, &m);
            QString text = QString::number(y) + QStringLiteral(" yrs");
            if (m > 0)
                text += QLatin1Char(' ') + QString::number(m) + QStringLiteral(" mon") + plural(m);
            return text;
        }
        return QString::number(months) + QStringLiteral(" mon") + plural(months);
    }

    const qint64 weeks = (days + sundayFirstDayOfWeek(d) - 1) / 7;
    const qint64 months = (qint64(n.year()) * 12 + n.month()) - (qint64(d.year()) * 12 + d.month());
    const qint64 years = n.year() - d.year();
    if (weeks == 0)
        return QStringLiteral("This week");
    if (weeks == 1)
        return QStringLiteral("Last week");
    if (months < 3)
        return QString::number(weeks) + QStringLiteral(" wks ago");
    if (years < 3)
        return QString::number(months) + QStringLiteral(" mon") + plural(months) +
               QStringLiteral(" ago");
    qint64 y = 0, m = 0;
    yearsAndMonths(years, months, &y, &m);
    QString text = QString::number(y) + QStringLiteral(" yrs ");
    if (m > 0)
        text += QString::number(m) + QStringLiteral(" mon") + plural(m) + QLatin1Char(' ');
    return text + QStringLiteral("ago");
}

QString RelativeDate(const QDateTime& value) {
    return RelativeDate(value, QDateTime::currentDateTime());
}

namespace {
const QDate kDayZero(1899, 12, 30);
}

double toDayNumber(const QDateTime& value) {
    const double day = double(kDayZero.daysTo(value.date()));
    const double fraction = value.time().msecsSinceStartOfDay() / 86400000.0;
    return day + fraction;
}

QDateTime fromDayNumber(double days) {
    const double whole = std::floor(days);
    const qint64 ms = qint64(std::llround((days - whole) * 86400000.0));
    return QDateTime(kDayZero.addDays(qint64(whole)), QTime(0, 0)).addMSecs(ms);
}
