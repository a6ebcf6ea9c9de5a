#pragma once

#include <QString>
#include <QStringList>

namespace kivo::rules {

// The applicant's RFC check over the 12-character text of the masked entry. `messages` holds
// the messages in the order they are shown (title "KIVO", no icon); `tooShort` means the
// length rule stopped the check, so the enabling step does not run.
struct RfcResult
{
    bool valid = true;
    bool tooShort = false;
    QStringList messages;
};
RfcResult validaRfc(const QString &text);

// The supplier RFC check. On failure `message` is "RFC Incorrecto, error en la posición " + p,
// shown with the title "Mensaje".
struct SupplierRfcResult
{
    bool valid = true;
    int position = 0;
    QString message;
};
SupplierRfcResult validaRfcProveedor(const QString &rfc);

// The name-field rule: true when position 1 of the RFC text is a blank (the given-names and
// second-surname entries are then disabled and emptied).
bool rfcIsCompany(const QString &text);

} // namespace kivo::rules
