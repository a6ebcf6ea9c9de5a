#include "app/console.h"

namespace kivo::console {

void attach()
{
}

} // namespace kivo::console
