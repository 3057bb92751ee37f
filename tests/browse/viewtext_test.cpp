#include "browse/viewtext.h"

#include <gtest/gtest.h>

using browse::showTextLine;

TEST(ViewText, TabsExpandToTheirStops) {
    const browse::ShownLine line = showTextLine("a\tbc\td", true, 4);
    EXPECT_EQ(line.text, "a   bc  d");
    EXPECT_EQ(line.columnOfByte, (QVector<int>{0, 1, 4, 5, 6, 8, 9}));
    EXPECT_EQ(showTextLine("a\tb", false, 4).text, "a b");
    EXPECT_EQ(showTextLine("\t", true, 8).text, QString(8, ' '));
    // Columns back to bytes: the first byte at or after the column.
    EXPECT_EQ(line.byteAtColumn(2), 2);
    EXPECT_EQ(line.byteAtColumn(4), 2);
    EXPECT_EQ(line.byteAtColumn(100), 6);
}

TEST(ViewText, Utf8ControlsAndStrayBytes) {
    // "é" in UTF-8 takes two bytes and one column; a stray byte shows as its Latin-1 character;
    // control characters as dots.
    const browse::ShownLine line = showTextLine("\xC3\xA9x\xE9\x01\x7F", true, 8);
    EXPECT_EQ(line.text, QString::fromUtf8("\xC3\xA9x\xC3\xA9.."));
    EXPECT_EQ(line.columnOfByte, (QVector<int>{0, 0, 1, 2, 3, 4, 5}));
    // An overlong form is no UTF-8.
    EXPECT_EQ(showTextLine("\xC0\xAF", true, 8).text.size(), 2);
    EXPECT_EQ(showTextLine(QByteArray(20000, 'w'), true, 8).text.size(), 8192);
}

TEST(ViewText, HexLines) {
    const QString line = browse::hexLine(0x1230, QByteArray("Hello, world!\n\x00\xff", 16), 8);
    EXPECT_EQ(line.toStdString(),
              "00001230  48 65 6c 6c 6f 2c 20 77  6f 72 6c 64 21 0a 00 ff  Hello, world!...");
    EXPECT_EQ(browse::hexLine(0, "AB", 8), "00000000  41 42" + QString(45, ' ') + "AB");
    EXPECT_EQ(line.mid(browse::hexDigitsColumn(8), 2), "6f");
    EXPECT_EQ(line.mid(browse::hexTextColumn(), 5), "Hello");
    EXPECT_EQ(browse::hexOffsetDigits(1), 8);
    EXPECT_EQ(browse::hexOffsetDigits(qint64(1) << 32), 8);
    EXPECT_EQ(browse::hexOffsetDigits((qint64(1) << 32) + 1), 9);
}
