#pragma once

#include <QWidget>

#include <functional>

class QListWidget;
class QTimer;

namespace kivo {

// "Pendientes de la solicitud": every item the print and disk commands would stop on, in page
// order, each leading to its control. Not modal; refreshed shortly after each change.
class PendingWindow : public QWidget
{
    Q_OBJECT
public:
    struct Line
    {
        QString text;
        std::function<void()> leadTo;
    };
    using Source = std::function<QList<Line>()>;

    PendingWindow(Source source, QWidget *parent = nullptr);
    ~PendingWindow() override;

    // Asks for the list again once the current burst of changes is over.
    void scheduleRefresh();
    void refresh();
    QStringList lines() const;

private:
    void follow(int row);

    Source m_source;
    QList<Line> m_lines;
    QListWidget *m_list;
    QTimer *m_refresh;
};

} // namespace kivo
