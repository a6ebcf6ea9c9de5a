#pragma once

#include "platform/services.h"

namespace kivo {

class SubmissionHost;

// The submission disk: save, check, confirm, clear the medium, pack, copy five tables, verify.
void generaDisco(SubmissionHost &host, const Services &services);

} // namespace kivo
