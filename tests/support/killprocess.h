#pragma once

class QProcess;

namespace kivo::test {

// Ends `process` at once, as a power cut would end it: no handler runs, nothing is flushed
// (SIGKILL on POSIX, TerminateProcess on Windows). True when the system took the order.
bool killHard(QProcess &process);

} // namespace kivo::test
