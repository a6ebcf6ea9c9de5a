#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace kivo {

// A plain copy of what the capture window shows and of the rows of its three list data
// sources, so the questionnaire is composed (and tested) without a window.
struct CuestionarioDatos
{
    QString tipoTramite; // Combo1, displayed text
    bool promotora = false;
    bool consolidadora = false;
    QString rfc; // MaskEdBox1 as displayed
    QString razonSocial, calle, colonia, cp, estado, ciudad, delMun, telefono, fax, email;
    QString actividad; // cmbActividad, displayed text
    QString admLocal;  // Combo5, displayed text
    QString apePatRep, apeMatRep, nombreRep, telefonoRep, faxRep, emailRep;
    QString empleados, obreros, ventasPais, ventasExterior;
    QStringList productos; // field 2 of each PROVMERC row
    struct Venta
    {
        QString ano;             // field 0 as stored
        QList<QVariant> valores; // fields 1..6 as stored; a null or "" prints as a blank column
    };
    QList<Venta> ventas;
    struct Proveedor
    {
        QString nombre, rfc, producto;
    };
    QList<Proveedor> proveedores;
    QString banco, sucursal, numCuenta, localidad, domSucursal;
    QDate hoy;
    // Separators and month abbreviations. The date separator is the one between the first two
    // fields of its short date format; "/" where those are parted by blanks only.
    QLocale locale;
};

struct Cuestionario
{
    QString texto;          // lines joined by "\n", none after the last
    int longitudEncabezado; // length of the heading, to centre it
};

Cuestionario armaCuestionario(const CuestionarioDatos &datos);

// One numeric column of the sales table: "###,###,###.#0" right-aligned in 16 characters; a
// value too wide for 16 is printed whole; a null or empty text is 16 blanks, any other text
// that is no number is printed as it is. Give the field's stored text: it is rounded digit by
// digit, so every figure the field can hold prints as stored.
QString columnText(const QVariant &value, const QLocale &locale);

} // namespace kivo
