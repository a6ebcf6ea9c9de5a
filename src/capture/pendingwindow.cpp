#include "capture/pendingwindow.h"

#include "capture/textos.h"

#include <QKeyEvent>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kivo {

namespace {

// Enter on a line leads to its item, as a double click does.
class PendingList : public QListWidget
{
public:
    using QListWidget::QListWidget;
    std::function<void(int)> activated;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
            activated(currentRow());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

} // namespace

PendingWindow::PendingWindow(Source source, QWidget *parent)
    : QWidget(parent, Qt::Window),
      m_source(std::move(source))
{
    setObjectName(QStringLiteral("frmPendientes"));
    setWindowTitle(textos::kPendientesTitulo);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *intro = new QLabel(textos::kPendientesIntro, this);
    intro->setWordWrap(true);
    auto *list = new PendingList(this);
    list->setObjectName(QStringLiteral("lstPendientes"));
    list->setAccessibleName(textos::kPendientesTitulo);
    list->activated = [this](int row) { follow(row); };
    intro->setBuddy(list);
    m_list = list;
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { follow(m_list->row(item)); });
    auto *cerrar = new QPushButton(textos::kPendientesCerrar, this);
    cerrar->setObjectName(QStringLiteral("cmdCerrar"));
    connect(cerrar, &QPushButton::clicked, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_list, 1);
    layout->addWidget(cerrar, 0, Qt::AlignRight);

    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(150);
    connect(m_refresh, &QTimer::timeout, this, &PendingWindow::refresh);
    refresh();

    // Wide enough for the longest line of a new application, within the screen.
    int widest = fontMetrics().averageCharWidth() * 60;
    for (const QString &line : lines())
        widest = std::max(widest, fontMetrics().horizontalAdvance(line));
    QSize want(widest + 4 * fontMetrics().averageCharWidth() + 40, fontMetrics().height() * 24);
    if (const QScreen *s = screen())
        want = want.boundedTo(s->availableGeometry().size() * 9 / 10);
    resize(want);
}

PendingWindow::~PendingWindow()
{
    // Closing a window moves the focus, and QWidget's destructor closes it after this part of
    // the object is gone: the focus signal must not reach it then.
    disconnect(qApp, nullptr, this, nullptr);
}

void PendingWindow::scheduleRefresh()
{
    m_refresh->start();
}

void PendingWindow::refresh()
{
    m_lines = m_source();
    QStringList texts;
    for (const Line &l : std::as_const(m_lines))
        texts.append(l.text);
    if (texts.isEmpty())
        texts.append(textos::kSolicitudCompleta);
    if (texts == lines())
        return;
    // The line the clerk stands on stays chosen while the rest of the list changes.
    const QString current = m_list->currentItem() ? m_list->currentItem()->text() : QString();
    m_list->clear();
    m_list->addItems(texts);
    const QList<QListWidgetItem *> same = m_list->findItems(current, Qt::MatchExactly);
    m_list->setCurrentRow(same.isEmpty() ? 0 : m_list->row(same.first()));
}

QStringList PendingWindow::lines() const
{
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out.append(m_list->item(i)->text());
    return out;
}

void PendingWindow::follow(int row)
{
    if (row < 0 || row >= m_lines.size())
        return;
    const auto lead = m_lines.at(row).leadTo;
    if (QWidget *main = parentWidget()) {
        main->raise();
        main->activateWindow();
    }
    lead();
}

} // namespace kivo
