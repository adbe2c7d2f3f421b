// Writes an empty subject reference table (NOMBRE C 80, COD C 10, CODLARGO C 10,
// level 7) at the given path, unless a table is already there.
#include "common/dbf_table.h"
#include "common/user_error.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "Uso: make_senematerias RUTA/SENEMATERIAS.DBF\n");
        return 2;
    }
    const QString path = arguments.at(1);
    if (QFileInfo::exists(path))
        return 0;
    try {
        dbf::createTable(
            path, {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)});
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
