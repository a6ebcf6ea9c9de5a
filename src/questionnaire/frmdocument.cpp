#include "questionnaire/frmdocument.h"

#include "platform/layoutrule.h"
#include "platform/messages.h"
#include "platform/printing.h"
#include "platform/textos.h"
#include "platform/waitcursor.h"
#include "questionnaire/textos.h"
#include "store/dbferror.h"
#include "store/textfile.h"

#include <QApplication>
#include <QPushButton>
#include <QTextEdit>

#include <exception>

namespace kivo {

FrmDocument::FrmDocument(Snapshot snapshot, const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window),
      m_snapshot(std::move(snapshot)),
      m_services(services)
{
    setObjectName(QStringLiteral("frmDocument"));
    setWindowTitle(textos::kImpresionTitulo);
    setAttribute(Qt::WA_DeleteOnClose);
    maximizeTextWindow(this, parent);

    m_imprimir = new QPushButton(textos::kImprimir, this);
    m_imprimir->setObjectName(QStringLiteral("Command1"));
    connect(m_imprimir, &QPushButton::clicked, this, &FrmDocument::imprimir);

    m_cerrar = new QPushButton(textos::kCerrar, this);
    m_cerrar->setObjectName(QStringLiteral("Command2"));
    connect(m_cerrar, &QPushButton::clicked, this, &QWidget::close);

    m_rtUltima = createTextArea(this);

    applyTextWindowLayout(this, m_rtUltima, m_imprimir, m_cerrar);
    setTabOrder(m_imprimir, m_cerrar);
    setTabOrder(m_cerrar, m_rtUltima);

    m_soloMostrar = true;
    imprimir();
}

QString FrmDocument::shownText() const
{
    return m_rtUltima->toPlainText();
}

void FrmDocument::imprimir()
{
    const bool soloMostrar = m_soloMostrar;
    m_soloMostrar = false;
    try {
        Cuestionario cuestionario;
        {
            WaitCursor wait;
            cuestionario = armaCuestionario(m_snapshot());
        }
        if (soloMostrar) {
            m_rtUltima->setPlainText(cuestionario.texto);
            return;
        }
        if (!m_services.printing || !m_services.printing->choosePrinter(!cuestionario.texto.isEmpty()))
            return;

        WaitCursor wait;
        const PrintDocument solicitud{textos::kDocSolicitud, cuestionario.texto, courierNew(),
                                      cuestionario.longitudEncabezado};
        if (!m_services.printing->print(solicitud)) {
            if (m_services.messages)
                m_services.messages->show(kProgramTitle, textos::kNoSeImprimio);
            return;
        }
        // The considerations are an optional second sheet: without the file the
        // questionnaire alone is printed, and that is not worth a message.
        QString error;
        const QString considera = readConsidera(consideraPath(m_services.dataFolder), &error);
        if (!error.isEmpty())
            return;
        if (!m_services.printing->print(PrintDocument{textos::kDocConsideraciones, considera, courierNew(), 0})
            && m_services.messages)
            m_services.messages->show(kProgramTitle, textos::kNoSeImprimieron);
    } catch (const std::exception &e) {
        if (m_services.messages)
            m_services.messages->show(kProgramTitle, errorMessage(e, textos::kErrorInterno));
    }
}

void FrmDocument::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    applyTextWindowLayout(this, m_rtUltima, m_imprimir, m_cerrar);
}

} // namespace kivo
