#include "support/killprocess.h"

#include <QProcess>

#include <csignal>

namespace kivo::test {

bool killHard(QProcess &process)
{
    return process.processId() > 0 && ::kill(pid_t(process.processId()), SIGKILL) == 0;
}

} // namespace kivo::test
