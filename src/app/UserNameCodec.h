#pragma once
#include <QByteArray>
#include <QString>

namespace app {

// Windows-1257 (Baltic) bytes of a text. Characters outside the code page become '?'. The bytes
// that the code page leaves undefined map to the characters U+0080..U+00FF of the same value, so
// every byte 0-255 has exactly one character and decoding then encoding gives the bytes back.
QByteArray ToWindows1257(const QString& text);
QString FromWindows1257(const QByteArray& bytes);

// Log-on names are never stored in clear: N_USERS.GNOS holds the Windows-1257 bytes of the name,
// each shifted by 2 x position + 5 (positions from 1, modulo 256). The column is OCTETS, so the
// result is bound and read as bytes. "AB" (65, 66) becomes the bytes 72, 75.
QByteArray EncodeUserName(const QString& name);
QString DecodeUserName(const QByteArray& encoded);

}  // namespace app
