#include "info/frmayuda.h"

#include "info/textos.h"
#include "platform/layoutrule.h"
#include "platform/messages.h"
#include "platform/printing.h"
#include "platform/textos.h"
#include "store/textfile.h"

#include <QPushButton>
#include <QTextEdit>

namespace kivo {

FrmAyuda::FrmAyuda(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmayuda"));
    setWindowTitle(textos::kAyudaTitulo);
    setAttribute(Qt::WA_DeleteOnClose);
    maximizeTextWindow(this, parent);

    m_cerrar = new QPushButton(textos::kCerrar, this);
    m_cerrar->setObjectName(QStringLiteral("Command2"));
    connect(m_cerrar, &QPushButton::clicked, this, &QWidget::close);

    m_rtUltima = createTextArea(this);

    applyTextWindowLayout(this, m_rtUltima, nullptr, m_cerrar);

    QString error;
    const QString text = readConsidera(consideraPath(services.dataFolder), &error);
    if (!error.isEmpty()) {
        if (services.messages)
            services.messages->show(kProgramTitle, error);
        return;
    }
    m_rtUltima->setPlainText(text);
}

QString FrmAyuda::shownText() const
{
    return m_rtUltima->toPlainText();
}

void FrmAyuda::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyTextWindowLayout(this, m_rtUltima, nullptr, m_cerrar);
}

} // namespace kivo
