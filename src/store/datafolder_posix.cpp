#include "store/datafolder.h"

namespace kivo::datafolder {

QString systemLocation()
{
    return homeLocation();
}

} // namespace kivo::datafolder
