#pragma once

#include <QDialog>

namespace kivo {

// "Acerca de": program title and version, issuing unit, contact.
class FrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit FrmAbout(QWidget *parent = nullptr);
};

} // namespace kivo
