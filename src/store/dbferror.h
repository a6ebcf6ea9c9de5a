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
        : std::runtime_error(message.toStdString()),
          m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The words for a failure caught around the store: a DbfError's own message; any other
// failure (out of memory and the like) has no Spanish words of its own, and gets `otherwise`.
QString errorMessage(const std::exception &e, const QString &otherwise);

} // namespace kivo
