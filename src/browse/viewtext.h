#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// How the viewer turns the bytes of a file into the characters it shows.
namespace browse {

// One line of text as shown: the characters, and for each byte of the line (and one past its
// end) the column its character starts at.
struct ShownLine {
    QString text;
    QVector<int> columnOfByte; // bytes + 1 entries, rising

    // The first byte whose character starts at or after the column.
    int byteAtColumn(int column) const;
};

// The characters of a text line: UTF-8 where the bytes are valid UTF-8, each other byte as its
// Latin-1 character; control characters as "."; a TAB as blanks up to the next multiple of
// tabSize when expandTabs, else as one blank.  At most maxColumns characters are produced; the
// bytes past them share the last column.
ShownLine showTextLine(const QByteArray& bytes, bool expandTabs, int tabSize,
                       int maxColumns = 8192);

// Bytes per line of the hexadecimal dump.
constexpr int kHexBytesPerLine = 16;

// One line of the hexadecimal dump for the bytes at offset (at most 16): the offset in eight
// (or, past 4 GiB, more) hexadecimal digits, two blanks, the bytes as pairs of digits with one
// blank between them and two after the eighth, then, starting at column hexTextColumn(), the
// printable ASCII bytes with "." for the others.
QString hexLine(qint64 offset, const QByteArray& bytes, int offsetDigits = 8);
// The column of the byte's two digits and of its character in a hex line.
int hexDigitsColumn(int byteInLine, int offsetDigits = 8);
int hexTextColumn(int offsetDigits = 8);
// The offset digits a file of this size needs (8 or more).
int hexOffsetDigits(qint64 fileSize);

// A line as printed: cut to 1024 characters.
constexpr int kPrintedLineLength = 1024;

} // namespace browse
