#include "store/dbferror.h"

namespace kivo {

QString errorMessage(const std::exception &e, const QString &otherwise)
{
    if (const auto *dbf = dynamic_cast<const DbfError *>(&e))
        return dbf->message();
    return otherwise;
}

} // namespace kivo
