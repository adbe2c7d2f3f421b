// The level and course dialog's logic: take-over of earlier codings from
// CURSOST2.DBF, the check at OK, storing the codings, and the forced exit.
#include "export/course_dialog.h"

#include "common/system_reason.h"
#include "common/user_error.h"
#include "export/courses_table.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <algorithm>

namespace {

int widthOf(QLatin1StringView fieldName)
{
    for (const dbf::FieldDef &field : courses_table::layout()) {
        if (field.name == fieldName)
            return field.width;
    }
    return 0;
}

} // namespace

// The OK check trims every character up to U+0020 from both ends and finds the
// value missing when nothing is left: spaces, tabs and line breaks count as empty.
bool isMissingCoding(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0x20; });
}

CourseDialog::CourseDialog(QString workDir, bool earlierAttemptFailed, UserInterface &ui)
    : m_ownFolder(std::make_unique<PlainFolder>(std::move(workDir)))
    , m_folder(*m_ownFolder)
    , m_earlierAttemptFailed(earlierAttemptFailed)
    , m_ui(ui)
{
}

CourseDialog::CourseDialog(TableFolder &folder, bool earlierAttemptFailed, UserInterface &ui)
    : m_folder(folder)
    , m_earlierAttemptFailed(earlierAttemptFailed)
    , m_ui(ui)
{
}

CourseDialog::~CourseDialog() = default;

QString CourseDialog::memoryPath() const
{
    return m_folder.readPath(course_memory_table::fileName());
}

void CourseDialog::openCourses()
{
    m_courses = dbf::Table(m_folder.writePath(courses_table::fileName()));
    m_courses.open();
    m_abrev = m_courses.fieldIndex(courses_table::abrev);
    m_turno = m_courses.fieldIndex(courses_table::turno);
    m_nivel = m_courses.fieldIndex(courses_table::nivel);
    m_curso = m_courses.fieldIndex(courses_table::curso);
    m_clave = m_courses.fieldIndex(courses_table::clave);
    m_estud = m_courses.fieldIndex(courses_table::estud);
    m_rows = m_courses.liveRows();
}

void CourseDialog::onShow()
{
    openCourses();
    if (!m_followsFailedOk && !memoryPath().isEmpty() && dbf::tableExists(memoryPath())) {
        const UserInterface::Answer answer
            = m_ui.ask(course_dialog_texts::takeOverCaption(), course_dialog_texts::takeOverQuestion(),
                course_dialog_texts::takeOverButton(), course_dialog_texts::startAfreshButton());
        if (answer == UserInterface::Answer::Second)
            forgetEarlierCodings();
        else
            takeOverEarlierCodings();
    }
    if (m_earlierAttemptFailed)
        setForcedExitVisible(true);
}

void CourseDialog::takeOverEarlierCodings()
{
    dbf::Table memory(memoryPath());
    memory.open(dbf::Table::Access::ReadShared);
    const int nivel = memory.fieldIndex(courses_table::nivel);
    const int curso = memory.fieldIndex(courses_table::curso);
    // firstByClave stands for the walk of CURSOST2.DBF from its first record that
    // stops at the first record whose CLAVE equals the course's.
    const dbf::Index firstByClave(memory, {memory.fieldIndex(courses_table::clave)});
    for (int row : m_rows) {
        const int earlier = firstByClave.first({m_courses.key(row, m_clave)});
        if (earlier < 0)
            continue;
        m_courses.setText(row, m_nivel, memory.text(earlier, nivel));
        m_courses.setText(row, m_curso, memory.text(earlier, curso));
        m_courses.post(row);
    }
}

void CourseDialog::batchChanges()
{
    if (m_courses.isOpen())
        m_courses.batchPosts();
}

void CourseDialog::forgetEarlierCodings()
{
    // Only CURSOST2.DBF goes; the next complete OK creates it anew.
    m_folder.removeFile(course_memory_table::fileName());
}

int CourseDialog::rowCount() const
{
    return int(m_rows.size());
}

// Once the dialog has closed its table the rows read as empty and take no input:
// a window may still paint itself between the closing and its disappearance.
QString CourseDialog::text(int row, int field) const
{
    if (!m_courses.isOpen() || row < 0 || row >= rowCount())
        return QString();
    return m_courses.text(m_rows[size_t(row)], field);
}

void CourseDialog::setText(int row, int field, const QString &value)
{
    if (!m_courses.isOpen() || row < 0 || row >= rowCount())
        return;
    const int record = m_rows[size_t(row)];
    m_courses.setText(record, field, value);
    m_courses.post(record);
}

QString CourseDialog::clave(int row) const
{
    return text(row, m_clave);
}
QString CourseDialog::estud(int row) const
{
    return text(row, m_estud);
}
QString CourseDialog::nivel(int row) const
{
    return text(row, m_nivel);
}
QString CourseDialog::curso(int row) const
{
    return text(row, m_curso);
}
void CourseDialog::setNivel(int row, const QString &value)
{
    setText(row, m_nivel, value);
}
void CourseDialog::setCurso(int row, const QString &value)
{
    setText(row, m_curso, value);
}

int CourseDialog::nivelWidth()
{
    static const int width = widthOf(courses_table::nivel);
    return width;
}

int CourseDialog::cursoWidth()
{
    static const int width = widthOf(courses_table::curso);
    return width;
}

int CourseDialog::firstIncomplete() const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (isMissingCoding(nivel(row)) || isMissingCoding(curso(row)))
            return row;
    }
    return -1;
}

void CourseDialog::focusEnteredColumn()
{
    setForcedExitVisible(false);
}

void CourseDialog::ok()
{
    if (!m_courses.isOpen())
        openCourses();
    result = false;
    if (firstIncomplete() >= 0) {
        result = true;
        setIncidentVisible(true);
        m_ui.showMessage(course_dialog_texts::missingData());
        setForcedExitVisible(true);
    } else {
        storeCodings();
    }
    m_courses.close();
    m_closed = Closed::WithOk;
}

void CourseDialog::storeCodings()
{
    storeCourseCodings(m_courses, m_rows, m_folder.copyForUpdate(course_memory_table::fileName()));
    m_codingsStored = true;
}

void storeCourseCodings(const dbf::Table &courses, const std::vector<int> &rows, const QString &memoryPath)
{
    if (!dbf::tableExists(memoryPath))
        dbf::createTable(memoryPath, course_memory_table::layout());
    const int courseAbrev = courses.fieldIndex(courses_table::abrev);
    const int courseTurno = courses.fieldIndex(courses_table::turno);
    const int courseNivel = courses.fieldIndex(courses_table::nivel);
    const int courseCurso = courses.fieldIndex(courses_table::curso);
    const int courseClave = courses.fieldIndex(courses_table::clave);
    const int courseEstud = courses.fieldIndex(courses_table::estud);
    dbf::Table memory(memoryPath);
    memory.open();
    memory.batchPosts();
    // CURSOST2.DBF has the layout of CURSOST.DBF.
    const int abrev = memory.fieldIndex(courses_table::abrev);
    const int turno = memory.fieldIndex(courses_table::turno);
    const int nivel = memory.fieldIndex(courses_table::nivel);
    const int curso = memory.fieldIndex(courses_table::curso);
    const int clave = memory.fieldIndex(courses_table::clave);
    const int estud = memory.fieldIndex(courses_table::estud);
    // firstByClave stands for the walk of CURSOST2.DBF from its first record that
    // stops at the first record whose CLAVE equals the course's; records appended
    // here join it, as the walk would meet them too.
    dbf::Index firstByClave(memory, {clave});
    for (int row : rows) {
        const QString key = courses.key(row, courseClave);
        int record = firstByClave.first({key});
        if (record >= 0) {
            memory.setText(record, nivel, courses.text(row, courseNivel));
            memory.setText(record, curso, courses.text(row, courseCurso));
            memory.post(record);
            continue;
        }
        record = memory.appendBlank();
        memory.setText(record, abrev, courses.text(row, courseAbrev));
        memory.setText(record, turno, courses.text(row, courseTurno));
        memory.setText(record, nivel, courses.text(row, courseNivel));
        memory.setText(record, curso, courses.text(row, courseCurso));
        memory.setText(record, clave, courses.text(row, courseClave));
        memory.setText(record, estud, courses.text(row, courseEstud));
        memory.post(record);
        firstByClave.add(record);
    }
    memory.close();
}

void CourseDialog::forceExit()
{
    m_courses.close();
    result = false;
    result2 = course_dialog_texts::forcedExitMark();
    m_closed = Closed::WithCancel;
}

void CourseDialog::closeFromTitleBar()
{
    m_courses.close();
    m_closed = Closed::FromTitleBar;
}

void CourseDialog::setForcedExitVisible(bool visible)
{
    if (m_forcedExitVisible == visible)
        return;
    m_forcedExitVisible = visible;
    if (changed)
        changed();
}

void CourseDialog::setIncidentVisible(bool visible)
{
    if (m_incidentVisible == visible)
        return;
    m_incidentVisible = visible;
    if (changed)
        changed();
}

namespace {

// Rows of tab-separated cells as spreadsheets put them on the clipboard. A cell
// in quotes may hold tabs and line breaks (doubled quotes stand for one); the
// line break after the last row is not a row of its own.
std::vector<QStringList> spreadsheetCells(const QString &text)
{
    std::vector<QStringList> rows;
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"') && cell.isEmpty()) {
            quoted = true;
        } else if (c == QLatin1Char('\t')) {
            cells << cell;
            cell.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            cells << cell;
            rows.push_back(cells);
            cells.clear();
            cell.clear();
        } else {
            cell += c;
        }
    }
    if (!cell.isEmpty() || !cells.isEmpty())
        rows.push_back(cells << cell);
    return rows;
}

} // namespace

int CourseDialog::paste(int row, PasteColumn column, const QString &cells)
{
    const std::vector<QStringList> block = spreadsheetCells(cells);
    const int firstField = column == PasteColumn::Nivel ? 0 : 1;
    int filled = 0;
    int cut = 0;
    int left = 0;
    for (const QStringList &values : block) {
        if (row + filled >= rowCount()) {
            ++left;
            continue;
        }
        for (int i = 0; i < values.size() && firstField + i < 2; ++i) {
            const QString value = values.at(i).trimmed();
            const bool nivelField = firstField + i == 0;
            if (value.size() > (nivelField ? nivelWidth() : cursoWidth()))
                ++cut;
            if (nivelField)
                setNivel(row + filled, value);
            else
                setCurso(row + filled, value);
        }
        ++filled;
    }
    QStringList problems;
    if (left == 1)
        problems << QStringLiteral("1 fila pegada quedaba por debajo del último curso y no se ha tenido en cuenta.");
    else if (left > 1)
        problems << QStringLiteral(
            "%1 filas pegadas quedaban por debajo del último curso y no se han tenido en cuenta.")
                        .arg(left);
    const QString widths = QStringLiteral("(NIVEL %1 caracteres, CURSO %2)").arg(nivelWidth()).arg(cursoWidth());
    if (cut == 1)
        problems << QStringLiteral("1 valor era más largo de lo que cabe %1 y se ha recortado.").arg(widths);
    else if (cut > 1)
        problems
            << QStringLiteral("%1 valores eran más largos de lo que cabe %2 y se han recortado.").arg(cut).arg(widths);
    if (!problems.isEmpty())
        m_ui.showMessage(problems.join(QLatin1Char('\n')));
    return filled;
}

std::vector<LevelsRow> CourseDialog::applyLevels(const LevelsCsv &csv)
{
    QHash<QString, std::vector<int>> coursesByClave;
    for (int row = 0; row < rowCount(); ++row)
        coursesByClave[clave(row)].push_back(row);
    std::vector<LevelsRow> unknown;
    for (const LevelsRow &answer : csv.rows) {
        const auto courses = coursesByClave.constFind(answer.clave);
        if (courses == coursesByClave.constEnd()) {
            unknown.push_back(answer);
            continue;
        }
        for (int row : *courses) {
            if (!answer.nivel.isEmpty())
                setNivel(row, answer.nivel);
            if (!answer.curso.isEmpty())
                setCurso(row, answer.curso);
        }
    }
    return unknown;
}

bool CourseDialog::loadLevels(const QString &path)
{
    LevelsCsv csv;
    try {
        csv = readLevelsCsv(path);
    } catch (const UserError &error) {
        m_ui.showMessage(error.message());
        return false;
    }
    const std::vector<LevelsRow> unknown = applyLevels(csv);
    if (unknown.empty())
        return true;
    QStringList lines;
    for (const LevelsRow &row : unknown)
        lines << QStringLiteral("línea %1: CLAVE \"%2\"").arg(row.line).arg(row.clave);
    m_ui.showMessage(QStringLiteral("Estas filas de %1 no corresponden a ningún curso del documento de Séneca y no "
                                    "se han tenido en cuenta:\n%2")
                         .arg(QDir::toNativeSeparators(path), lines.join(QLatin1Char('\n'))));
    return true;
}

QString CourseDialog::codingsCsv() const
{
    QString text
        = levelsCsvLine({courses_table::clave, courses_table::nivel, courses_table::curso, courses_table::estud})
        + QLatin1Char('\n');
    for (int row = 0; row < rowCount(); ++row)
        text += levelsCsvLine({clave(row), nivel(row), curso(row), estud(row)}) + QLatin1Char('\n');
    return text;
}

bool CourseDialog::saveTemplate(const QString &path) const
{
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + codingsCsv().toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_ui.showMessage(QStringLiteral("No se pudo guardar %1: %2.")
                             .arg(QDir::toNativeSeparators(path), disk::fileReason(file, true)));
        return false;
    }
    return true;
}
