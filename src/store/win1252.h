#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kivo {

// The tables hold Windows-1252; everything in memory is QString.
namespace win1252 {

// Nullopt when a character has no Windows-1252 code.
std::optional<QByteArray> encode(const QString &text);
QString decode(QByteArrayView bytes);

// Code of one character, or -1 when Windows-1252 cannot hold it.
int code(QChar c);
QChar fromCode(int code);

// Case mapping that stays inside Windows-1252 ("ñ" <-> "Ñ", "á" <-> "Á"); a character whose
// other case has no Windows-1252 code is returned unchanged.
QChar toUpper(QChar c);
QChar toLower(QChar c);

} // namespace win1252
} // namespace kivo
