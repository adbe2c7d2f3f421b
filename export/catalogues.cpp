#include "export/catalogues.h"

#include "export/authorisations_table.h"
#include "export/course_levels_table.h"
#include "export/levels_table.h"
#include "export/origins_table.h"
#include "export/seneca_groups.h"

const std::vector<Catalogue> &catalogues()
{
    static const std::vector<Catalogue> list = {
        {seneca_groups::originsGroup(), origins_table::fileName(), origins_table::layout()},
        {seneca_groups::levelsGroup(), levels_table::fileName(), levels_table::layout()},
        {seneca_groups::courseLevelsGroup(), course_levels_table::fileName(), course_levels_table::layout()},
        {seneca_groups::authorisationsGroup(), authorisations_table::fileName(), authorisations_table::layout()},
    };
    return list;
}
