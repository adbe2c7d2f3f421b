#include "export/integer_fields.h"

#include "common/clipper.h"
#include "common/user_error.h"

#include <limits>

IntegerFieldText readIntegerField(const QString &text, int &value)
{
    int number = 0;
    if (!clipper::parseWholeNumber(text, number))
        return IntegerFieldText::NotWhole;
    if (number == std::numeric_limits<int>::min())
        return IntegerFieldText::OutOfRange;
    value = number;
    return IntegerFieldText::Valid;
}

QString integerFieldProblem(const QString &text, IntegerFieldText problem)
{
    if (problem == IntegerFieldText::OutOfRange)
        return QStringLiteral("'%1' está fuera del rango de un entero de la tabla").arg(text);
    return notAnIntegerText(text);
}
