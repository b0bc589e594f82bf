#pragma once

#include <QByteArray>
#include <QString>

// Text on disk and on the wire is CP932 (the Windows form of Shift-JIS). Inside the program
// text is QString; these convert at the boundary through iconv ("CP932").

// A character with no CP932 form becomes '?'.
QByteArray unicodeToCp932(const QString &text);

// Bytes that are not valid CP932 become U+FFFD (one per bad byte); never fails.
QString cp932ToUnicode(const QByteArray &bytes);

// Length of the text in CP932 bytes (what the program counts, cuts and pads by).
int cp932Length(const QString &text);

// The longest start of the text made of whole characters whose CP932 form fits maxBytes.
QString cp932Prefix(const QString &text, int maxBytes);
