// The authorisation rules. The import writes a record's authorisation only when
// the lesson has an origin category and a level; without either it leaves the
// authorisation out on purpose, and that is no finding. A blank one is a lesson
// whose combination of activity, category and level the export does not
// authorise: Séneca will not pay those hours as they stand.
#include "import/check_rules.h"

#include <QHash>

namespace {

using F = TimetableField;
using K = CheckKind;

// The origins the export authorises, by activity and level.
QHash<QString, QStringList> authorisedOrigins(const SenecaExport &seneca)
{
    QHash<QString, QStringList> origins;
    for (const auto &[code, authorisation] : seneca.authorisations) {
        QStringList &list = origins[authorisation.activity + QLatin1Char('\x1f') + authorisation.level];
        const QString origin = seneca.categories.value(authorisation.category, authorisation.category);
        if (!list.contains(origin))
            list << origin;
    }
    for (QStringList &list : origins)
        list.sort();
    return origins;
}

} // namespace

void checkAuthorisations(const CheckContext &context, CheckFindings &findings)
{
    const SenecaExport &seneca = context.seneca;
    const CheckNames &names = context.names;
    QHash<QString, QStringList> origins;
    bool originsBuilt = false;
    for (const CheckedRecord &record : context.records) {
        if (!record.regular)
            continue;
        const TimetableDato *dato = record.record->find(F::X_ORIHORACTETP);
        if (!dato)
            continue;
        const QString &activity = record.code(F::X_ACTIVIDAD);
        if (!seneca.hasCatalogues) {
            findings.lesson(K::AuthorisationWithoutCatalogues, record,
                QStringLiteral("lecciones con autorización, y la exportación de Séneca no tiene el catálogo de "
                               "autorizaciones"),
                codesText({{"autorización", dato->value}}));
            continue;
        }
        if (dato->value.isEmpty()) {
            if (!originsBuilt) {
                origins = authorisedOrigins(seneca);
                originsBuilt = true;
            }
            const QString level = seneca.courseLevel.value(record.code(F::X_OFERTAMATRIG));
            const QStringList allowed = origins.value(activity + QLatin1Char('\x1f') + level);
            findings.lesson(K::NoAuthorisation, record,
                QStringLiteral("%1 sin autorización en %2, %3")
                    .arg(names.activity(activity),
                        level.isEmpty() ? QStringLiteral("un curso sin nivel") : names.level(level),
                        allowed.isEmpty()
                            ? QStringLiteral("que Séneca no autoriza en ese nivel con ningún origen de horas")
                            : QStringLiteral("que Séneca autoriza en ese nivel solo con el origen %1")
                                  .arg(allowed.join(QStringLiteral(", ")))),
                codesText({{"actividad", activity}, {"nivel", level}}));
            continue;
        }
        const SenecaAuthorisation *known = seneca.authorisations.find(dato->value);
        if (!known) {
            findings.lesson(K::UnknownAuthorisation, record,
                QStringLiteral("%1 con una autorización que Séneca no tiene").arg(names.activity(activity)),
                codesText({{"actividad", activity}, {"autorización", dato->value}}));
        } else if (known->activity != activity) {
            findings.lesson(K::AuthorisationOfOtherActivity, record,
                QStringLiteral("%1 con la autorización de %2")
                    .arg(names.activity(activity), names.activity(known->activity)),
                codesText({{"actividad", activity}, {"autorización", dato->value}}));
        }
    }
}
