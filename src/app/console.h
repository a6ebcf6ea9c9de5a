#pragma once

namespace kivo::console {

// Where the command line's answers (--pendientes, --respaldos, the reasons a start fails) are
// written, as UTF-8: on Windows the program has no console of its own, so it borrows the one it
// was started from, if any. Output already redirected by the caller stays where it goes.
void attach();

} // namespace kivo::console
