#include "store/salesyears.h"

#include "store/datasource.h"
#include "store/recordfields.h"

namespace kivo {

void stampSalesYears(DataSource &ventas, const QList<int> &years)
{
    ventas.moveFirst();
    for (int year : years) {
        if (ventas.field(ventas::Ano).toInt() != year
            || ventas.fieldText(ventas::Ano) != QString::number(year)) {
            ventas.edit();
            ventas.setField(ventas::Ano, year);
            ventas.update();
        }
        ventas.moveNext();
    }
    ventas.moveFirst();
}

} // namespace kivo
