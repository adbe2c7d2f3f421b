// The filter: the live rows whose field holds one value, found through a map of
// each key's rows that is built once per field and dropped when a record changes.
#include "common/dbf_table_impl.h"

#include "common/clipper.h"

#include <QRegularExpression>

namespace dbf {

void Table::setFilter(const QString &expression)
{
    d->checkOpen();
    if (clipper::AllTrim(expression).isEmpty()) {
        d->filterField = -1;
        d->filterKey.clear();
        return;
    }
    static const QRegularExpression form(QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*'((?:[^']|'')*)'\\s*$"));
    const QRegularExpressionMatch match = form.match(expression);
    if (!match.hasMatch())
        throw UserError(QStringLiteral("El filtro «%1» de la tabla %2 no es válido: solo se admite la forma "
                                       "CAMPO = 'valor'.")
                            .arg(expression, d->path));
    const int field = fieldIndex(match.captured(1));
    QString value = match.captured(2);
    value.replace(QLatin1String("''"), QLatin1String("'"));
    d->filterField = field;
    d->filterKey = searchKey(d->def(field).type, value);
}

std::vector<int> Table::filteredRows() const
{
    if (d->filterField < 0)
        return liveRows();
    auto cached = d->rowsByKey.find(d->filterField);
    if (cached == d->rowsByKey.end()) {
        QHash<QString, std::vector<int>> byKey;
        for (int row = 0; row < d->rows; ++row) {
            if (*d->record(row) != format::kDeletedFlag)
                byKey[key(row, d->filterField)].push_back(row);
        }
        cached = d->rowsByKey.emplace(d->filterField, std::move(byKey)).first;
    }
    const auto found = cached->second.constFind(d->filterKey);
    return found == cached->second.constEnd() ? std::vector<int>() : found.value();
}

} // namespace dbf
