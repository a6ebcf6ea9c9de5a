#pragma once

#include <QString>

namespace kivo {

// Spanish words for an errno value, for messages that name a file.
QString systemReason(int error);

} // namespace kivo
