#pragma once

#include "platform/textos.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace kivo {

using textos::kProgramTitle;

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Warning, Critical, Question };
enum class Answer { Ok, Cancel, Yes, No };

struct MessageBox
{
    QString title;
    QString text; // a carriage return (13) stands for a line break
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

// Every message box of the program goes through this seam, so a test can answer it and read
// exactly what it said.
class Messages
{
public:
    virtual ~Messages() = default;
    virtual Answer ask(const MessageBox &box) = 0;

    // Shows the box with the arrow pointer, even in the middle of a command that shows the
    // hourglass; the hourglass comes back once the box is answered.
    Answer show(const QString &title, const QString &text, Buttons buttons = Buttons::Ok,
                Icon icon = Icon::None);
};

// Modal QMessageBox over the active window, with Spanish button captions.
class QtMessages : public Messages
{
public:
    Answer ask(const MessageBox &box) override;
};

} // namespace kivo
