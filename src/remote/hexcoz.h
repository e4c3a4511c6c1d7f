#pragma once

// Decoding of the pictures the server sends as text: hexadecimal digit pairs, one byte per pair.

#include <QByteArray>
#include <QStringView>

// Reads `text` in pairs of characters from its start, each pair a hexadecimal number (0-9, A-F in either
// case) giving one byte; a final single character is read as a one-digit number ("ABC" gives AB 0C).
// A character that is no hexadecimal digit raises tarvik::ConversionError naming it and its position.
QByteArray HexCoz(QStringView text);
