#pragma once

#include <QDate>
#include <QDateTime>

namespace kivo {

// Today's date, behind a seam so that what is stamped by date can be tested on a fixed day.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    // Date and time, for what is named after the moment it was made (backups).
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDate today() const override { return QDate::currentDate(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock : public Clock
{
public:
    explicit FixedClock(QDate date) : m_now(date, QTime(12, 0)) {}
    explicit FixedClock(QDateTime now) : m_now(now) {}
    QDate today() const override { return m_now.date(); }
    QDateTime now() const override { return m_now; }
    void set(QDate date) { m_now.setDate(date); }
    void set(QDateTime now) { m_now = now; }

private:
    QDateTime m_now;
};

// The clock handed in, or the system's where a caller has none.
inline QDateTime nowOf(const Clock *clock)
{
    return clock ? clock->now() : SystemClock().now();
}

} // namespace kivo
