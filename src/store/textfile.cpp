#include "store/textfile.h"

#include "store/atomicfile.h"
#include "store/dbferror.h"
#include "store/win1252.h"

#include <QStringDecoder>

namespace kivo {

QString readConsidera(const QString &path, QString *error)
{
    QByteArray bytes;
    try {
        bytes = readWholeFile(path);
    } catch (const DbfError &e) {
        if (error)
            *error = e.message();
        return {};
    }
    if (error)
        error->clear();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return win1252::decode(bytes);
}

} // namespace kivo
