#include "store/tableshapes.h"

#include "store/dbftable.h"
#include "store/recordfields.h"
#include "store/tables.h"
#include "store/textos.h"

#include <array>

namespace kivo {

namespace {

struct Field
{
    const char *name;
    char type;
    int length;
    int decimals;
};

struct Shape
{
    Table table;
    int required; // the leading fields a table of an older version has at least
    std::initializer_list<Field> fields;
};

// As the delivered tables are made (data/tables); a test holds the two together.
const std::array<Shape, tables::kAll.size()> kShapes = {{
    {Table::ProvMerc, 3, {{"NUMERO", 'N', 3, 0}, {"FRACCION", 'C', 10, 0}, {"DESCRIPCIO", 'C', 120, 0}}},
    {Table::Ventas,
     9,
     {{"ANO", 'N', 4, 0},
      {"VTOT", 'N', 18, 2},
      {"VMERCNAC", 'N', 18, 2},
      {"EXPORTA", 'N', 18, 2},
      {"IMPORTA", 'N', 18, 2},
      {"SALDO", 'N', 18, 2},
      {"TC", 'N', 10, 2},
      {"ETIQUETA", 'C', 40, 0},
      {"TIPO", 'N', 2, 0}}},
    {Table::Activida, 3, {{"CLAVE", 'N', 6, 0}, {"SECTOR", 'C', 30, 0}, {"DESCRIPCIO", 'C', 120, 0}}},
    {Table::AdmLocal, 3, {{"CLAVE", 'N', 4, 0}, {"NOMBRE", 'C', 60, 0}, {"ESTADO", 'C', 30, 0}}},
    {Table::CatBanco, 3, {{"CLAVE", 'N', 3, 0}, {"SIGLAS", 'C', 12, 0}, {"NOMBRE", 'C', 60, 0}}},
    {Table::DatoProv,
     datoprov::kMinFields,
     {{"RFC", 'C', 12, 0},        {"APEPATRAZ", 'C', 100, 0}, {"APEMAT", 'C', 25, 0},
      {"NOMBRE", 'C', 25, 0},     {"EMAIL", 'C', 50, 0},      {"PROG1P", 'C', 4, 0},
      {"PROG2P", 'C', 4, 0},      {"ACREDITA", 'C', 10, 0},   {"CALLEYNO", 'C', 254, 0},
      {"COLONIA", 'C', 30, 0},    {"CP", 'C', 5, 0},          {"ESTADO", 'C', 30, 0},
      {"CIUDAD", 'C', 60, 0},     {"DELMUN", 'C', 40, 0},     {"TELEFONO", 'C', 15, 0},
      {"TIPOTRAM", 'N', 2, 0},    {"FAX", 'C', 15, 0},        {"APEPREPLEG", 'C', 25, 0},
      {"APEMREPLEG", 'C', 25, 0}, {"NOMBREREPL", 'C', 25, 0}, {"CVEFORMA", 'C', 2, 0},
      {"TIPOPROG", 'N', 1, 0},    {"ACTIVIDAD", 'N', 6, 0},   {"CARGO", 'C', 60, 0},
      {"TEL_REPREG", 'C', 25, 0}, {"FAXREP", 'C', 25, 0},     {"EMAILREPL", 'C', 50, 0},
      {"NOEMPLEADO", 'C', 10, 0}, {"ADMLOCAL", 'N', 4, 0},    {"NOOBREROS", 'C', 10, 0},
      {"NUMMAQUILA", 'N', 4, 0},  {"ANOMAQUILA", 'N', 4, 0},  {"VTPAIS", 'C', 18, 0},
      {"VTEXTERIOR", 'C', 18, 0}, {"SUCURSAL", 'C', 40, 0},   {"NUMCUENTA", 'C', 20, 0},
      {"LOCALIDAD", 'C', 40, 0},  {"DOMBANCO", 'C', 120, 0}}},
    {Table::ProvProd, 3, {{"PROVEEDOR", 'C', 100, 0}, {"RFC", 'C', 13, 0}, {"DESCRIPCIO", 'C', 100, 0}}},
}};

QString describe(const QString &name, char type, int length, int decimals)
{
    return QStringLiteral("%1 %2(%3,%4)").arg(name, QChar::fromLatin1(type)).arg(length).arg(decimals);
}

} // namespace

void checkShape(const DbfTable &table, const QString &name)
{
    const QString bare = name.section(QLatin1Char('.'), 0, 0);
    for (const Shape &shape : kShapes) {
        if (bare.compare(tables::name(shape.table), Qt::CaseInsensitive) != 0)
            continue;
        const auto refuse = [&](const QString &why) {
            return DbfError(textos::kFormaAjena.arg(table.path(), tables::name(shape.table), why));
        };
        const QList<FieldDef> &got = table.fields();
        const int expected = int(shape.fields.size());
        if (got.size() < shape.required || got.size() > expected)
            throw refuse(textos::kCuantosCampos.arg(got.size()).arg(expected));
        for (int i = 0; i < got.size(); ++i) {
            const Field &want = shape.fields.begin()[i];
            const FieldDef &have = got[i];
            if (have.name.compare(QLatin1String(want.name), Qt::CaseInsensitive) != 0
                || char(have.type) != want.type || have.length != want.length || have.decimals != want.decimals)
                throw refuse(textos::kCampoAjeno.arg(i + 1).arg(
                    describe(have.name, char(have.type), have.length, have.decimals),
                    describe(QLatin1String(want.name), want.type, want.length, want.decimals)));
        }
        return;
    }
}

} // namespace kivo
