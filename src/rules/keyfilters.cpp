#include "rules/keyfilters.h"

#include "store/win1252.h"

namespace kivo::rules {

int soloNumeros(int key)
{
    if (key >= '0' && key <= '9')
        return key;
    switch (key) {
    case '.':
    case 8:  // Backspace
    case 9:  // Tab
    case 27: // Escape
        return key;
    default:
        return 0;
    }
}

namespace {

// Control codes and anything outside one byte are not characters to convert.
int convert(int key, QChar (*mapping)(QChar))
{
    if (key < 32 || key > 255)
        return key;
    const QChar c = win1252::fromCode(key);
    const int converted = win1252::code(mapping(c));
    return converted < 0 ? key : converted;
}

} // namespace

int upperKey(int key)
{
    return convert(key, &win1252::toUpper);
}

int lowerKey(int key)
{
    return convert(key, &win1252::toLower);
}

bool typesText(const QString &text, Qt::KeyboardModifiers modifiers)
{
    if (text.isEmpty() || (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

namespace {

bool printable(int code)
{
    return code >= 32 && code != 127;
}

} // namespace

QString typedText(const QString &text, const std::function<int(int)> &rule)
{
    QString out;
    for (QChar c : text) {
        int code = win1252::code(c);
        if (!printable(code))
            continue;
        code = upperKey(code);
        if (rule)
            code = rule(code);
        if (printable(code))
            out += win1252::fromCode(code);
    }
    return out;
}

} // namespace kivo::rules
