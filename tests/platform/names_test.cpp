#include "platform/names.h"

#include <QList>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using platform::decodeName;
using platform::encodeName;

TEST(Names, EveryByteOfABadNameSurvivesTheRoundTrip) {
    // Stray continuation bytes, an overlong "/", an encoded surrogate, a cut-off sequence and a
    // Latin-1 name: each bad byte becomes one stand-in character and comes back unchanged.
    const QList<QByteArray> bad = {"a\x80z",           "\xc0\xaf", "\xed\xa0\x80",  "ab\xe2\x82",
                                   "r\xe9sum\xe9.doc", "\xff\xfe", "ok\xc3\xa9\xff"};
    for (const QByteArray& bytes : bad) {
        const QString name = decodeName(bytes);
        EXPECT_EQ(encodeName(name), bytes) << bytes.toHex().constData();
    }
    EXPECT_EQ(decodeName(QByteArray("a\x80z")).size(), 3);
    EXPECT_EQ(decodeName(QByteArray("ok\xc3\xa9\xff")), QString::fromUtf8("oké") + QChar(0xDCFF));

    // Any byte string at all (no NUL or "/", as in a file name).
    QRandomGenerator random(1234);
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        const int length = 1 + int(random.bounded(12));
        for (int i = 0; i < length; ++i) {
            char c;
            do
                c = char(random.bounded(256));
            while (c == '\0' || c == '/');
            bytes.append(c);
        }
        ASSERT_EQ(encodeName(decodeName(bytes)), bytes) << bytes.toHex().constData();
    }
}
