// The HTML page of the timetable check. Everything the person reads is here in
// Spanish; codes stand in the cells' titles, shown on hover.
#include "import/check_report_html.h"

#include "common/clipper.h"
#include "common/system_reason.h"
#include "common/text_hash.h"
#include "common/user_error.h"
#include "export/time_frames.h"
#include "import/check_names.h"
#include "import/check_report_model.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <map>
#include <string>

namespace {

// The key by which a Spanish reader orders names, the same on every system (the
// collators of ICU on Linux and of Windows disagree on spaces, digits and
// punctuation, and the report must be the same file): case and accents aside (Á
// with A), ñ a letter of its own after n, then the code points of the rest.
std::vector<quint32> spanishOrderKey(const QString &name)
{
    const QString folded = name.normalized(QString::NormalizationForm_D).toCaseFolded();
    std::vector<quint32> key;
    key.reserve(std::size_t(folded.size()));
    for (const QChar c : folded) {
        if (c.category() == QChar::Mark_NonSpacing) {
            if (c.unicode() == 0x0303 && !key.empty() && key.back() == quint32(u'n') * 2)
                key.back() += 1; // ñ between n and o
            continue;
        }
        key.push_back(quint32(c.unicode()) * 2);
    }
    return key;
}

const char *const kStyle = R"css(
body{font:14px/1.35 system-ui,-apple-system,"Segoe UI",Roboto,Arial,sans-serif;margin:0 auto;max-width:1200px;padding:0 16px 40px;color:#1d2329;background:#fff}
h1{font-size:24px;margin:20px 0 4px}h2{font-size:19px;margin:28px 0 8px;border-bottom:2px solid #d7dde3;padding-bottom:4px}
h3{font-size:16px;margin:0 0 6px}
.meta{color:#4a5561;margin:0 0 12px}
.counts{display:flex;gap:10px;flex-wrap:wrap;margin:12px 0}
.count{border-radius:6px;padding:8px 14px;font-weight:600;border:1px solid}
.count.e{background:#fdecea;border-color:#e0a39d;color:#8c1d13}.count.w{background:#fff6e0;border-color:#e6c77a;color:#7a5200}
.count.i{background:#e9f2fb;border-color:#9fc0e0;color:#1b4a78}.count.ok{background:#e8f5ea;border-color:#9ccaa4;color:#1e5a2a}
.advice{background:#f4f6f8;border-left:4px solid #56707f;padding:8px 12px}
.verdict{font-size:18px;font-weight:700;margin:8px 0}.verdict.ok{color:#1e5a2a}.verdict.e{color:#8c1d13}
section.kind{border-left:4px solid;padding:2px 0 6px 12px;margin:10px 0}
section.kind.e{border-color:#c0392b}section.kind.w{border-color:#d4a017}section.kind.i{border-color:#5b8fc7}
section.kind h4{font-size:15px;margin:4px 0}section.kind h4 .n{font-weight:400;color:#5a6570}
.todo{margin:0 0 4px;color:#2c3e50;font-style:italic}
ul.problems{list-style:none;padding:0;margin:0}
ul.problems li{padding:3px 0;border-bottom:1px solid #eceff2}
.codes{color:#5a6570;font-size:12px}
details summary{cursor:pointer;color:#1f5a94;padding:3px 0}
.where{color:#5a6570;font-size:12px;margin-left:6px}
nav.index{columns:3 220px;font-size:13px}
nav.index a{display:block;padding:1px 0}
section.grid{margin:24px 0;break-inside:avoid;content-visibility:auto;contain-intrinsic-size:auto 560px}
table.week{border-collapse:collapse;width:100%;table-layout:fixed}
table.week th,table.week td{border:1px solid #c9d1d8;padding:3px 4px;vertical-align:top}
table.week thead th{background:#eef2f5;font-size:13px}
table.week th.slot{width:110px;text-align:left;font-weight:600;background:#f7f9fa;font-size:12px}
table.week th.slot span{display:block;font-weight:400;color:#5a6570}
.l{background:#eaf1f8;border-radius:4px;padding:2px 4px;margin:1px 0;font-size:12px;line-height:1.25}
.l b{display:block}.l i{color:#4a5561;font-style:normal}
.l.x{background:#fbe3e0}
.nonregular{font-size:13px;margin:6px 0 0}
.top{font-size:12px}
@media print{body{max-width:none;padding:0}nav.index,.top{display:none}section.grid{break-before:page;margin:0;content-visibility:visible}details::details-content{display:block;content-visibility:visible}details summary{display:none}
.l{background:none;border:1px solid #999}a{color:inherit;text-decoration:none}}
)css";

QString esc(const QString &text)
{
    // Codes and most names need no escaping: no copy for them.
    for (const QChar c : text) {
        if (c == u'<' || c == u'>' || c == u'&' || c == u'"')
            return text.toHtmlEscaped();
    }
    return text;
}

enum class GridKind { Teacher, Unit, Room };

// The page's bytes on their way to the file. Appends are inline copies: the grids
// are made of a few million of them.
class PageBytes {
public:
    PageBytes &operator+=(QByteArrayView bytes)
    {
        m_bytes.append(bytes.data(), std::size_t(bytes.size()));
        return *this;
    }
    PageBytes &operator+=(char c)
    {
        m_bytes.push_back(c);
        return *this;
    }
    void reserve(std::size_t size) { m_bytes.reserve(size); }
    qsizetype size() const { return qsizetype(m_bytes.size()); }
    // Empties it, keeping its capacity: the next megabyte reuses the same pages.
    void clear() { m_bytes.clear(); }
    // Writes it all to the device; false when the device took less.
    bool writeTo(QIODevice &device) const
    {
        return device.write(m_bytes.data(), qint64(m_bytes.size())) == qint64(m_bytes.size());
    }

private:
    std::string m_bytes;
};

} // namespace

// Everything but the findings is prepared on construction, so the check can make
// it while its rules run.
class CheckReportPage {
public:
    CheckReportPage(const SenecaExport &seneca, const TimetableContent &content)
        : m_seneca(seneca)
        , m_content(content)
        , m_names(seneca)
    {
        m_out.reserve((1 << 20) + (1 << 16));
        preparePieces();
        prepareRows();
        prepareTableParts();
        collectGrids();
    }

    // Writes the page to the device; false when a write failed.
    bool write(QIODevice &device, const CheckResult &result)
    {
        m_device = &device;
        put(QStringLiteral("<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\">"
                           "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
                           "<title>Comprobación del horario – "));
        put(esc(QFileInfo(m_content.path).fileName()));
        put(QStringLiteral("</title><style>") + QString::fromUtf8(kStyle) + QStringLiteral("</style></head><body>\n"));
        header();
        const CheckReportModel model = checkReportModel(m_content, result);
        summary(model.summary);
        problems(model);
        index();
        grids();
        put(QStringLiteral("</body></html>\n"));
        if (!m_failed && !m_out.writeTo(device))
            m_failed = true;
        m_out.clear();
        return !m_failed;
    }

private:
    void put(const QString &text) { m_out += text.toUtf8(); }
    // The page goes to its file a piece at a time: the largest school's is tens of megabytes.
    void flushSome()
    {
        if (m_out.size() < (1 << 20))
            return;
        if (!m_out.writeTo(*m_device))
            m_failed = true;
        m_out.clear();
    }

    struct Grid {
        GridKind kind;
        QString key; // employee, unit or room code
        QString title;
        QString id;
        std::vector<int> records; // regular records shown in it
        std::vector<int> nonRegular; // a teacher's non-regular records
    };

    void header()
    {
        const int year = m_seneca.year.toInt();
        put(QStringLiteral("<header><h1>Comprobación del horario antes de subirlo a Séneca</h1><p class=\"meta\">"));
        put(QStringLiteral("Documento: <b>%1</b><br>").arg(esc(QDir::toNativeSeparators(m_content.path))));
        put(QStringLiteral("Curso académico: <b>%1</b> (%2 – %3)<br>")
                .arg(year > 0 ? QStringLiteral("%1/%2").arg(year).arg(year + 1) : esc(m_seneca.year),
                    esc(m_seneca.yearStart), esc(m_seneca.yearEnd)));
        put(QStringLiteral("Exportación de Séneca: %1%2</p></header>\n")
                .arg(esc(QFileInfo(m_seneca.path).fileName()),
                    m_seneca.exportDate.isEmpty() ? QString()
                                                  : QStringLiteral(", del %1").arg(esc(m_seneca.exportDate))));
    }

    // What matters first: the verdict and the counts.
    void summary(const ReportSummary &summary)
    {
        put(QStringLiteral("<section class=\"summary\" id=\"resumen\"><h2>Resumen</h2>"));
        if (summary.canUpload()) {
            put(QStringLiteral("<p class=\"verdict ok\">Puede subir el documento.%1</p>")
                    .arg(summary.warnings > 0 ? QStringLiteral(" Revise antes los avisos.") : QString()));
        } else {
            put(QStringLiteral("<p class=\"verdict e\">Corrija los errores antes de subir el documento a Séneca: "
                               "un registro con errores puede rechazarse o cargarse mal.</p>"));
        }
        put(QStringLiteral("<div class=\"counts\">"));
        put(QStringLiteral("<a class=\"count %1\" href=\"#errores\">%2 errores</a>")
                .arg(summary.errors ? QStringLiteral("e") : QStringLiteral("ok"))
                .arg(summary.errors));
        put(QStringLiteral("<a class=\"count w\" href=\"#avisos\">%1 avisos</a>").arg(summary.warnings));
        put(QStringLiteral("<a class=\"count i\" href=\"#informacion\">%1 notas informativas</a>")
                .arg(summary.information));
        put(QStringLiteral("<span class=\"count i\">%1 lecciones regulares, %2 actividades no regulares, %3 "
                           "profesores</span></div></section>\n")
                .arg(summary.regularLessons)
                .arg(summary.nonRegularActivities)
                .arg(summary.teachers));
    }

    // The problems grouped by kind, each group folded after its first lines.
    void problems(const CheckReportModel &model)
    {
        constexpr size_t kOpenLines = 3;
        put(QStringLiteral("<h2 id=\"problemas\">Problemas</h2>\n"));
        const struct {
            CheckSeverity severity;
            const char *id;
            const char *title;
            const char *cls;
            int count;
        } severities[] = {{CheckSeverity::Error, "errores", "Errores", "e", model.summary.errors},
            {CheckSeverity::Warning, "avisos", "Avisos", "w", model.summary.warnings},
            {CheckSeverity::Information, "informacion", "Información", "i", model.summary.information}};
        for (const auto &severity : severities) {
            put(QStringLiteral("<h3 id=\"%1\">%2 (%3)</h3>\n")
                    .arg(QLatin1String(severity.id), QString::fromUtf8(severity.title))
                    .arg(severity.count));
            if (severity.count == 0) {
                put(QStringLiteral("<p>Ninguno.</p>\n"));
                continue;
            }
            for (const ReportProblemGroup *group : model.groupsOf(severity.severity)) {
                const CheckKindInfo &info = checkKindInfo(group->kind);
                put(QStringLiteral("<section class=\"kind %1\"><h4>%2 <span class=\"n\">%3</span></h4><p "
                                   "class=\"todo\">%4</p>\n<ul class=\"problems\">\n")
                        .arg(QLatin1String(severity.cls), esc(QString::fromUtf8(info.title)))
                        .arg(group->lines.size())
                        .arg(esc(QString::fromUtf8(info.advice))));
                for (size_t i = 0; i < group->lines.size(); ++i) {
                    if (i == kOpenLines) {
                        put(QStringLiteral("</ul><details><summary>Ver %1 más</summary><ul class=\"problems\">\n")
                                .arg(group->lines.size() - i));
                    }
                    problem(*group->lines[i]);
                }
                put(group->lines.size() > kOpenLines ? QStringLiteral("</ul></details></section>\n")
                                                     : QStringLiteral("</ul></section>\n"));
            }
        }
    }

    void problem(const CheckFinding &finding)
    {
        put(QStringLiteral("<li>") + esc(finding.text));
        if (!finding.codes.isEmpty())
            put(QStringLiteral(" <span class=\"codes\">(%1)</span>").arg(esc(finding.codes)));
        if (!finding.employee.isEmpty()) {
            if (const int *grid = m_teacherGrid.find(finding.employee))
                put(QStringLiteral(" <a href=\"#%1\">Ver su horario</a>").arg(m_grids[size_t(*grid)].id));
        }
        if (!finding.records.isEmpty()) {
            put(QStringLiteral(" <span class=\"where\" title=\"%1\">%2 %3</span>")
                    .arg(esc(finding.records.join(QLatin1Char(' '))))
                    .arg(finding.records.size())
                    .arg(finding.records.size() == 1 ? QStringLiteral("registro") : QStringLiteral("registros")));
        } else if (finding.line > 0) {
            put(QStringLiteral(" <span class=\"where\">línea %1</span>").arg(finding.line));
        }
        put(QStringLiteral("</li>\n"));
    }

    void index()
    {
        const struct {
            GridKind kind;
            const char *title;
        } kinds[] = {{GridKind::Teacher, "Profesores"}, {GridKind::Unit, "Unidades"}, {GridKind::Room, "Dependencias"}};
        put(QStringLiteral("<h2 id=\"indice\">Índice de horarios</h2>\n"));
        for (const auto &kind : kinds) {
            put(QStringLiteral("<h3>%1</h3><nav class=\"index\">").arg(QString::fromUtf8(kind.title)));
            for (const Grid &grid : m_grids) {
                if (grid.kind == kind.kind)
                    put(QStringLiteral("<a href=\"#%1\">%2</a>").arg(grid.id, esc(grid.title)));
            }
            put(QStringLiteral("</nav>\n"));
        }
    }

    // The export's slots, by start time, are the rows; one more row holds lessons
    // whose slot the export does not know.
    void prepareRows()
    {
        for (int i = 0; i < int(m_seneca.slots.size()); ++i)
            m_rowOfSlot.push_back(i);
        std::stable_sort(m_rowOfSlot.begin(), m_rowOfSlot.end(), [&](int a, int b) {
            const SenecaSlot &sa = m_seneca.slots[size_t(a)];
            const SenecaSlot &sb = m_seneca.slots[size_t(b)];
            return std::tie(sa.start, sa.end) < std::tie(sb.start, sb.end);
        });
        m_slotRow.resize(m_seneca.slots.size());
        for (int row = 0; row < int(m_rowOfSlot.size()); ++row)
            m_slotRow[size_t(m_rowOfSlot[size_t(row)])] = row;
        m_days = 5;
        m_recordRow.assign(m_content.records.size(), -1);
        m_recordDay.assign(m_content.records.size(), 0);
        for (size_t i = 0; i < m_content.records.size(); ++i) {
            const TimetableRecord &record = m_content.records[i];
            if (!m_content.teachers[size_t(record.teacher)].regular)
                continue;
            int day = 0;
            if (!clipper::parseWholeNumber(record.value(TimetableField::N_DIASEMANA), day) || day < 1 || day > 7)
                continue;
            m_days = std::max(m_days, day);
            m_recordDay[i] = day;
            const int *slot = m_seneca.slotIndex.find(record.value(TimetableField::X_TRAMO));
            m_recordRow[i] = slot ? m_slotRow[size_t(*slot)] : int(m_rowOfSlot.size());
            m_unknownSlots = m_unknownSlots || !slot;
        }
    }

    void collectGrids()
    {
        TextHash<int> units, rooms;
        // The title is made only for a new grid: most records find theirs.
        const auto gridFor = [&](TextHash<int> &index, GridKind kind, const QString &key, auto title) {
            if (const int *found = index.find(key))
                return *found;
            const int n = int(m_grids.size());
            m_grids.push_back({kind, key, title(), QString(), {}, {}});
            index.insert(key, n);
            return n;
        };
        // A teacher group's records follow one another: its grid is looked up once.
        int lastTeacher = -1;
        int ownGrid = -1;
        for (size_t i = 0; i < m_content.records.size(); ++i) {
            const TimetableRecord &record = m_content.records[i];
            const TimetableTeacher &teacher = m_content.teachers[size_t(record.teacher)];
            if (record.teacher != lastTeacher) {
                const QString employee = teacher.employee();
                ownGrid
                    = gridFor(m_teacherGrid, GridKind::Teacher, employee, [&] { return m_names.teacher(employee); });
                lastTeacher = record.teacher;
            }
            Grid &own = m_grids[size_t(ownGrid)];
            if (!teacher.regular) {
                own.nonRegular.push_back(int(i));
                continue;
            }
            own.records.push_back(int(i));
            const QString &unit = record.value(TimetableField::X_UNIDAD);
            if (!unit.isEmpty())
                m_grids[size_t(gridFor(units, GridKind::Unit, unit, [&] { return m_names.unit(unit); }))]
                    .records.push_back(int(i));
            const QString &room = record.value(TimetableField::X_DEPENDENCIA);
            if (!room.isEmpty())
                m_grids[size_t(gridFor(rooms, GridKind::Room, room, [&] { return m_names.room(room); }))]
                    .records.push_back(int(i));
        }
        // Teachers, then units, then rooms, each by name; the teacher index keeps pointing right.
        std::vector<int> order(m_grids.size());
        for (int i = 0; i < int(order.size()); ++i)
            order[size_t(i)] = i;
        // By name as a Spanish reader sorts them (Á with A): sort keys made once.
        std::vector<std::vector<quint32>> keys;
        keys.reserve(m_grids.size());
        for (const Grid &grid : m_grids)
            keys.push_back(spanishOrderKey(grid.title));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const Grid &ga = m_grids[size_t(a)];
            const Grid &gb = m_grids[size_t(b)];
            if (ga.kind != gb.kind)
                return int(ga.kind) < int(gb.kind);
            return keys[size_t(a)] < keys[size_t(b)];
        });
        std::vector<Grid> sorted;
        sorted.reserve(m_grids.size());
        std::vector<int> newIndex(m_grids.size());
        for (int n : order) {
            newIndex[size_t(n)] = int(sorted.size());
            sorted.push_back(std::move(m_grids[size_t(n)]));
        }
        m_grids = std::move(sorted);
        for (auto &[employee, grid] : m_teacherGrid)
            grid = newIndex[size_t(grid)];
        const char *prefix[] = {"p", "u", "d"};
        for (size_t i = 0; i < m_grids.size(); ++i)
            m_grids[i].id = QLatin1String(prefix[int(m_grids[i].kind)]) + QString::number(i);
    }

    void grids()
    {
        const char *heading[] = {"Horario del profesor", "Horario de la unidad", "Ocupación de la dependencia"};
        put(QStringLiteral("<h2 id=\"horarios\">Horarios semanales</h2>\n"));
        for (const Grid &grid : m_grids) {
            put(QStringLiteral("<section class=\"grid\" id=\"%1\"").arg(grid.id));
            if (grid.kind == GridKind::Teacher)
                put(QStringLiteral(" data-employee=\"%1\"").arg(esc(grid.key)));
            put(QStringLiteral("><h3>%1: %2 <span class=\"where\">(%3)</span></h3>")
                    .arg(QString::fromUtf8(heading[int(grid.kind)]), esc(grid.title), esc(grid.key)));
            table(grid);
            if (!grid.nonRegular.empty())
                nonRegular(grid);
            put(QStringLiteral("<p class=\"top\"><a href=\"#indice\">Volver al índice</a> · <a "
                               "href=\"#problemas\">Problemas</a></p></section>\n"));
            flushSome();
        }
    }

    // The table's head and each row's slot cell are the same in every grid: made once.
    void prepareTableParts()
    {
        QString head = QStringLiteral("<table class=\"week\"><thead><tr><th class=\"slot\">Tramo</th>");
        for (int day = 1; day <= m_days; ++day)
            head += QStringLiteral("<th>%1</th>").arg(check_texts::dayName(day));
        m_tableHead = (head + QStringLiteral("</tr></thead><tbody>\n")).toUtf8();
        for (const int slotIndex : m_rowOfSlot) {
            const SenecaSlot &slot = m_seneca.slots[size_t(slotIndex)];
            m_rowHeads.push_back(QStringLiteral("<tr><th class=\"slot\" title=\"Tramo %1\">%2<span>%3–%4</span></th>")
                                     .arg(esc(slot.code), esc(slot.label), time_frames::timeText(slot.start),
                                         time_frames::timeText(slot.end))
                                     .toUtf8());
        }
        if (m_unknownSlots)
            m_rowHeads.push_back(QByteArrayLiteral("<tr><th class=\"slot\">Tramo desconocido</th>"));
    }

    void table(const Grid &grid)
    {
        const int rows = int(m_rowHeads.size());
        // The cells' lists are kept from grid to grid: cleared, not freed.
        m_cells.resize(size_t(rows * m_days));
        for (std::vector<int> &cell : m_cells)
            cell.clear();
        int dayless = 0;
        // The rows from the first slot used to the last: a morning school's grids
        // leave out the afternoon, and the page stays a third smaller.
        int firstRow = rows, lastRow = -1;
        for (int r : grid.records) {
            const int row = m_recordRow[size_t(r)];
            if (row < 0) {
                ++dayless;
                continue;
            }
            m_cells[size_t(row * m_days + m_recordDay[size_t(r)] - 1)].push_back(r);
            firstRow = std::min(firstRow, row);
            lastRow = std::max(lastRow, row);
        }
        m_out += m_tableHead;
        for (int row = firstRow; row <= lastRow; ++row) {
            m_out += m_rowHeads[size_t(row)];
            for (int day = 1; day <= m_days; ++day) {
                m_out += "<td>";
                cell(grid.kind, m_cells[size_t(row * m_days + day - 1)]);
                m_out += "</td>";
            }
            m_out += "</tr>\n";
        }
        m_out += "</tbody></table>\n";
        if (dayless > 0) {
            put(QStringLiteral("<p class=\"nonregular\">%1 registros sin día de la semana válido no aparecen en la "
                               "tabla (véase Problemas).</p>")
                    .arg(dayless));
        }
    }

    // One entry per lesson: the records of one teacher, subject, room and activity
    // in one cell are one lesson given to several units. Written from the pieces
    // prepared once per record, in bytes: the grids are most of the page.
    void cell(GridKind kind, const std::vector<int> &records)
    {
        if (records.empty())
            return;
        // Cells hold a few records: grouping them by comparison costs less than keys.
        // The lists are scratch kept across cells, so a cell allocates nothing.
        size_t lessonCount = 0;
        for (int r : records) {
            const Piece &piece = m_pieces[size_t(r)];
            std::vector<int> *same = nullptr;
            for (size_t n = 0; n < lessonCount; ++n) {
                const Piece &other = m_pieces[size_t(m_lessons[n].front())];
                if (other.teacher == piece.teacher && other.subject == piece.subject && other.room == piece.room
                    && other.activity == piece.activity) {
                    same = &m_lessons[n];
                    break;
                }
            }
            if (!same) {
                if (m_lessons.size() == lessonCount)
                    m_lessons.emplace_back();
                same = &m_lessons[lessonCount++];
                same->clear();
            }
            same->push_back(r);
        }
        for (size_t n = 0; n < lessonCount; ++n) {
            const std::vector<int> &group = m_lessons[n];
            const Piece &first = m_pieces[size_t(group.front())];
            m_out += "<div class=\"l\"";
            if (kind == GridKind::Teacher) { // the records' names only where a teacher's lessons are looked for
                m_out += " data-r=\"";
                for (size_t i = 0; i < group.size(); ++i) {
                    if (i > 0)
                        m_out += ' ';
                    m_out += m_pieces[size_t(group[i])].id;
                }
                m_out += '"';
            }
            // A lesson of one record, most of them, is its record's title and subject as made
            // once; a lesson of several lists their units between the first's pieces of it.
            const QByteArray *unitNames = &m_unitNames;
            if (group.size() == 1) {
                m_out += first.lesson;
                if (!first.unitCode.isEmpty() && !first.unitName.isEmpty())
                    unitNames = &first.unitName;
                else
                    m_unitNames = "sin unidad";
            } else {
                m_out += QByteArrayView(first.lesson).first(first.unitsAt);
                m_unitNames.resize(0);
                for (size_t i = 0; i < group.size(); ++i) {
                    const Piece &piece = m_pieces[size_t(group[i])];
                    bool repeated = false;
                    for (size_t k = 0; k < i && !repeated; ++k)
                        repeated = m_pieces[size_t(group[k])].unitCode == piece.unitCode;
                    if (repeated || piece.unitCode.isEmpty())
                        continue;
                    if (!m_unitNames.isEmpty()) {
                        m_out += ", ";
                        m_unitNames += ", ";
                    }
                    m_out += piece.unitCode;
                    m_unitNames += piece.unitName;
                }
                if (m_unitNames.isEmpty())
                    m_unitNames += "sin unidad";
                m_out += QByteArrayView(first.lesson).sliced(first.unitsAt + first.unitCode.size());
            }
            m_out += kind == GridKind::Unit ? first.teacherName : *unitNames;
            m_out += "<br><i>";
            m_out += kind == GridKind::Room ? first.teacherName : first.roomName;
            m_out += "</i></div>";
        }
    }

    // What a record shows, escaped and in UTF-8, made once.
    struct Piece {
        int teacher = -1;
        QByteArray subject, room, activity; // compared to group records into lessons
        QByteArray id, unitCode, unitName, roomName, teacherName;
        // ` title="…"><b>subject</b>`, with the record's unit code at unitsAt.
        QByteArray lesson;
        qsizetype unitsAt = 0;
    };

    void preparePieces()
    {
        TextHash<QByteArray> cache[4]; // subjects, units, rooms, teachers
        const auto cached = [&](int kind, const QString &key, auto make) {
            if (const QByteArray *found = cache[kind].find(key))
                return *found;
            return cache[kind].emplace(key, esc(make()).toUtf8());
        };
        // Codes repeat from record to record: each is escaped and encoded once.
        TextHash<QByteArray> codes;
        const auto code = [&](const QString &text) -> const QByteArray & {
            if (const QByteArray *found = codes.find(text))
                return *found;
            return codes.emplace(text, esc(text).toUtf8());
        };
        m_pieces.resize(m_content.records.size());
        // A teacher group's records follow one another: its parts are made once.
        int lastTeacher = -1;
        QByteArray employeeHead, teacherName;
        for (size_t i = 0; i < m_content.records.size(); ++i) {
            const TimetableRecord &record = m_content.records[i];
            const TimetableTeacher &teacher = m_content.teachers[size_t(record.teacher)];
            if (!teacher.regular)
                continue;
            Piece &piece = m_pieces[i];
            piece.teacher = record.teacher;
            if (record.teacher != lastTeacher) {
                const QString employee = teacher.employee();
                employeeHead = "Empleado " + esc(employee).toUtf8() + " · actividad ";
                teacherName = cached(3, employee, [&] { return m_names.teacher(employee); });
                lastTeacher = record.teacher;
            }
            const QString &unit = record.value(TimetableField::X_UNIDAD);
            const QString &room = record.value(TimetableField::X_DEPENDENCIA);
            const QString &activity = record.value(TimetableField::X_ACTIVIDAD);
            const QString subjectName = m_names.taught(record);
            piece.subject = cached(0, subjectName, [&] { return subjectName; });
            piece.room = code(room);
            piece.activity = code(activity);
            piece.id = esc(teacher.seq + QLatin1Char('/') + record.seq).toUtf8();
            piece.unitCode = code(unit);
            QByteArray &lesson = piece.lesson;
            lesson.reserve(160);
            lesson += " title=\"";
            lesson += employeeHead;
            lesson += piece.activity;
            lesson += " · materia ";
            lesson += code(record.value(TimetableField::X_MATERIAOMG));
            lesson += " · curso ";
            lesson += code(record.value(TimetableField::X_OFERTAMATRIG));
            lesson += " · unidad ";
            piece.unitsAt = lesson.size();
            lesson += piece.unitCode;
            lesson += " · dependencia ";
            lesson += piece.room;
            lesson += "\"><b>";
            lesson += piece.subject;
            lesson += "</b>";
            lesson.squeeze();
            if (!unit.isEmpty())
                piece.unitName = cached(1, unit, [&] { return m_names.unit(unit); });
            piece.roomName
                = room.isEmpty() ? QByteArray("sin dependencia") : cached(2, room, [&] { return m_names.room(room); });
            piece.teacherName = teacherName;
        }
    }

    void nonRegular(const Grid &grid)
    {
        std::map<QString, std::pair<int, int>> byActivity; // name -> count, minutes
        for (int r : grid.nonRegular) {
            const TimetableRecord &record = m_content.records[size_t(r)];
            const QString &code = record.value(TimetableField::X_ACTIVIDAD);
            const SenecaActivity *activity = m_seneca.activities.find(code);
            const QString name = activity ? activity->name : QStringLiteral("Actividad %1").arg(code);
            int minutes = 0;
            clipper::parseWholeNumber(record.value(TimetableField::N_MINSEN), minutes);
            auto &entry = byActivity[name];
            ++entry.first;
            entry.second += minutes;
        }
        QStringList parts;
        for (const auto &[name, entry] : byActivity)
            parts << QStringLiteral("%1: %2 × (%3 min en total)").arg(esc(name)).arg(entry.first).arg(entry.second);
        put(QStringLiteral("<p class=\"nonregular\"><b>Horario no regular</b> – %1</p>")
                .arg(parts.join(QStringLiteral("; "))));
    }

    const SenecaExport &m_seneca;
    const TimetableContent &m_content;
    CheckNames m_names;
    PageBytes m_out; // what has not gone to the device yet
    QIODevice *m_device = nullptr;
    bool m_failed = false;
    std::vector<Piece> m_pieces;
    std::vector<Grid> m_grids;
    TextHash<int> m_teacherGrid; // employee -> grid
    std::vector<int> m_rowOfSlot; // row -> slot index
    std::vector<int> m_slotRow; // slot index -> row
    std::vector<int> m_recordRow, m_recordDay; // per record; row -1 when not in a grid
    int m_days = 5;
    bool m_unknownSlots = false;
    QByteArray m_tableHead; // the grids' table head, in UTF-8
    std::vector<QByteArray> m_rowHeads; // each row's slot cell, in UTF-8
    std::vector<std::vector<int>> m_cells, m_lessons; // scratch of table() and cell()
    QByteArray m_unitNames; // scratch of cell()
};

QByteArray checkReportHtml(const SenecaExport &seneca, const TimetableContent &content, const CheckResult &result)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CheckReportPage(seneca, content).write(buffer, result);
    return buffer.data();
}

void writeCheckReport(
    const QString &path, const SenecaExport &seneca, const TimetableContent &content, const CheckResult &result)
{
    PreparedCheckReport(seneca, content).write(path, result);
}

PreparedCheckReport::PreparedCheckReport(const SenecaExport &seneca, const TimetableContent &content)
    : m_page(std::make_unique<CheckReportPage>(seneca, content))
{
}

PreparedCheckReport::~PreparedCheckReport() = default;

void PreparedCheckReport::write(const QString &path, const CheckResult &result)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !m_page->write(file, result) || !file.commit()) {
        throw UserError(QStringLiteral("No se pudo escribir el informe %1: %2.")
                            .arg(QDir::toNativeSeparators(path), disk::fileReason(file, true)));
    }
}

QString checkReportPathFor(const QString &documentPath)
{
    if (documentPath.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
        return documentPath.left(documentPath.size() - 4) + QStringLiteral(".html");
    return documentPath + QStringLiteral(".html");
}
