#pragma once

#include "platform/services.h"

#include <QWidget>

class QPushButton;
class QTextEdit;

namespace kivo {

// "Consideraciones para el llenado de la Solicitud": considera.txt of the data folder.
class FrmAyuda : public QWidget
{
    Q_OBJECT
public:
    FrmAyuda(const Services &services, QWidget *parent = nullptr);
    QString shownText() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QTextEdit *m_rtUltima;
    QPushButton *m_cerrar;
};

} // namespace kivo
