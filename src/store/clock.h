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

} // namespace kivo
