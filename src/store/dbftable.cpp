#include "store/dbftable.h"

#include "store/atomicfile.h"
#include "store/osfile.h"
#include "store/textos.h"
#include "store/win1252.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace kivo {

namespace {

constexpr int kHeaderSize = 32;
constexpr int kDescriptorSize = 32;
constexpr char kVersion = 0x03;  // no memo
constexpr char kLanguage = 0x03; // Windows-1252
constexpr char kEndOfFields = 0x0D;
constexpr char kEndOfFile = 0x1A;
constexpr int kMaxFields = 255;

quint32 readLe32(const char *p)
{
    const auto *u = reinterpret_cast<const uchar *>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

quint16 readLe16(const char *p)
{
    const auto *u = reinterpret_cast<const uchar *>(p);
    return quint16(u[0] | u[1] << 8);
}

void writeLe32(char *p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

void writeLe16(char *p, quint16 v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

bool lengthIsValid(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::Character:
        return f.length >= 1 && f.length <= 254 && f.decimals == 0;
    case FieldType::Numeric:
    case FieldType::Float:
        return f.length >= 1 && f.length <= 20 && f.decimals >= 0
            && (f.decimals == 0 || f.decimals <= f.length - 2);
    case FieldType::Date:
        return f.length == 8 && f.decimals == 0;
    case FieldType::Logical:
        return f.length == 1 && f.decimals == 0;
    }
    return false;
}

bool isFieldType(char c)
{
    return c == 'C' || c == 'N' || c == 'F' || c == 'D' || c == 'L';
}

bool nameIsValid(const QString &name)
{
    if (name.isEmpty() || name.size() > 10)
        return false;
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() || c == u'_') || c.unicode() > 0x7F)
            return false;
    }
    return name.front().isLetter();
}

bool isPadding(char c)
{
    return c == ' ' || c == '\0';
}

// The padding of a stored field: blanks, and the NULs some writers leave.
QByteArrayView trimmed(QByteArrayView bytes, bool leading)
{
    qsizetype b = 0, e = bytes.size();
    while (leading && b < e && isPadding(bytes[b]))
        ++b;
    while (e > b && isPadding(bytes[e - 1]))
        --e;
    return bytes.sliced(b, e - b);
}

// "yyyyMMdd" as eight digits, without the format parser: a table holds a date in every row.
QDate storedDate(QStringView s)
{
    if (s.size() == 8) {
        int n[8];
        bool digits = true;
        for (int i = 0; i < 8 && digits; ++i) {
            n[i] = s[i].unicode() - u'0';
            digits = n[i] >= 0 && n[i] <= 9;
        }
        if (digits)
            return QDate(n[0] * 1000 + n[1] * 100 + n[2] * 10 + n[3], n[4] * 10 + n[5], n[6] * 10 + n[7]);
    }
    return QDate::fromString(s.toString(), QStringLiteral("yyyyMMdd"));
}

const Clock &systemClock()
{
    static const SystemClock clock;
    return clock;
}

// A decimal number written with "." and optional sign, nothing else but surrounding blanks.
struct Decimal
{
    bool negative = false;
    QString integer;  // without leading zeros, "0" at least
    QString fraction; // without trailing zeros
};

std::optional<Decimal> parseDecimal(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([+-]?)(\\d*)(?:\\.(\\d*))?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0))
        return std::nullopt;
    Decimal d;
    d.integer = m.captured(2);
    while (d.integer.size() > 1 && d.integer.front() == u'0')
        d.integer.remove(0, 1);
    if (d.integer.isEmpty())
        d.integer = QStringLiteral("0");
    d.fraction = m.captured(3);
    while (!d.fraction.isEmpty() && d.fraction.back() == u'0')
        d.fraction.chop(1);
    d.negative = m.captured(1) == u"-" && (d.integer != u"0" || !d.fraction.isEmpty());
    return d;
}

bool isNumberType(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isIntegerType(const QVariant &v)
{
    return isNumberType(v) && v.metaType().id() != QMetaType::Double && v.metaType().id() != QMetaType::Float;
}

// A value as the user would read it in a message; long texts are shortened.
QString shown(const QVariant &v)
{
    QString s = v.metaType().id() == QMetaType::Double
        ? QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest)
        : v.toString();
    if (s.size() > 60)
        s = s.left(57) + QStringLiteral("...");
    return s;
}

QString numberText(const QVariant &v)
{
    if (isIntegerType(v))
        return v.toString();
    return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
}

} // namespace

DbfTable DbfTable::load(const QString &path)
{
    DbfTable t = fromBytes(readWholeFile(path), path);
    t.m_stamp = stampOf(path);
    return t;
}

DbfTable::DiskStamp DbfTable::stampOf(const QString &path)
{
    const osfile::Stamp s = osfile::stamp(path);
    DiskStamp stamp;
    stamp.size = s.size;
    stamp.modifiedNs = s.modifiedNs;
    stamp.inode = s.id;
    return stamp;
}

bool DbfTable::changedOnDisk() const
{
    return m_stamp.size != -1 && !m_path.isEmpty() && !(stampOf(m_path) == m_stamp);
}

DbfTable DbfTable::fromBytes(const QByteArray &bytes, const QString &path)
{
    auto bad = [&](const QString &reason) {
        return DbfError(textos::kTablaDanada.arg(QDir::toNativeSeparators(path), reason));
    };
    const qint64 size = bytes.size();
    if (size < kHeaderSize)
        throw bad(textos::kDemasiadoCorto.arg(size));
    const char *data = bytes.constData();
    if (data[0] != kVersion)
        throw bad(textos::kVersion.arg(uchar(data[0]), 2, 16, QLatin1Char('0')));
    if (data[29] != kLanguage && data[29] != 0)
        throw bad(textos::kIdioma.arg(uchar(data[29]), 2, 16, QLatin1Char('0')));
    const quint32 records = readLe32(data + 4);
    const int headerLength = readLe16(data + 8);
    const int recordLength = readLe16(data + 10);
    if (headerLength < kHeaderSize + 1 || headerLength > size)
        throw bad(textos::kCabecera.arg(headerLength));

    DbfTable t;
    t.m_path = path;
    int pos = kHeaderSize;
    int offset = 0;
    for (;;) {
        if (pos >= headerLength)
            throw bad(textos::kSinFin);
        if (data[pos] == kEndOfFields)
            break;
        if (pos + kDescriptorSize > headerLength)
            throw bad(textos::kSinFin);
        const int number = int(t.m_fields.size()) + 1;
        if (number > kMaxFields)
            throw bad(textos::kSinFin);
        const char *d = data + pos;
        const QByteArray rawName(d, int(qstrnlen(d, 11)));
        FieldDef f;
        f.name = QString::fromLatin1(rawName);
        if (!nameIsValid(f.name))
            throw bad(textos::kNombreCampo.arg(number));
        if (t.fieldIndex(f.name) >= 0)
            throw bad(textos::kCampoRepetido.arg(f.name));
        if (!isFieldType(d[11])) {
            const QChar c = QChar::fromLatin1(d[11]);
            throw bad(textos::kTipoCampo.arg(
                f.name,
                c.isPrint() ? QString(c) : QStringLiteral("0x%1").arg(uchar(d[11]), 2, 16, QLatin1Char('0'))));
        }
        f.type = FieldType(d[11]);
        f.length = uchar(d[16]);
        f.decimals = uchar(d[17]);
        if (!lengthIsValid(f))
            throw bad(
                textos::kLongitudCampo.arg(f.name).arg(QChar::fromLatin1(d[11])).arg(f.length).arg(f.decimals));
        t.m_fields.append(f);
        t.m_offsets.append(offset);
        offset += f.length;
        pos += kDescriptorSize;
    }
    if (t.m_fields.isEmpty())
        throw bad(textos::kSinCampos);
    t.m_recordLength = offset + 1;
    if (recordLength != t.m_recordLength)
        throw bad(textos::kLongitudRegistro.arg(recordLength).arg(t.m_recordLength));
    t.m_headerTail = bytes.mid(pos + 1, headerLength - pos - 1);
    const qint64 room = (size - headerLength) / t.m_recordLength;
    if (qint64(records) > room)
        throw bad(textos::kFaltanRegistros.arg(records).arg(room));
    const char *first = data + headerLength;
    for (quint32 r = 0; r < records; ++r) {
        const char flag = first[qsizetype(r) * t.m_recordLength];
        if (flag != ' ' && flag != '*')
            throw bad(textos::kMarcaBorrado.arg(r + 1));
    }
    // Shared, not copied: the records are read where the file was read into.
    t.m_bytes = bytes;
    t.m_base = headerLength;
    t.m_count = int(records);
    return t;
}

DbfTable DbfTable::create(const QString &path, const QList<FieldDef> &fields)
{
    DbfTable t;
    t.m_path = path;
    auto bad = [&](const QString &reason) {
        return DbfError(textos::kTablaDanada.arg(QDir::toNativeSeparators(path), reason));
    };
    if (fields.isEmpty())
        throw bad(textos::kSinCampos);
    if (fields.size() > kMaxFields)
        throw bad(textos::kSinFin);
    int offset = 0;
    for (int i = 0; i < fields.size(); ++i) {
        const FieldDef &f = fields[i];
        if (!nameIsValid(f.name))
            throw bad(textos::kNombreCampo.arg(i + 1));
        if (t.fieldIndex(f.name) >= 0)
            throw bad(textos::kCampoRepetido.arg(f.name));
        if (!isFieldType(char(f.type)))
            throw bad(textos::kTipoCampo.arg(f.name, QChar::fromLatin1(char(f.type))));
        if (!lengthIsValid(f))
            throw bad(textos::kLongitudCampo.arg(f.name)
                          .arg(QChar::fromLatin1(char(f.type)))
                          .arg(f.length)
                          .arg(f.decimals));
        t.m_fields.append(f);
        t.m_offsets.append(offset);
        offset += f.length;
    }
    if (offset + 1 > 0xFFFF)
        throw bad(textos::kLongitudRegistro.arg(0xFFFF).arg(offset + 1));
    t.m_recordLength = offset + 1;
    return t;
}

QString DbfTable::tableName() const
{
    const QString file = QFileInfo(m_path).fileName();
    const int dot = file.lastIndexOf(u'.');
    return dot > 0 ? file.left(dot) : file;
}

int DbfTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int DbfTable::recordCount() const
{
    return m_count;
}

const char *DbfTable::recordAt(int record) const
{
    if (record < 0 || record >= m_count)
        throw DbfError(textos::kSinRegistro.arg(tableName()).arg(record + 1));
    return m_bytes.constData() + m_base + qsizetype(record) * m_recordLength;
}

char *DbfTable::recordAt(int record)
{
    std::as_const(*this).recordAt(record); // range check
    return m_bytes.data() + m_base + qsizetype(record) * m_recordLength;
}

void DbfTable::checkLength(QByteArrayView record) const
{
    if (record.size() != m_recordLength)
        throw DbfError(textos::kRegistroAjeno.arg(tableName()).arg(record.size()).arg(m_recordLength));
}

int DbfTable::fieldOffset(int field) const
{
    if (field < 0 || field >= m_fields.size())
        throw DbfError(textos::kSinCampo.arg(tableName()).arg(field));
    return 1 + m_offsets[field];
}

QByteArray DbfTable::record(int record) const
{
    return QByteArray(recordAt(record), m_recordLength);
}

void DbfTable::setRecord(int record, const QByteArray &bytes)
{
    std::as_const(*this).recordAt(record); // range check, before anything detaches
    checkLength(bytes);
    memcpy(recordAt(record), bytes.constData(), size_t(m_recordLength));
}

QByteArray DbfTable::blankRecord() const
{
    return QByteArray(m_recordLength, ' ');
}

bool DbfTable::isDeleted(int record) const
{
    return *recordAt(record) == '*';
}

void DbfTable::setDeleted(int record, bool deleted)
{
    *recordAt(record) = deleted ? '*' : ' ';
}

int DbfTable::appendRecord()
{
    // Whatever followed the records in the file (its end mark, stray bytes) goes first.
    const qsizetype end = m_base + qsizetype(m_count) * m_recordLength;
    m_bytes.resize(end + m_recordLength);
    memset(m_bytes.data() + end, ' ', size_t(m_recordLength));
    return m_count++;
}

void DbfTable::truncate(int count)
{
    if (count >= 0 && count < m_count)
        m_count = count;
}

QVariant DbfTable::value(int record, int field) const
{
    return valueOf(recordAt(record), field);
}

QString DbfTable::text(int record, int field) const
{
    return textOf(recordAt(record), field);
}

void DbfTable::setValue(int record, int field, const QVariant &value)
{
    QByteArray bytes = this->record(record);
    setValueIn(bytes, field, value);
    setRecord(record, bytes);
}

QString DbfTable::textIn(const QByteArray &record, int field) const
{
    checkLength(record);
    return textOf(record.constData(), field);
}

QVariant DbfTable::valueIn(const QByteArray &record, int field) const
{
    checkLength(record);
    return valueOf(record.constData(), field);
}

QString DbfTable::textOf(const char *record, int field) const
{
    const int at = fieldOffset(field);
    const FieldDef &f = m_fields[field];
    // Leading blanks of a text are the user's; of a number or a date, padding.
    return win1252::decode(trimmed({record + at, f.length}, f.type != FieldType::Character));
}

QVariant DbfTable::valueOf(const char *record, int field) const
{
    const QString s = textOf(record, field);
    switch (m_fields[field].type) {
    case FieldType::Character:
        return s;
    case FieldType::Numeric:
    case FieldType::Float: {
        if (s.isEmpty())
            return {};
        bool ok = false;
        const double d = s.toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    case FieldType::Date: {
        const QDate d = storedDate(s);
        return d.isValid() ? QVariant(d) : QVariant();
    }
    case FieldType::Logical:
        if (s == u"T" || s == u"t" || s == u"Y" || s == u"y")
            return true;
        if (s == u"F" || s == u"f" || s == u"N" || s == u"n")
            return false;
        return {};
    }
    return {};
}

void DbfTable::setValueIn(QByteArray &record, int field, const QVariant &value) const
{
    checkLength(record);
    const int at = fieldOffset(field);
    const FieldDef &f = m_fields[field];
    auto refuse = [&](const QString &reason) {
        return DbfError(textos::kValorRechazado.arg(tableName(), f.name, shown(value), reason));
    };
    const bool isNull = value.isNull() || !value.isValid();
    QByteArray bytes;

    switch (f.type) {
    case FieldType::Character: {
        QString s;
        if (isNull)
            s.clear();
        else if (isNumberType(value))
            s = numberText(value);
        else if (value.metaType().id() == QMetaType::Bool)
            s = value.toBool() ? QStringLiteral("T") : QStringLiteral("F");
        else if (value.metaType().id() == QMetaType::QDate)
            s = value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
        else
            s = value.toString();
        for (const QChar c : s) {
            if (win1252::code(c) < 0)
                throw refuse(textos::kCaracter.arg(c));
        }
        if (s.size() > f.length)
            throw refuse(textos::kTextoLargo.arg(s.size()).arg(f.length));
        bytes = *win1252::encode(s);
        break;
    }
    case FieldType::Numeric:
    case FieldType::Float: {
        if (isNull || (value.metaType().id() == QMetaType::QString && value.toString().trimmed().isEmpty()))
            break; // blanks: a null number
        std::optional<Decimal> d;
        if (value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float) {
            const double x = value.toDouble();
            if (!std::isfinite(x))
                throw refuse(textos::kNoNumero);
            const QString fixed = QString::number(x, 'f', f.decimals);
            if (std::abs(fixed.toDouble() - x) > 1e-9 * std::max(1.0, std::abs(x)))
                throw refuse(textos::kDecimales.arg(f.decimals));
            d = parseDecimal(fixed);
        } else if (isIntegerType(value)) {
            d = parseDecimal(value.toString());
        } else if (value.metaType().id() == QMetaType::QString
                   || value.metaType().id() == QMetaType::QByteArray) {
            d = parseDecimal(value.toString());
        }
        if (!d)
            throw refuse(textos::kNoNumero);
        if (d->fraction.size() > f.decimals)
            throw refuse(textos::kDecimales.arg(f.decimals));
        QString s = d->negative ? QStringLiteral("-") : QString();
        s += d->integer;
        if (f.decimals > 0)
            s += u'.' + d->fraction.leftJustified(f.decimals, u'0');
        if (s.size() > f.length)
            throw refuse(textos::kNumeroAncho.arg(f.length).arg(f.decimals));
        bytes = s.rightJustified(f.length, u' ').toLatin1();
        break;
    }
    case FieldType::Date: {
        QDate date;
        if (isNull)
            break;
        if (value.metaType().id() == QMetaType::QDate || value.metaType().id() == QMetaType::QDateTime) {
            date = value.toDate();
        } else if (value.metaType().id() == QMetaType::QString) {
            const QString s = value.toString().trimmed();
            if (s.isEmpty())
                break;
            for (const char *format : {"yyyyMMdd", "yyyy-MM-dd", "dd/MM/yyyy"}) {
                date = QDate::fromString(s, QString::fromLatin1(format));
                if (date.isValid())
                    break;
            }
        }
        if (!date.isValid() || date.year() < 1 || date.year() > 9999)
            throw refuse(textos::kNoFecha);
        bytes = date.toString(QStringLiteral("yyyyMMdd")).toLatin1();
        break;
    }
    case FieldType::Logical: {
        if (isNull)
            break;
        if (value.metaType().id() == QMetaType::Bool) {
            bytes = value.toBool() ? "T" : "F";
            break;
        }
        const QString s = value.toString().trimmed().toUpper();
        if (s.isEmpty())
            break;
        if (s == u"T" || s == u"Y" || s == u"S" || s == u"1")
            bytes = "T";
        else if (s == u"F" || s == u"N" || s == u"0")
            bytes = "F";
        else if (s == u"?")
            bytes = "?";
        else
            throw refuse(textos::kNoLogico);
        break;
    }
    }
    bytes = bytes.leftJustified(f.length, ' ');
    record.replace(at, f.length, bytes);
}

void DbfTable::pack()
{
    // In place: the kept records slide down over the dropped ones.
    int kept = 0;
    for (int r = 0; r < m_count; ++r) {
        if (*std::as_const(*this).recordAt(r) == '*')
            continue;
        if (kept != r)
            memmove(recordAt(kept), std::as_const(*this).recordAt(r), size_t(m_recordLength));
        ++kept;
    }
    m_count = kept;
}

QByteArray DbfTable::header() const
{
    const int headerLength = kHeaderSize + kDescriptorSize * int(m_fields.size()) + 1
        + int(m_headerTail.size());
    QByteArray out(headerLength, '\0');
    char *h = out.data();
    h[0] = kVersion;
    const QDate today = (m_clock ? *m_clock : systemClock()).today();
    h[1] = char(today.year() - 1900);
    h[2] = char(today.month());
    h[3] = char(today.day());
    writeLe32(h + 4, quint32(recordCount()));
    writeLe16(h + 8, quint16(headerLength));
    writeLe16(h + 10, quint16(m_recordLength));
    h[29] = kLanguage;
    char *d = h + kHeaderSize;
    for (int i = 0; i < m_fields.size(); ++i, d += kDescriptorSize) {
        const QByteArray name = m_fields[i].name.toLatin1().left(10);
        memcpy(d, name.constData(), size_t(name.size()));
        d[11] = char(m_fields[i].type);
        writeLe32(d + 12, quint32(1 + m_offsets[i]));
        d[16] = char(m_fields[i].length);
        d[17] = char(m_fields[i].decimals);
    }
    *d = kEndOfFields;
    memcpy(d + 1, m_headerTail.constData(), size_t(m_headerTail.size()));
    return out;
}

QByteArray DbfTable::toBytes() const
{
    QByteArray out = header();
    out.reserve(out.size() + records().size() + 1);
    out.append(records());
    out.append(kEndOfFile);
    return out;
}

void DbfTable::save()
{
    // Header, records and end mark go out as they are, never gathered into one more copy.
    const char end = kEndOfFile;
    writeAtomically(m_path, {header(), records(), QByteArrayView(&end, 1)}, tableName());
    m_stamp = stampOf(m_path);
}

} // namespace kivo
