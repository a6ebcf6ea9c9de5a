#include "store/win1252.h"

namespace kivo::win1252 {

namespace {

// 0x80..0x9F; the five codes Windows-1252 leaves undefined map to the C1 control of the same
// number, so that every byte read comes back unchanged when written.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

int code(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u)
            return 0x80 + i;
    }
    return -1;
}

QChar fromCode(int code)
{
    code &= 0xFF;
    if (code >= 0x80 && code < 0xA0)
        return QChar(kHigh[code - 0x80]);
    return QChar(char16_t(code));
}

std::optional<QByteArray> encode(const QString &text)
{
    QByteArray out;
    out.resize(text.size());
    char *p = out.data();
    for (const QChar c : text) {
        const int b = code(c);
        if (b < 0)
            return std::nullopt;
        *p++ = char(b);
    }
    return out;
}

QString decode(QByteArrayView bytes)
{
    // Windows-1252 is Latin-1 but for 0x80..0x9F: Qt's fast Latin-1 pass, then those mended.
    QString out = QString::fromLatin1(bytes);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        if (b >= 0x80 && b < 0xA0)
            out[i] = QChar(kHigh[b - 0x80]);
    }
    return out;
}

QChar toUpper(QChar c)
{
    const QChar u = c.toUpper();
    return code(u) >= 0 ? u : c;
}

QChar toLower(QChar c)
{
    const QChar l = c.toLower();
    return code(l) >= 0 ? l : c;
}

} // namespace kivo::win1252
