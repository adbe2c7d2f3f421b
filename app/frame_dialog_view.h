#pragma once
// The window of the time frame dialog (TPlantillas). It shows the state of a
// FrameDialog and forwards what the person does; every rule lives in FrameDialog.

#include <QDialog>

class FrameDialog;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class FrameDialogView : public QDialog {
    Q_OBJECT
public:
    // The dialog must already be activated (its file loaded and its lists filled).
    FrameDialogView(FrameDialog &dialog, QWidget *parent = nullptr);

    // "Continuar" runs FormClose once.
    void done(int result) override;
    // Escape and the close box ask whether to leave the export unfinished; the
    // dialog closes only on yes.
    void reject() override;

Q_SIGNALS:
    // F1: this dialog's part of the help.
    void helpRequested(const QString &section);

private:
    void ListBox2Click();
    void ComboBoxPlantillaChange(int index);
    void selectionChanged();
    void showCurrentFrame();

    FrameDialog &m_dialog;
    QListWidget *m_frames = nullptr; // ListBox2
    QListWidget *m_slots = nullptr; // ListBox1
    QLabel *m_name = nullptr; // LabelNombre
    QLabel *m_firstDate = nullptr; // LabelPlanFec1
    QLabel *m_secondDate = nullptr; // LabelPlanFec2
    QComboBox *m_onDisplay = nullptr; // ComboBoxPlantilla, never visible
    QPushButton *m_continue = nullptr; // BitBtnContinuar
};
