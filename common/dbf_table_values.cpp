// Field values in memory: each type read as text, whole number or number, and
// written from them, with the errors that name the table, record and field.
#include "common/dbf_table_impl.h"

#include "common/clipper.h"
#include "common/cp1252.h"

#include <algorithm>
#include <cstring>

namespace dbf {

QString doubleText(double value)
{
    const double magnitude = std::fabs(value);
    const char format = (value == 0.0 || (magnitude >= 1e-6 && magnitude < 1e15)) ? 'f' : 'g';
    return QString::number(value, format, QLocale::FloatingPointShortest);
}

QString notAFloatText(const QString &value)
{
    return QStringLiteral("«%1» no es un número").arg(value);
}

QString searchKey(FieldType type, const QString &value)
{
    switch (static_cast<char>(type)) {
    case 'C':
        return clipper::RTrim(value);
    case 'I':
    case '+': {
        const QString trimmed = clipper::AllTrim(value);
        int number = 0;
        if (trimmed.isEmpty())
            return QString();
        return clipper::parseWholeNumber(trimmed, number) ? QString::number(number) : value;
    }
    case 'O': {
        const QString trimmed = clipper::AllTrim(value);
        double number = 0;
        if (trimmed.isEmpty())
            return QString();
        return parseDouble(trimmed, number) ? doubleText(number) : value;
    }
    default:
        return clipper::AllTrim(value);
    }
}

QString Table::text(int row, int field) const
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    const char *p = d->cell(row, field);
    switch (typeChar(f)) {
    case 'C': {
        int end = f.width;
        while (end > 0 && isSpaceOrZero(p[end - 1]))
            --end;
        return cp1252::decode(p, end);
    }
    case 'I':
    case '+': {
        std::int32_t value = 0;
        return format::getInteger(p, value) ? QString::number(value) : QString();
    }
    case 'O': {
        double value = 0;
        return format::getDouble(p, value) ? doubleText(value) : QString();
    }
    case 'L':
        switch (p[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return QStringLiteral("T");
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return QStringLiteral("F");
        default:
            return QString();
        }
    case '@':
        return format::timestampText(p);
    default: {
        // Numbers, dates and whatever else other programs store as text.
        int begin = 0;
        int end = f.width;
        while (end > 0 && isSpaceOrZero(p[end - 1]))
            --end;
        while (begin < end && isSpaceOrZero(p[begin]))
            ++begin;
        return cp1252::decode(p + begin, end - begin);
    }
    }
}

int Table::integer(int row, int field) const
{
    d->check(row, field);
    const char *p = d->cell(row, field);
    switch (typeChar(d->def(field))) {
    case 'I':
    case '+': {
        std::int32_t value = 0;
        return format::getInteger(p, value) ? value : 0;
    }
    case 'O': {
        double value = 0;
        if (!format::getDouble(p, value))
            return 0;
        if (!isWholeInt(value))
            throw d->notAnInteger(row, field, doubleText(value));
        return int(value);
    }
    case 'N':
    case 'F': {
        const QString value = text(row, field);
        int number = 0;
        double real = 0;
        if (value.isEmpty())
            return 0;
        if (clipper::parseWholeNumber(value, number))
            return number;
        if (parseDouble(value, real) && isWholeInt(real)) // "12.00" in a field with decimals
            return int(real);
        throw d->notAnInteger(row, field, value);
    }
    default: {
        const QString value = text(row, field);
        int number = 0;
        if (!clipper::parseWholeNumber(value, number))
            throw d->notAnInteger(row, field, value);
        return number;
    }
    }
}

double Table::number(int row, int field) const
{
    d->check(row, field);
    const char *p = d->cell(row, field);
    switch (typeChar(d->def(field))) {
    case 'I':
    case '+': {
        std::int32_t value = 0;
        return format::getInteger(p, value) ? double(value) : 0.0;
    }
    case 'O': {
        double value = 0;
        return format::getDouble(p, value) ? value : 0.0;
    }
    default: {
        const char type = typeChar(d->def(field));
        const QString value = text(row, field);
        double real = 0;
        if (value.isEmpty() && (type == 'N' || type == 'F'))
            return 0.0;
        if (!parseDouble(value, real))
            throw UserError(notAFloatText(value) + d->where(row, field));
        return real;
    }
    }
}

bool Table::isNull(int row, int field) const
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    const char *p = d->cell(row, field);
    switch (typeChar(f)) {
    case 'I':
    case '+':
    case 'O':
    case '@':
        return std::all_of(p, p + f.width, [](char c) { return c == '\0'; });
    default:
        return text(row, field).isEmpty();
    }
}

int Table::appendBlank()
{
    d->checkOpen();
    d->data.insert(d->data.end(), d->blank.begin(), d->blank.end());
    d->changed();
    return d->rows++;
}

void Table::setText(int row, int field, const QString &value)
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    char *p = d->cell(row, field);
    switch (typeChar(f)) {
    case 'C': {
        // Encoded straight into the record: no text is built per field.
        const qsizetype size = cp1252::encodeInto(value, p, f.width);
        std::memset(p + size, ' ', std::size_t(f.width - size));
        break;
    }
    case 'I':
    case '+': {
        int number = 0;
        if (clipper::AllTrim(value).isEmpty())
            std::memset(p, 0, 4);
        else if (clipper::parseWholeNumber(value, number))
            setInteger(row, field, number);
        else
            throw d->notAnInteger(row, field, value);
        break;
    }
    case 'O': {
        double real = 0;
        if (clipper::AllTrim(value).isEmpty())
            std::memset(p, 0, 8);
        else if (parseDouble(value, real))
            format::putDouble(p, real);
        else
            throw UserError(notAFloatText(value) + d->where(row, field));
        break;
    }
    case 'L': {
        const QString flag = clipper::AllTrim(value).toUpper();
        if (flag.isEmpty())
            *p = ' ';
        else if (flag == QLatin1String("T") || flag == QLatin1String("Y"))
            *p = 'T';
        else if (flag == QLatin1String("F") || flag == QLatin1String("N"))
            *p = 'F';
        else
            throw UserError(QStringLiteral("«%1» no es un valor lógico (T o F)").arg(value) + d->where(row, field));
        break;
    }
    case 'N':
    case 'F': {
        const QString trimmed = clipper::AllTrim(value);
        double real = 0;
        if (trimmed.isEmpty()) {
            d->fill(row, field, QByteArray(), true);
            break;
        }
        if (!parseDouble(trimmed, real))
            throw UserError(notAFloatText(value) + d->where(row, field));
        const QByteArray digits = QByteArray::number(real, 'f', f.decimals);
        if (digits.size() > f.width)
            throw d->doesNotFit(row, field, value);
        d->fill(row, field, digits, true);
        break;
    }
    case 'D': {
        const QString date = clipper::AllTrim(value);
        if (!date.isEmpty() && (date.size() != 8 || !std::all_of(date.begin(), date.end(), [](QChar c) {
                return c >= QLatin1Char('0') && c <= QLatin1Char('9');
            })))
            throw UserError(QStringLiteral("«%1» no es una fecha AAAAMMDD").arg(value) + d->where(row, field));
        d->fill(row, field, date.toLatin1(), false);
        break;
    }
    default:
        throw UserError(QStringLiteral("La tabla %1 no puede escribir el campo %2, de tipo %3.")
                            .arg(d->path, f.name, QString(QLatin1Char(typeChar(f)))));
    }
    d->changed();
}

void Table::setInteger(int row, int field, int value)
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    switch (typeChar(f)) {
    case 'I':
    case '+':
        // Four zero bytes are null, so the smallest int has no form.
        if (value == std::numeric_limits<int>::min())
            throw UserError(QStringLiteral("El valor %1 está fuera del rango de un entero de la tabla").arg(value)
                + d->where(row, field));
        format::putInteger(d->cell(row, field), value);
        d->changed();
        break;
    case 'O':
        format::putDouble(d->cell(row, field), double(value));
        d->changed();
        break;
    case 'C':
        if (QString::number(value).size() > f.width)
            throw d->doesNotFit(row, field, QString::number(value));
        setText(row, field, QString::number(value));
        break;
    default:
        setText(row, field, QString::number(value));
    }
}

void Table::setDouble(int row, int field, double value)
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    if (!std::isfinite(value))
        throw UserError(notAFloatText(QString::number(value)) + d->where(row, field));
    switch (typeChar(f)) {
    case 'O':
        format::putDouble(d->cell(row, field), value);
        d->changed();
        break;
    case 'I':
    case '+':
        if (!isWholeInt(value))
            throw d->notAnInteger(row, field, doubleText(value));
        setInteger(row, field, int(value));
        break;
    case 'C':
        if (doubleText(value).size() > f.width)
            throw d->doesNotFit(row, field, doubleText(value));
        setText(row, field, doubleText(value));
        break;
    default:
        setText(row, field, doubleText(value));
    }
}

void Table::setLogical(int row, int field, bool value)
{
    setText(row, field, value ? QStringLiteral("T") : QStringLiteral("F"));
}

QString Table::key(int row, int field) const
{
    // text() already drops the padding of every type.
    return text(row, field);
}

} // namespace dbf
