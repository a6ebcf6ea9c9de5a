#pragma once

#include "platform/services.h"

namespace kivo {

class SubmissionHost;

// Erases the whole application after one question and begins a new, empty one.
void borraRegistros(SubmissionHost &host, const Services &services);

} // namespace kivo
