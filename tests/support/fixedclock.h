#pragma once

#include "store/clock.h"

namespace kivo {

// A clock stopped at one moment (noon of a date), moved only by the test.
class FixedClock : public Clock
{
public:
    explicit FixedClock(QDate date)
        : m_now(date, QTime(12, 0))
    {
    }
    explicit FixedClock(QDateTime now)
        : m_now(now)
    {
    }
    QDate today() const override { return m_now.date(); }
    QDateTime now() const override { return m_now; }
    void set(QDate date) { m_now.setDate(date); }
    void set(QDateTime now) { m_now = now; }

private:
    QDateTime m_now;
};

} // namespace kivo
