#include "export/catalogues.h"

#include "export/authorisations_table.h"
#include "export/course_levels_table.h"
#include "export/levels_table.h"
#include "export/origins_table.h"

const std::vector<Catalogue> &catalogues()
{
    static const std::vector<Catalogue> list = {
        {QStringLiteral("ORIGENES"), origins_table::fileName(), origins_table::layout()},
        {QStringLiteral("NIVELES"), levels_table::fileName(), levels_table::layout()},
        {QStringLiteral("CURSOS_NIVELES"), course_levels_table::fileName(), course_levels_table::layout()},
        {QStringLiteral("AUTORIZACIONES"), authorisations_table::fileName(), authorisations_table::layout()},
    };
    return list;
}
