#pragma once
// What the fuzz targets share: one scratch folder per process (on a memory file
// system when there is one, so that forcing files to disk costs nothing), the
// split of one input into several files, and an interface that answers every
// question and dialog of a run the way a patient person would.

#include "common/user_interface.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace fuzz {

// The folder every input of this process works in; created on first use (inside
// $HORAVO_FUZZ_SCRATCH when set, else on /dev/shm when there is one) and removed
// when the process ends normally.
QString scratchFolder();
// A folder inside the scratch folder, emptied (or created) for the next input.
QString freshFolder(const QString &name);

void writeFile(const QString &path, const QByteArray &bytes);

// Stops the process, as a crash would, with the reason on standard error: a
// completed run left something a later run or the timetabler could not read.
[[noreturn]] void fail(const QString &what);
// Every table (*.DBF) of the folder opens and every value of it reads; fail() otherwise.
void checkTablesReadable(const QString &folder);

// The parts of an input separated by the line kSeparator; parts missing at the end are empty.
inline constexpr char kSeparator[] = "\n=====\n";
std::vector<QByteArray> splitInput(const std::uint8_t *data, std::size_t size, std::size_t parts);

// Answers the two files from a list, says OK to every question, completes every
// course in the level and course dialog (the example school's codings where it
// knows the course, "N" and "1" otherwise) and chooses the first two time frames.
// The course dialog shown a second time is left by its forced exit, and a third
// time frame dialog is given back unclosed, so no run asks forever.
class AnsweringInterface : public UserInterface {
public:
    QStringList files;

    void showMessage(const QString &) override { }
    void showError(const QString &) override { }
    // The take-over question: the earlier codings are taken over.
    Answer ask(const QString &, const QString &, const QString &, const QString &) override { return Answer::First; }
    std::optional<QString> chooseXmlFile(XmlFile) override;
    void runCourseDialog(CourseDialog &dialog) override;
    void runFrameDialog(FrameDialog &dialog) override;
    void setBusy(bool) override { }
    void closeMainWindow() override { }
    void note(const QString &) override { }
    void showSummary(const RunSummary &) override { }
    void showFinished(const QString &, const QString &) override { }

private:
    int m_courseDialogs = 0;
    int m_frameDialogs = 0;
};

} // namespace fuzz
