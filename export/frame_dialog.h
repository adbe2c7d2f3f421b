#pragma once
// TPlantillas, the time frame dialog, without its widgets: the person chooses the
// one or two time frames ("Marcos Horarios") of the Séneca file that the timetabler
// is to use. The dialog reads the Séneca file (or takes the run's reading of that
// same file), lists the frames by their codes, shows the name, dates and slot
// labels of the frame on display, and on closing hands the choice back as
// `resultado` with the validity flag `resultMH`.
// The window's view and the command line both drive this class; it holds every rule.
//
// Values are shown and compared exactly as the document holds them (untrimmed).

#include <QString>
#include <QStringList>

#include <vector>

class ExchangeDocument;
class UserInterface;

class FrameDialog {
public:
    // filenameXML: the Séneca file, loaded by activate(). Messages of an invalid
    // choice go to ui.showMessage. `loaded`, when given, is the run's document: when
    // it was read from filenameXML the dialog takes its frames from it instead of
    // parsing the same file a second time (it must outlive activate()).
    FrameDialog(QString filenameXML, UserInterface &ui, const ExchangeDocument *loaded = nullptr);

    // FormActivate: reads the Séneca file's frames and slots, fills the frame list
    // (when the file holds two or more frames) with nothing selected, and puts the
    // first frame on display. Throws UserError naming the file when it cannot be
    // loaded, or when it no longer holds frames to choose from: without a list no
    // valid choice could ever be made.
    //
    // The window calls it once, when the dialog is first shown, not on every return
    // to the dialog: coming back from another window keeps the person's selection.
    void activate();
    bool isActivated() const { return m_activated; }

    // The frame codes, as ListBox2 and the hidden ComboBoxPlantilla list them.
    const QStringList &frameCodes() const { return m_codes; }
    int frameCount() const { return int(m_codes.size()); }

    // The frame on display: the current item of ComboBoxPlantilla, -1 when none.
    int current() const { return m_current; }
    // ComboBoxPlantillaChange: makes the frame at this index the one on display.
    void setCurrent(int index);
    // ListBox2Click: the focused (last clicked) item goes on display, whether the
    // click selected or deselected it.
    void frameClicked(int focusedIndex) { setCurrent(focusedIndex); }

    // The display of the frame on display: "-" when no frame record has its code.
    const QString &name() const { return m_name; }
    const QString &firstDate() const { return m_firstDate; }
    const QString &secondDate() const { return m_secondDate; }
    // ListBox1: the labels of the slots whose frame code is the one on display.
    const QStringList &slotLabels() const { return m_slotLabels; }

    // The selection of ListBox2. The list box's own extended selection decides it
    // (a plain click selects one frame, Ctrl adds or removes one); the view mirrors it here.
    void setSelected(int index, bool selected);
    void setSelection(const std::vector<int> &indexes);
    bool isSelected(int index) const;
    std::vector<int> selectedIndexes() const; // in list order

    // The lines of ListBox2: each frame's code, then its name and the times its
    // slots span, so that the frames can be told apart before one is clicked.
    QStringList frameListTexts() const;

    // FormClose, on "Continuar": works out resultMH and resultado and shows the
    // message of an invalid choice. Runs once.
    void close();
    bool isClosed() const { return m_closed; }

    // Escape and the close box: asks whether to leave the export unfinished. On
    // yes the dialog closes without a choice (left()) and the export stops, the
    // working folder as it was; otherwise it stays open (false).
    bool askToLeave();
    bool left() const { return m_left; }

    bool resultMH = false; // one or two frames were selected at closing
    QString resultado; // one block of exactly 10 characters per selected frame, in list order

private:
    void read(const ExchangeDocument &document);
    void showCurrent();

    QString m_filenameXML;
    UserInterface &m_ui;
    const ExchangeDocument *m_loaded = nullptr;
    bool m_activated = false;
    bool m_closed = false;
    bool m_left = false;

    // The dialog's own reading of the file: every frame record and slot record.
    struct FrameRecord {
        QString code, name, firstDate, secondDate;
    };
    struct SlotRecord {
        QString label, frameCode, start, end;
    };
    std::vector<FrameRecord> m_frames;
    std::vector<SlotRecord> m_slots;

    QStringList m_codes;
    std::vector<bool> m_selected;
    int m_current = -1;
    QString m_name;
    QString m_firstDate;
    QString m_secondDate;
    QStringList m_slotLabels;
};

// The dialog's fixed texts.
namespace frame_dialog_texts {
inline QString caption()
{
    return QStringLiteral("Planillas, Marcos o Jornadas Horarias");
}
inline QString heading()
{
    return QStringLiteral("Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en Horavent.");
}
inline QString howToSelect()
{
    return QStringLiteral("Para seleccionar más de un Marco Horario, mantenga (Ctrl) pulsado y seleccione cada marco "
                          "con 1 click del botón izquierdo del ratón.");
}
inline QString framesTitle()
{
    return QStringLiteral("MARCOS");
}
inline QString slotsTitle()
{
    return QStringLiteral("HORAS");
}
inline QString continueButton()
{
    return QStringLiteral("Continuar");
}
inline QString nothingOnDisplay()
{
    return QStringLiteral("-");
}
inline QString tooMany()
{
    return QStringLiteral(
        "Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos Horarios");
}
inline QString noneSelected()
{
    return QStringLiteral("Debe al menos seleccionar 1 Marco Horario.");
}
inline QString leaveCaption()
{
    return QStringLiteral("Dejar la exportación sin terminar");
}
inline QString leaveQuestion()
{
    return QStringLiteral("¿Quiere dejar la exportación sin terminar?\nLas tablas de la carpeta de trabajo quedarán "
                          "como estaban.");
}
inline QString leaveButton()
{
    return QStringLiteral("Dejar sin terminar");
}
inline QString stayButton()
{
    return QStringLiteral("Seguir eligiendo marcos");
}
} // namespace frame_dialog_texts

// The block of one frame in resultado: the code's first 10 characters, filled up
// with spaces to exactly 10.
QString frameBlock(const QString &code);
