#include "platform/messages.h"

#include "platform/textos.h"
#include "platform/waitcursor.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace kivo {

Answer Messages::show(const QString &title, const QString &text, Buttons buttons, Icon icon)
{
    const WaitCursor::Pause pause;
    return ask(MessageBox{title, text, buttons, icon});
}

Answer QtMessages::ask(const MessageBox &box)
{
    QString text = box.text;
    text.replace(QChar(13), QChar(10));

    QMessageBox mb(QApplication::activeWindow());
    mb.setWindowTitle(box.title);
    mb.setText(text);
    mb.setTextFormat(Qt::PlainText);
    switch (box.icon) {
    case Icon::None:
        mb.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        mb.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        mb.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        mb.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        mb.setIcon(QMessageBox::Question);
        break;
    }

    struct Choice
    {
        QString caption;
        QMessageBox::ButtonRole role;
        Answer answer;
    };
    QList<Choice> choices;
    switch (box.buttons) {
    case Buttons::Ok:
        choices = {{textos::kBotonAceptar, QMessageBox::AcceptRole, Answer::Ok}};
        break;
    case Buttons::OkCancel:
        choices = {{textos::kBotonAceptar, QMessageBox::AcceptRole, Answer::Ok},
                   {textos::kBotonCancelar, QMessageBox::RejectRole, Answer::Cancel}};
        break;
    case Buttons::YesNo:
        choices = {{textos::kBotonSi, QMessageBox::YesRole, Answer::Yes},
                   {textos::kBotonNo, QMessageBox::NoRole, Answer::No}};
        break;
    case Buttons::YesNoCancel:
        choices = {{textos::kBotonSi, QMessageBox::YesRole, Answer::Yes},
                   {textos::kBotonNo, QMessageBox::NoRole, Answer::No},
                   {textos::kBotonCancelar, QMessageBox::RejectRole, Answer::Cancel}};
        break;
    }
    QList<QPushButton *> buttons;
    for (const Choice &c : choices)
        buttons.append(mb.addButton(c.caption, c.role));
    mb.setDefaultButton(buttons.first());
    if (box.buttons == Buttons::YesNo)
        mb.setEscapeButton(buttons.last());
    mb.exec();

    for (int i = 0; i < buttons.size(); ++i) {
        if (mb.clickedButton() == buttons[i])
            return choices[i].answer;
    }
    // Closed with the window's own button: the answer that changes nothing.
    return box.buttons == Buttons::Ok   ? Answer::Ok
        : box.buttons == Buttons::YesNo ? Answer::No
                                        : Answer::Cancel;
}

} // namespace kivo
