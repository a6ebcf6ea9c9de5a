#pragma once

#include "platform/services.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace kivo {

// "Restaurar una solicitud anterior": the backups of the data folder, newest first, with
// "Restaurar" and "Cancelar". Restoring backs up the current tables first; the dialog is
// accepted once a backup is in place, and stays open after a failure, which it reports.
class RestoreWindow : public QDialog
{
    Q_OBJECT
public:
    explicit RestoreWindow(const Services &services, QWidget *parent = nullptr);

    QString restored() const { return m_restored; } // the backup put in place, once accepted

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill();
    void announceCurrent();
    void restoreSelected();
    void startFromSelected();
    void restoreChosen(bool fromSent);
    void selectionChanged();

    Services m_services;
    QTreeWidget *m_list;
    QLabel *m_note;
    QPushButton *m_restore;
    QPushButton *m_startFrom;
    QString m_restored;
};

} // namespace kivo
