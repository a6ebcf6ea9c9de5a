#pragma once

#include "platform/services.h"
#include "questionnaire/cuestionario.h"

#include <QWidget>

#include <functional>

class QPushButton;
class QTextEdit;

namespace kivo {

// "Impresión de Solicitud": shows the questionnaire composed when it opened; "&Imprimir"
// composes afresh and prints it, then considera.txt.
class FrmDocument : public QWidget
{
    Q_OBJECT
public:
    using Snapshot = std::function<CuestionarioDatos()>;
    FrmDocument(Snapshot snapshot, const Services &services, QWidget *parent = nullptr);

    QString shownText() const;

public Q_SLOTS:
    void imprimir(); // Command1_Click

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    Snapshot m_snapshot;
    Services m_services;
    QTextEdit *m_rtUltima;
    QPushButton *m_imprimir;
    QPushButton *m_cerrar;
    bool m_soloMostrar = false; // the next run of imprimir() only fills the display
};

} // namespace kivo
