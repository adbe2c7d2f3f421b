// Step 9: DIASHORAST.DBF, the timetabler's grid of teaching periods, from the time
// frames ("JORNADAS_ESCOLARES") and time slots ("TRAMOS_HORARIOS") of the Séneca
// document: seven days of every slot of the one or two frames the person chose.
#include "common/clipper.h"
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/days_hours_table.h"
#include "export/export_run.h"
#include "export/frame_dialog.h"
#include "export/time_frames.h"

#include <optional>
#include <vector>

namespace {

using time_frames::FrameCodes;

constexpr int kDays = 7;
// The start given to a frame that has no period on day 1: after every real start.
constexpr long long kNoFirstPeriod = 1440;

// A frame code as compared and stored: trimmed, cut to 10 characters, and trimmed
// again so that a space at the cut does not keep it from matching its own frame.
QString storedFrameCode(const QString &trimmed)
{
    return clipper::AllTrim(trimmed.left(time_frames::frameCodeWidth));
}

// One dialog attempt after another until the person makes a valid choice, or
// leaves the dialog (nothing then). A document with no frame at all gives the
// empty frame code, so the slots without a frame code are the ones taken.
std::optional<FrameCodes> chooseFrames(ExportRun &run)
{
    const std::vector<ExchangeRecord> frames = run.seneca().records(time_frames::framesGroup());
    if (frames.size() <= 1) {
        // The single frame's code is one code whatever its length (a code of exactly
        // 20 characters is not split in two as a hand-over of two frames would be).
        const QString code = frames.empty() ? QString() : frames.front().value(time_frames::frameCode);
        return FrameCodes{storedFrameCode(code), QString()};
    }
    for (;;) {
        FrameDialog dialog(run.session().filenameXML, run.ui(), &run.seneca());
        dialog.activate();
        run.ui().runFrameDialog(dialog);
        if (!dialog.isClosed()) {
            // An interface that gives the dialog back without closing it cannot give
            // an answer either; asking again would never end.
            throw UserError(QStringLiteral("No se ha elegido ningún marco horario: el diálogo de los marcos "
                                           "horarios no llegó a cerrarse."));
        }
        if (dialog.left())
            return std::nullopt;
        if (dialog.resultMH)
            return time_frames::decodeHandOver(dialog.resultado);
        run.session().result = true;
    }
}

struct Slot {
    QString code;
    QString label;
    QString frameCode;
    int start = 0;
    int end = 0;
    bool ofFirstFrame = false; // otherwise of the second
};

int slotMinutesOf(const ExchangeRecord &record, int position, int recordNumber)
{
    const QString text = record.value(position);
    int minutes = 0;
    if (!time_frames::slotMinutes(text, minutes)) {
        throw UserError(QStringLiteral("%1, registro %2: %3")
                            .arg(time_frames::slotsGroup())
                            .arg(recordNumber)
                            .arg(notAnIntegerText(text)));
    }
    return minutes;
}

// The slots of the chosen frames, in document order. A slot belongs to the first
// frame when its code is the first code, else to the second when it is the second.
// A slot too short to hold its frame code belongs to no frame: it is passed over
// with a word (skipped), never in silence.
std::vector<Slot> slotsOf(const ExchangeDocument &seneca, const FrameCodes &codes, SkippedRecords &skipped)
{
    std::vector<Slot> slots;
    int recordNumber = 0;
    for (const ExchangeRecord &record : seneca.records(time_frames::slotsGroup())) {
        ++recordNumber;
        Slot slot;
        slot.frameCode = storedFrameCode(record.value(time_frames::slotFrameCode));
        slot.ofFirstFrame = slot.frameCode == codes.first;
        if (!slot.ofFirstFrame && slot.frameCode != codes.second) {
            if (!record.has(time_frames::slotFrameCode))
                skipped.add(time_frames::slotsGroup(), recordNumber, time_frames::slotFrameCode + 1);
            continue;
        }
        slot.code = record.value(time_frames::slotCode);
        slot.label = record.value(time_frames::slotLabel);
        slot.start = slotMinutesOf(record, time_frames::slotStart, recordNumber);
        slot.end = slotMinutesOf(record, time_frames::slotEnd, recordNumber);
        slots.push_back(slot);
    }
    return slots;
}

// The timetabler numbers the frames by the start of their first period on day 1:
// the earlier one is frame 0, a tie goes to the first in list order. A first frame
// without periods starts at 0, a second one at 1440. The start is the slot's own
// minute count, which is what the period's HORADESDE text reads back as.
std::pair<QString, QString> frameNumbers(const std::vector<Slot> &slots, const FrameCodes &codes)
{
    long long firstStart = 0;
    long long secondStart = kNoFirstPeriod;
    bool firstFound = false;
    bool secondFound = false;
    for (const Slot &slot : slots) {
        if (!firstFound && slot.frameCode == codes.first) {
            firstStart = slot.start;
            firstFound = true;
        }
        if (!secondFound && slot.frameCode == codes.second) {
            secondStart = slot.start;
            secondFound = true;
        }
    }
    if (firstStart <= secondStart)
        return {QStringLiteral("0"), QStringLiteral("1")};
    return {QStringLiteral("1"), QStringLiteral("0")};
}

} // namespace

ExportRun::Outcome ExportRun::buildDaysHoursTable()
{
    // The choice and every slot are read before the old table is deleted, so a
    // dialog that cannot load the file leaves the table as it was.
    const std::optional<FrameCodes> chosen = chooseFrames(*this);
    if (!chosen)
        return Outcome::LeftUnfinished;
    const FrameCodes &codes = *chosen;
    const std::vector<Slot> slots = slotsOf(seneca(), codes, skippedRecords);
    const auto [firstNumber, secondNumber] = frameNumbers(slots, codes);

    const QString path = workPath(days_hours_table::fileName());
    dbf::removeTableFiles(path);
    dbf::createTable(path, days_hours_table::layout());
    noteTableWritten(days_hours_table::fileName());
    dbf::Table table(path);
    table.open();
    table.batchPosts();
    const int diho = table.fieldIndex(days_hours_table::diho);
    const int codDiho = table.fieldIndex(days_hours_table::codDiho);
    const int dia = table.fieldIndex(days_hours_table::dia);
    const int hora = table.fieldIndex(days_hours_table::hora);
    const int textoHor = table.fieldIndex(days_hours_table::textoHor);
    const int horaDesde = table.fieldIndex(days_hours_table::horaDesde);
    const int horaHasta = table.fieldIndex(days_hours_table::horaHasta);
    const int minutos = table.fieldIndex(days_hours_table::minutos);
    const int marco = table.fieldIndex(days_hours_table::marco);
    const int marcoXml = table.fieldIndex(days_hours_table::marcoXml);

    for (int day = 1; day <= kDays; ++day) {
        int firstPeriod = 0;
        int secondPeriod = 0;
        for (const Slot &slot : slots) {
            const int period = slot.ofFirstFrame ? ++firstPeriod : ++secondPeriod;
            const int row = table.appendBlank();
            table.setText(row, diho, QString::number(day) + QString::number(period));
            table.setText(row, hora, QString::number(period));
            table.setText(row, dia, QString::number(day));
            table.setText(row, textoHor, slot.label);
            table.setText(row, codDiho, slot.code);
            table.setText(row, horaDesde, time_frames::timeText(slot.start));
            table.setText(row, horaHasta, time_frames::timeText(slot.end));
            table.setText(row, minutos, QString::number(static_cast<long long>(slot.end) - slot.start));
            table.setText(row, marcoXml, slot.frameCode);
            table.setText(row, marco, slot.ofFirstFrame ? firstNumber : secondNumber);
            table.post(row);
        }
    }
    table.close();
    return Outcome::Completed;
}
