// Placeholder until the import lands.
#include "import/import_run.h"

#include "common/user_error.h"

ImportRun::ImportRun(Session &session, UserInterface &ui)
    : m_session(session)
    , m_ui(ui)
{
}

ImportRun::Outcome ImportRun::run()
{
    throw UserError(QStringLiteral("La importación todavía no está disponible."));
}
