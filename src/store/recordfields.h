#pragma once

// Field positions of the application record and of the sales rows, as the delivered tables lay
// them out. Entries are bound by field name; the positions here are those the program reads
// and writes by number, and the receiving office reads the same layout.

#include <iterator>

namespace kivo {

namespace datoprov {

enum Field : int {
    Rfc = 0,
    ApePatRaz = 1,
    ApeMat = 2,
    Nombre = 3,
    Email = 4,
    Prog1p = 5,
    Prog2p = 6,
    Acredita = 7,
    CalleYNo = 8,
    Colonia = 9,
    Cp = 10,
    Estado = 11,
    Ciudad = 12,
    DelMun = 13,
    Telefono = 14,
    TipoTram = 15, // procedure type code, from Combo1
    Fax = 16,
    ApePRepLeg = 17,
    ApeMRepLeg = 18,
    NombreRepl = 19,
    CveForma = 20,  // the form's code, "14", written whenever the record is opened
    TipoProg = 21,  // registry type: 1 promotora, 2 consolidadora
    Actividad = 22, // activity code, from cmbActividad
    Cargo = 23,
    TelRepreg = 24,
    FaxRep = 25,
    EmailRepl = 26,
    NoEmpleado = 27,
    AdmLocal = 28, // local tax-collection office code, from Combo5
    NoObreros = 29,
    NumMaquila = 30, // maquila programme number; 0 means none
    AnoMaquila = 31, // maquila programme year; 0 means none
    VtPais = 32,
    VtExterior = 33,
    Sucursal = 34,
    NumCuenta = 35,
    Localidad = 36,
    DomBanco = 37,
};

// The field names in position order, as the delivered table has them.
inline constexpr const char *kFieldNames[] = {
    "RFC",       "APEPATRAZ", "APEMAT",     "NOMBRE",     "EMAIL",      "PROG1P",     "PROG2P",
    "ACREDITA",  "CALLEYNO",  "COLONIA",    "CP",         "ESTADO",     "CIUDAD",     "DELMUN",
    "TELEFONO",  "TIPOTRAM",  "FAX",        "APEPREPLEG", "APEMREPLEG", "NOMBREREPL", "CVEFORMA",
    "TIPOPROG",  "ACTIVIDAD", "CARGO",      "TEL_REPREG", "FAXREP",     "EMAILREPL",  "NOEMPLEADO",
    "ADMLOCAL",  "NOOBREROS", "NUMMAQUILA", "ANOMAQUILA", "VTPAIS",     "VTEXTERIOR", "SUCURSAL",
    "NUMCUENTA", "LOCALIDAD", "DOMBANCO"};
static_assert(std::size(kFieldNames) == DomBanco + 1);

inline const char *fieldName(Field field)
{
    return kFieldNames[field];
}

// A table with fewer fields cannot carry the positions the program addresses.
inline constexpr int kMinFields = AnoMaquila + 1;

// The value the program writes at CveForma.
inline constexpr char kCveForma[] = "14";

} // namespace datoprov

namespace ventas {

enum Field : int {
    Ano = 0,
    Vtot = 1,
    VmercNac = 2,
    Exporta = 3,
    Importa = 4,
    Saldo = 5,
    Tc = 6,
    Etiqueta = 7,
    Tipo = 8,
};

inline constexpr const char *kFieldNames[] = {"ANO",   "VTOT", "VMERCNAC", "EXPORTA", "IMPORTA",
                                              "SALDO", "TC",   "ETIQUETA", "TIPO"};
static_assert(std::size(kFieldNames) == Tipo + 1);

// The amounts a clearing resets: Vtot to Saldo.
inline constexpr int kFirstAmount = Vtot;
inline constexpr int kLastAmount = Saldo;

} // namespace ventas

} // namespace kivo
