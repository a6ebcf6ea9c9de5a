#include "store/datafolder.h"

namespace kivo::datafolder {

QString systemLocation()
{
    return QStringLiteral("c:/KIVO");
}

} // namespace kivo::datafolder
