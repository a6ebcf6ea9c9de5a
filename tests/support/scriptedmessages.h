#pragma once

#include "platform/messages.h"

#include <QStringList>

namespace kivo {

// Records every box and answers from a script. A box that finds the script empty gets Ok, or
// Cancel when it has no Ok button (the answer that changes nothing).
class ScriptedMessages : public Messages
{
public:
    Answer ask(const MessageBox &box) override;

    void answer(Answer a) { m_script.append(a); }
    QList<MessageBox> shown;
    QStringList texts() const;
    void clear()
    {
        shown.clear();
        m_script.clear();
    }

private:
    QList<Answer> m_script;
};

} // namespace kivo
