#pragma once

#include <QIcon>

namespace kivo {

// The 16-pixel icons of the button bar, by button Index: 6 two sheets, 0 red cross,
// 2 diskette with arrow, 7 printer, 1 diskette, 9 question mark, 4 help book, 5 open folder,
// 10 a checklist.
// Also the program's own icon (index -1).
QIcon buttonIcon(int index);

} // namespace kivo
