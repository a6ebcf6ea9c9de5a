#include "info/restorewindow.h"

#include "info/textos.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "store/backups.h"
#include "store/dbferror.h"

#include <QAccessible>
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
constexpr int kSentRole = Qt::UserRole + 1;

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
    m_list->installEventFilter(this);
    layout->addWidget(m_list);

    auto *buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(textos::kRestaurar, QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("cmdRestaurar"));
    m_startFrom = buttons->addButton(textos::kPartirDeEnviada, QDialogButtonBox::ActionRole);
    m_startFrom->setObjectName(QStringLiteral("cmdPartirDe"));
    m_startFrom->setToolTip(textos::kPartirDeEnviadaAyuda);
    QPushButton *cancel = buttons->addButton(textos::kCancelar, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancelar"));
    layout->addWidget(buttons);

    connect(m_restore, &QPushButton::clicked, this, &RestoreWindow::restoreSelected);
    connect(m_startFrom, &QPushButton::clicked, this, &RestoreWindow::startFromSelected);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &RestoreWindow::selectionChanged);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &RestoreWindow::restoreSelected);
    fill();
    resize(sizeHint().expandedTo(QSize(640, 320)));
}

void RestoreWindow::fill()
{
    m_list->clear();
    QList<backups::Summary> all;
    try {
        all = backups::list(m_services.dataFolder);
        m_note->setText(all.isEmpty() ? textos::kRestaurarVacio : textos::kElijaRespaldo);
    } catch (const DbfError &e) {
        m_note->setText(e.message()); // a folder that cannot be read is not an empty one
    }
    const QLocale spanish(QLocale::Spanish, QLocale::Mexico);
    for (const backups::Summary &s : all) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setData(0, kNameRole, s.name);
        item->setData(0, kSentRole, s.sent);
        if (s.sent)
            item->setText(4, textos::kRestaurarEnviada);
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

bool RestoreWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Queued, so the row is announced after the list itself.
    if (watched == m_list && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(this, &RestoreWindow::announceCurrent, Qt::QueuedConnection);
    return QDialog::eventFilter(watched, event);
}

// The list announces its row only when the row changes while it has the focus; the row chosen on
// opening would never be read, so a screen reader heard "tree table" and nothing of the backup.
void RestoreWindow::announceCurrent()
{
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || !m_list->hasFocus() || !QAccessible::isActive())
        return;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(m_list);
    QAccessibleTableInterface *table = list ? list->tableInterface() : nullptr;
    QAccessibleInterface *cell = table ? table->cellAt(current.row(), current.column()) : nullptr;
    if (!cell)
        return;
    QAccessibleEvent focus(m_list, QAccessible::Focus);
    focus.setChild(list->indexOfChild(cell));
    QAccessible::updateAccessibility(&focus);
}

void RestoreWindow::selectionChanged()
{
    const QList<QTreeWidgetItem *> chosen = m_list->selectedItems();
    m_restore->setEnabled(!chosen.isEmpty());
    m_startFrom->setEnabled(!chosen.isEmpty() && chosen.first()->data(0, kSentRole).toBool());
}

void RestoreWindow::restoreSelected()
{
    restoreChosen(false);
}

void RestoreWindow::startFromSelected()
{
    restoreChosen(true);
}

void RestoreWindow::restoreChosen(bool fromSent)
{
    const QList<QTreeWidgetItem *> chosen = m_list->selectedItems();
    if (chosen.isEmpty() || (fromSent && !chosen.first()->data(0, kSentRole).toBool()))
        return;
    const QString name = chosen.first()->data(0, kNameRole).toString();
    try {
        const backups::Restored done = backups::restore(m_services.dataFolder, name, m_services.clock->now());
        m_restored = name;
        const QString when = chosen.first()->text(0);
        m_services.messages->show(kProgramTitle,
                                  fromSent ? textos::nuevaDesdeEnviada(when, done.saved)
                                           : textos::restaurado(when, done.saved),
                                  Buttons::Ok, Icon::Information);
        accept();
    } catch (const DbfError &e) {
        m_services.messages->show(kProgramTitle, e.message(), Buttons::Ok, Icon::Critical);
        fill(); // what failed may have left a new backup, or found one damaged
    }
}

} // namespace kivo
