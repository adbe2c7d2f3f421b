#include "export/frame_dialog.h"

#include "common/exchange_document.h"
#include "common/user_error.h"
#include "common/user_interface.h"
#include "export/time_frames.h"

#include <QDir>

#include <algorithm>

QString frameBlock(const QString &code)
{
    return code.left(time_frames::frameCodeWidth).leftJustified(time_frames::frameCodeWidth, QLatin1Char(' '));
}

FrameDialog::FrameDialog(QString filenameXML, UserInterface &ui, const ExchangeDocument *loaded)
    : m_filenameXML(std::move(filenameXML))
    , m_ui(ui)
    , m_loaded(loaded)
    , m_name(frame_dialog_texts::nothingOnDisplay())
    , m_firstDate(frame_dialog_texts::nothingOnDisplay())
    , m_secondDate(frame_dialog_texts::nothingOnDisplay())
{
}

void FrameDialog::activate()
{
    // The run has just read this very file: parsing it again would only cost time
    // and a second tree of the whole document.
    if (m_loaded && m_loaded->path() == m_filenameXML) {
        read(*m_loaded);
        return;
    }
    const ExchangeDocument document = [this] {
        try {
            return ExchangeDocument::load(m_filenameXML);
        } catch (const UserError &error) {
            throw UserError(QStringLiteral("No se pudo leer de nuevo el archivo de Séneca para elegir los marcos "
                                           "horarios, y sin él no se puede elegir ninguno.\n%1")
                                .arg(error.message()));
        }
    }();
    read(document);
}

void FrameDialog::read(const ExchangeDocument &document)
{
    // A record that lacks a position reads it as the empty text.
    m_frames.clear();
    for (const ExchangeRecord &record : document.records(time_frames::framesGroup())) {
        m_frames.push_back({record.rawValue(time_frames::frameCode), record.rawValue(time_frames::frameName),
            record.rawValue(time_frames::frameFirstDate), record.rawValue(time_frames::frameSecondDate)});
    }
    m_slots.clear();
    for (const ExchangeRecord &record : document.records(time_frames::slotsGroup())) {
        m_slots.push_back({record.rawValue(time_frames::slotLabel), record.rawValue(time_frames::slotFrameCode),
            record.value(time_frames::slotStart), record.value(time_frames::slotEnd)});
    }

    // The dialog only opens for a file with two or more frames. Finding fewer now
    // means the file changed since the export read it: the list would stay empty
    // and no attempt could ever succeed, so the export stops here instead.
    if (m_frames.size() < 2) {
        throw UserError(QStringLiteral("El archivo de Séneca %1 ya no contiene los marcos horarios "
                                       "(JORNADAS_ESCOLARES) que había al empezar la exportación: no se puede "
                                       "elegir ninguno. Vuelva a exportar.")
                            .arg(QDir::toNativeSeparators(m_filenameXML)));
    }

    m_codes.clear();
    for (const FrameRecord &frame : m_frames)
        m_codes << frame.code;
    m_selected.assign(m_codes.size(), false);
    m_activated = true;
    setCurrent(0);
}

void FrameDialog::setCurrent(int index)
{
    m_current = index >= 0 && index < frameCount() ? index : -1;
    showCurrent();
}

void FrameDialog::showCurrent()
{
    const QString code = m_current >= 0 ? m_codes.at(m_current) : QString();
    m_name = m_firstDate = m_secondDate = frame_dialog_texts::nothingOnDisplay();
    // A later record with the same code overwrites an earlier one.
    for (const FrameRecord &frame : m_frames) {
        if (frame.code == code) {
            m_name = frame.name;
            m_firstDate = frame.firstDate;
            m_secondDate = frame.secondDate;
        }
    }
    // Every slot of the frame on display is listed, also when the document holds
    // a single slot record.
    m_slotLabels.clear();
    for (const SlotRecord &slot : m_slots) {
        if (slot.frameCode == code)
            m_slotLabels << slot.label;
    }
}

void FrameDialog::setSelected(int index, bool selected)
{
    if (index >= 0 && index < int(m_selected.size()))
        m_selected[size_t(index)] = selected;
}

void FrameDialog::setSelection(const std::vector<int> &indexes)
{
    m_selected.assign(m_codes.size(), false);
    for (int index : indexes)
        setSelected(index, true);
}

bool FrameDialog::isSelected(int index) const
{
    return index >= 0 && index < int(m_selected.size()) && m_selected[size_t(index)];
}

std::vector<int> FrameDialog::selectedIndexes() const
{
    std::vector<int> out;
    for (int i = 0; i < int(m_selected.size()); ++i) {
        if (m_selected[size_t(i)])
            out.push_back(i);
    }
    return out;
}

QStringList FrameDialog::frameListTexts() const
{
    QStringList texts;
    for (const QString &code : m_codes) {
        QString name;
        for (const FrameRecord &frame : m_frames) {
            if (frame.code == code)
                name = frame.name.trimmed(); // the display's rule: a later equal record wins
        }
        int first = -1;
        int last = -1;
        for (const SlotRecord &slot : m_slots) {
            int start = 0;
            int end = 0;
            if (slot.frameCode != code || !time_frames::slotMinutes(slot.start, start)
                || !time_frames::slotMinutes(slot.end, end))
                continue;
            first = first < 0 ? start : std::min(first, start);
            last = std::max(last, end);
        }
        QStringList parts{code};
        if (!name.isEmpty())
            parts << name;
        if (first >= 0)
            parts << time_frames::timeText(first) + QStringLiteral("–") + time_frames::timeText(last);
        texts << parts.join(QStringLiteral(" · "));
    }
    return texts;
}

bool FrameDialog::askToLeave()
{
    if (m_closed)
        return true;
    if (m_ui.ask(frame_dialog_texts::leaveCaption(), frame_dialog_texts::leaveQuestion(),
            frame_dialog_texts::leaveButton(), frame_dialog_texts::stayButton())
        != UserInterface::Answer::First)
        return false;
    m_left = true;
    m_closed = true;
    resultMH = false;
    resultado.clear();
    return true;
}

void FrameDialog::close()
{
    if (m_closed)
        return;
    m_closed = true;
    resultMH = true;
    resultado.clear();
    const std::vector<int> selected = selectedIndexes();
    if (selected.size() > 2) {
        m_ui.showMessage(frame_dialog_texts::tooMany());
        resultMH = false;
    } else if (selected.empty()) {
        m_ui.showMessage(frame_dialog_texts::noneSelected());
        resultMH = false;
    }
    for (int index : selected)
        resultado += frameBlock(m_codes.at(index));
}
