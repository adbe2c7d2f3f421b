#pragma once
// Values for the integer fields of the working tables (the catalogues' codes, the
// level key of an assignment). A whole number is an optional sign and decimal
// digits within the 32-bit range, spaces around allowed; the table keeps four zero
// bytes for "no value", so the smallest 32-bit number, -2147483648, has no form.

#include <QString>

enum class IntegerFieldText {
    Valid,
    NotWhole, // not a whole number: "«%s» no es un número entero"
    OutOfRange, // -2147483648, which the field cannot hold
};

IntegerFieldText readIntegerField(const QString &text, int &value);

// The reason a value cannot go into an integer field, for the person's message.
QString integerFieldProblem(const QString &text, IntegerFieldText problem);
