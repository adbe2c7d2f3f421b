#pragma once
// Shared by the tests of export steps 3 to 8: a working folder and a program folder
// (with an empty SENEMATERIAS.DBF) in a temporary directory, a run over a Séneca
// document built in memory, tables written by hand, and whole tables read back.

#include "common/dbf_table.h"
#include "export/export_run.h"
#include "export/subject_codes.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace export_steps {

// Texts as UTF-8, so that a failing comparison prints readable values.
using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

inline std::string utf8(const QString &text)
{
    return text.toStdString();
}

inline QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

// The field list of a table as "NAME type width", e.g. "COD C 10", "ESTAREA L 1".
using Fields = std::vector<std::string>;

class ExportStepsFixture : public ::testing::Test {
protected:
    ExportStepsFixture()
    {
        session.workDir = dir.filePath(QStringLiteral("ktemp"));
        session.programDir = dir.filePath(QStringLiteral("programa"));
        QDir().mkpath(session.workDir);
        QDir().mkpath(session.programDir);
        writeReferenceSubjects({});
    }

    // A run over the Séneca document with fresh code lists, as the driver starts one.
    ExportRun &runOver(const ExchangeBuilder &seneca)
    {
        run = std::make_unique<ExportRun>(session, ui);
        run->setDocuments(seneca.document(), ExchangeBuilder().document());
        run->codeLists = std::make_unique<SubjectCodeLists>();
        return *run;
    }

    static dbf::Layout referenceLayout()
    {
        return {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)};
    }

    // The school's reference table: rows of NOMBRE, COD, CODLARGO.
    void writeReferenceSubjects(const Rows &rows) { writeTable(session.materiasTablePath(), referenceLayout(), rows); }

    // A table of the working folder with the rows given, in field order ("T"/"F"
    // for logical fields, "" for an empty number).
    void writeWorkTable(const QString &fileName, const dbf::Layout &layout, const Rows &rows)
    {
        writeTable(session.workPath(fileName), layout, rows);
    }

    static void writeTable(const QString &path, const dbf::Layout &layout, const Rows &rows)
    {
        dbf::removeTableFiles(path);
        dbf::createTable(path, layout);
        dbf::Table table(path);
        table.open();
        for (const Row &values : rows) {
            const int row = table.appendBlank();
            for (size_t field = 0; field < values.size(); ++field)
                table.setText(row, int(field), qs(values[field]));
            table.post(row);
        }
        table.close();
    }

    // Every record of a table of the working folder, each field as its text.
    Rows records(const QString &fileName) const
    {
        dbf::Table table(session.workPath(fileName));
        table.open(dbf::Table::Access::ReadShared);
        Rows rows;
        for (int row : table.liveRows()) {
            Row values;
            for (int field = 0; field < table.fieldCount(); ++field)
                values.push_back(utf8(table.text(row, field)));
            rows.push_back(std::move(values));
        }
        return rows;
    }

    // The records reduced to some fields, in the order given.
    Rows columns(const QString &fileName, const std::vector<std::string> &names) const
    {
        dbf::Table table(session.workPath(fileName));
        table.open(dbf::Table::Access::ReadShared);
        std::vector<int> fields;
        for (const std::string &name : names)
            fields.push_back(table.fieldIndex(qs(name)));
        Rows rows;
        for (int row : table.liveRows()) {
            Row values;
            for (int field : fields)
                values.push_back(utf8(table.text(row, field)));
            rows.push_back(std::move(values));
        }
        return rows;
    }

    Fields fields(const QString &fileName) const
    {
        dbf::Table table(session.workPath(fileName));
        table.open(dbf::Table::Access::ReadShared);
        Fields out;
        for (int i = 0; i < table.fieldCount(); ++i) {
            const dbf::FieldDef &field = table.field(i);
            out.push_back(utf8(field.name) + ' ' + char(field.type) + ' ' + std::to_string(field.width));
        }
        return out;
    }

    bool workFileExists(const QString &fileName) const { return QFile::exists(session.workPath(fileName)); }

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
    std::unique_ptr<ExportRun> run;
};

} // namespace export_steps
