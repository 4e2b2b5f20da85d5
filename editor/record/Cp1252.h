#pragma once
// Text items of a record file are 8-bit Windows-1252 text, the code page the
// simulator reads them in. Qt has no codec for it, so it is spelled out here:
// Latin-1 except for the 32 bytes 0x80 to 0x9F. The five bytes that
// Windows-1252 leaves unassigned map to the control characters of the same
// number, so that every byte survives a round trip.

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>

namespace tolva::record {

QString DecodeCp1252(std::string_view bytes);

// The bytes of the text, or nothing when a character has no Windows-1252 byte.
std::optional<QByteArray> EncodeCp1252(const QString& text);

// The first character of the text that has no Windows-1252 byte, if any.
std::optional<QString> FirstUnencodable(const QString& text);

} // namespace tolva::record
