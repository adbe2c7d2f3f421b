// The command line's answers to the time frame dialog: --frames CODE[,CODE] names
// one or two frames by their codes as the dialog lists them. The choice is handed
// over in the list's order, whatever the order of the codes in the option.
#include "cli/dialog_answers.h"
#include "common/clipper.h"
#include "export/export_run.h"
#include "export/frame_dialog.h"
#include "export/time_frames.h"

#include <algorithm>
#include <optional>

namespace {

QString framesOptionHint()
{
    return QStringLiteral("Indique uno o dos con --frames CÓDIGO[,CÓDIGO].");
}

// The list positions of the frames the option names, in list order. A code names
// the first listed frame whose code equals it once spaces around both are trimmed
// (the list shows codes untrimmed; a shell hardly keeps those spaces). Naming one
// frame twice chooses it once. Throws DecisionMissing naming what is wrong.
std::vector<int> chosenFrames(const QStringList &listed, const QStringList &codes)
{
    std::vector<int> chosen;
    for (const QString &code : codes) {
        const QString wanted = clipper::AllTrim(code);
        const auto found = std::find_if(
            listed.cbegin(), listed.cend(), [&](const QString &frame) { return clipper::AllTrim(frame) == wanted; });
        if (found == listed.cend()) {
            throw DecisionMissing(QStringLiteral("El marco horario '%1' de --frames no está entre los marcos "
                                                 "horarios del archivo de Séneca. %2")
                                      .arg(code, framesOptionHint()));
        }
        const int index = int(found - listed.cbegin());
        if (std::find(chosen.cbegin(), chosen.cend(), index) == chosen.cend())
            chosen.push_back(index);
    }
    if (chosen.size() > 2) {
        throw DecisionMissing(
            QStringLiteral("--frames nombra %1 marcos horarios y como máximo se pueden aplicar 2.").arg(chosen.size()));
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

void printFrames(const std::vector<ExchangeRecord> &frames)
{
    for (const ExchangeRecord &frame : frames) {
        standardOutput() << frame.value(time_frames::frameCode) << '\t' << frame.value(time_frames::frameName) << '\t'
                         << frame.value(time_frames::frameFirstDate) << '\t'
                         << frame.value(time_frames::frameSecondDate) << Qt::endl;
    }
}

} // namespace

void CliInterface::runFrameDialog(FrameDialog &dialog)
{
    // The dialog's list decides, as in the window.
    dialog.setSelection(chosenFrames(dialog.frameCodes(), m_answers.frames));
    dialog.close();
    if (!dialog.resultMH)
        throw DecisionMissing(QStringLiteral("--frames no elige ningún marco horario. %1").arg(framesOptionHint()));
}

void checkFrameAnswers(ExportRun &run, CliInterface &ui)
{
    const std::vector<ExchangeRecord> frames = run.seneca().records(time_frames::framesGroup());
    const CliAnswers &answers = ui.answers();
    QStringList listed;
    for (const ExchangeRecord &frame : frames)
        listed << frame.rawValue(time_frames::frameCode);
    try {
        if (!answers.framesGiven) {
            // With one frame or none there is nothing to ask.
            if (frames.size() < 2)
                return;
            throw DecisionMissing(QStringLiteral("El archivo de Séneca tiene %1 marcos horarios (se listan en la "
                                                 "salida estándar: código, nombre y fechas). %2")
                                      .arg(frames.size())
                                      .arg(framesOptionHint()));
        }
        chosenFrames(listed, answers.frames);
    } catch (const DecisionMissing &) {
        printFrames(frames);
        throw;
    }
}
