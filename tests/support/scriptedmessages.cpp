#include "support/scriptedmessages.h"

namespace kivo {

Answer ScriptedMessages::ask(const MessageBox &box)
{
    shown.append(box);
    if (!m_script.isEmpty())
        return m_script.takeFirst();
    return (box.buttons == Buttons::Ok || box.buttons == Buttons::OkCancel) ? Answer::Ok
        : box.buttons == Buttons::YesNo                                     ? Answer::No
                                                                            : Answer::Cancel;
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const MessageBox &b : shown)
        out.append(b.text);
    return out;
}

} // namespace kivo
