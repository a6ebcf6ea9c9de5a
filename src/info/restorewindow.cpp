#include "info/restorewindow.h"

#include "info/textos.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "store/backups.h"
#include "store/dbferror.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kivo {

namespace {

constexpr int kNameRole = Qt::UserRole;

} // namespace

RestoreWindow::RestoreWindow(const Services &services, QWidget *parent)
    : QDialog(parent),
      m_services(services)
{
    setObjectName(QStringLiteral("frmRestaurar"));
    setWindowTitle(textos::kRestaurarTitulo);
    auto *layout = new QVBoxLayout(this);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("lblRespaldos"));
    m_note->setWordWrap(true);
    layout->addWidget(m_note);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstRespaldos"));
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels(textos::kRestaurarColumnas);
    m_list->setAccessibleName(textos::kRestaurarLista);
    m_note->setBuddy(m_list);
    layout->addWidget(m_list);

    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(textos::kRestaurar, QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("cmdRestaurar"));
    QPushButton *cancel = buttons->addButton(textos::kCancelar, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancelar"));
    layout->addWidget(buttons);

    connect(m_restore, &QPushButton::clicked, this, &RestoreWindow::restoreSelected);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &RestoreWindow::selectionChanged);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &RestoreWindow::restoreSelected);
    fill();
    resize(sizeHint().expandedTo(QSize(640, 320)));
}

void RestoreWindow::fill()
{
    m_list->clear();
    const QList<backups::Summary> all = backups::list(m_services.dataFolder);
    m_note->setText(all.isEmpty() ? textos::kRestaurarVacio : textos::kElijaRespaldo);
    const QLocale spanish(QLocale::Spanish, QLocale::Mexico);
    for (const backups::Summary &s : all) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setData(0, kNameRole, s.name);
        item->setText(0, spanish.toString(s.taken, QStringLiteral("dd/MM/yyyy HH:mm:ss")));
        if (!s.damage.isEmpty()) {
            // Shown, so the user sees it exists, but it cannot be chosen.
            item->setText(2, textos::kRestaurarDanado);
            item->setToolTip(2, s.damage);
            item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
            continue;
        }
        item->setText(1, s.rfc);
        item->setText(2, s.company);
        item->setText(3, QString::number(s.suppliers));
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int c = 0; c < m_list->columnCount(); ++c)
        m_list->resizeColumnToContents(c);
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        if (m_list->topLevelItem(i)->flags() & Qt::ItemIsSelectable) {
            m_list->setCurrentItem(m_list->topLevelItem(i));
            break;
        }
    }
    selectionChanged();
}

void RestoreWindow::selectionChanged()
{
    m_restore->setEnabled(!m_list->selectedItems().isEmpty());
}

void RestoreWindow::restoreSelected()
{
    const QList<QTreeWidgetItem *> chosen = m_list->selectedItems();
    if (chosen.isEmpty())
        return;
    const QString name = chosen.first()->data(0, kNameRole).toString();
    try {
        const backups::Restored done = backups::restore(m_services.dataFolder, name, m_services.clock->now());
        m_restored = name;
        m_services.messages->show(kProgramTitle, textos::restaurado(chosen.first()->text(0), done.saved),
                                  Buttons::Ok, Icon::Information);
        accept();
    } catch (const DbfError &e) {
        m_services.messages->show(kProgramTitle, e.message(), Buttons::Ok, Icon::Critical);
        fill(); // what failed may have left a new backup, or found one damaged
    }
}

} // namespace kivo
