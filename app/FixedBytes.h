#pragma once

#include <QString>

#include <cstdint>

// Fills exactly count bytes of buffer from the text's CP932 form: a shorter text is copied
// to the front of zeroed bytes, a longer one is cut at count bytes, even inside a double-byte
// character. No terminator is added; a character with no CP932 form becomes '?'.
void StrToFixedBytes(const QString &text, uint8_t *buffer, int count);
