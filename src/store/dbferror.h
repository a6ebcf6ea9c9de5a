#pragma once

#include <QString>

#include <stdexcept>

namespace kivo {

// Every failure of the table layer: a malformed file, a refused value, a failed write.
// The message is Spanish and names the file (and, for values, the table, field and value).
class DbfError : public std::runtime_error
{
public:
    explicit DbfError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace kivo
