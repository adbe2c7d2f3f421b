// A whole export over arbitrary documents: the input is the Séneca file, a line
// "=====", the planning file and, after another such line, the bytes of the
// codings kept by an earlier export (CURSOST2.DBF), when there are any. The real
// run reads them, asks its dialogs (answered by fuzz::AnsweringInterface) and
// writes every table into a working folder emptied for each input. Bad input may
// only ever end in a UserError, and a completed run leaves tables that read.
#include "common/dbf_table.h"
#include "common/exchange_document.h"
#include "common/exchange_values.h"
#include "common/session.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "fuzz/fuzz_support.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A subject reference table with a few of the example school's subjects, so that
// step 3 finds some names and derives the others.
QString subjectReferenceTable()
{
    const QString path
        = QDir(fuzz::freshFolder(QStringLiteral("programa"))).filePath(QStringLiteral("SENEMATERIAS.DBF"));
    dbf::createTable(path, {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)});
    dbf::Table table(path);
    table.open();
    for (const auto &[name, code] : {std::pair{"Lengua Castellana y Literatura", "LCL"}, std::pair{"Tutoría", "TUT"}}) {
        const int row = table.appendBlank();
        table.setText(row, 0, QString::fromUtf8(name));
        table.setText(row, 1, QString::fromUtf8(code));
        table.setText(row, 2, QString::fromUtf8(code));
        table.post(row);
    }
    table.close();
    return path;
}

bool sameTexts(const ExchangeValuesRecord &a, const ExchangeValuesRecord &b)
{
    if (a.count() != b.count())
        return false;
    for (int position = 0; position < a.count(); ++position) {
        if (a.rawValue(position) != b.rawValue(position) || a.name(position) != b.name(position)
            || a.name(position).isNull() != b.name(position).isNull())
            return false;
    }
    return true;
}

bool sameTexts(const std::vector<ExchangeValuesGroup> &a, const std::vector<ExchangeValuesGroup> &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].seq != b[i].seq || !sameTexts(a[i].own, b[i].own) || a[i].records.size() != b[i].records.size())
            return false;
        for (std::size_t r = 0; r < a[i].records.size(); ++r) {
            if (!sameTexts(a[i].records[r], b[i].records[r]))
                return false;
        }
    }
    return true;
}

QString describe(const ExchangeRecord &record)
{
    QStringList datos;
    for (int position = 0; position < record.count(); ++position)
        datos << record.serialisedValue(position);
    return datos.join(QLatin1Char('|'));
}

// The export reads both documents in a streaming pass wherever that gives what
// their trees would: it must give the same values, names and markup, and accept
// no file the tree refuses.
void checkStreamMatchesTree(const QString &path)
{
    std::optional<ExchangeDocument> tree;
    try {
        tree.emplace(ExchangeDocument::load(path));
    } catch (const UserError &) {
    }
    for (const auto markup : {ExchangeValues::Markup::NotNeeded, ExchangeValues::Markup::Needed}) {
        // The streaming reader refuses a file either by giving nothing or with the
        // person's message; both are fine, accepting what the tree refuses is not.
        std::optional<ExchangeValues> stream;
        try {
            stream = ExchangeValues::readByStream(path, markup);
        } catch (const UserError &) {
        }
        if (!stream)
            continue;
        if (!tree)
            fuzz::fail(QStringLiteral("la lectura sin árbol acepta %1, que el árbol rechaza").arg(path));
        const ExchangeValues fromTree = ExchangeValues::fromDocument(*tree);
        // Without markup only the texts and names are promised.
        const bool same = markup == ExchangeValues::Markup::Needed ? stream->groups() == fromTree.groups()
                                                                   : sameTexts(stream->groups(), fromTree.groups());
        if (!same || stream->hasEncoding() != fromTree.hasEncoding())
            fuzz::fail(QStringLiteral("la lectura sin árbol de %1 no da los valores del árbol").arg(path));
    }
    if (!tree)
        return;
    const ExchangeDocument streamed = ExchangeDocument::read(path);
    if (streamed.hasTree())
        return;
    const std::vector<ExchangeRecord> a = streamed.topLevelRecords();
    const std::vector<ExchangeRecord> b = tree->topLevelRecords();
    if (a.size() != b.size())
        fuzz::fail(QStringLiteral("la lectura sin árbol de %1 no da los grupos del árbol").arg(path));
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (describe(a[i]) != describe(b[i])) {
            fuzz::fail(QStringLiteral("el marcado leído sin árbol difiere del árbol en %1:\n%2\n%3")
                           .arg(path, describe(a[i]), describe(b[i])));
        }
    }
    for (const ExchangeValuesGroup &group : streamed.values()->groups()) {
        const std::vector<ExchangeRecord> c = streamed.records(group.seq);
        const std::vector<ExchangeRecord> d = tree->records(group.seq);
        if (c.size() != d.size())
            fuzz::fail(QStringLiteral("la lectura sin árbol de %1 no da los registros del árbol").arg(path));
        for (std::size_t i = 0; i < c.size(); ++i) {
            if (describe(c[i]) != describe(d[i])) {
                fuzz::fail(QStringLiteral("el marcado leído sin árbol difiere del árbol en %1:\n%2\n%3")
                               .arg(path, describe(c[i]), describe(d[i])));
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString materias = subjectReferenceTable();
    const std::vector<QByteArray> parts = fuzz::splitInput(data, size, 3);

    const QString inputs = fuzz::freshFolder(QStringLiteral("export/seneca"));
    Session session;
    session.workDir = fuzz::freshFolder(QStringLiteral("export/KTEMP"));
    session.programDir = QFileInfo(materias).absolutePath();
    session.materiasPath = materias;

    fuzz::AnsweringInterface ui;
    ui.files = {QDir(inputs).filePath(QStringLiteral("seneca.xml")),
        QDir(inputs).filePath(QStringLiteral("planificacion.xml"))};
    fuzz::writeFile(ui.files[0], parts[0]);
    fuzz::writeFile(ui.files[1], parts[1]);
    if (!parts[2].isEmpty())
        fuzz::writeFile(QDir(session.workDir).filePath(QStringLiteral("CURSOST2.DBF")), parts[2]);
    for (const QString &file : ui.files)
        checkStreamMatchesTree(file);
    try {
        ExportRun run(session, ui);
        if (run.run() == ExportRun::Outcome::Completed)
            fuzz::checkTablesReadable(session.workDir);
    } catch (const UserError &) {
        // Refused with a message: what a bad document must get.
    }
    return 0;
}
