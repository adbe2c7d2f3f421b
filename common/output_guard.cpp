#include "common/output_guard.h"

#include "common/disk_io.h"
#include "common/user_error.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool samePath(const QString &a, const QString &b)
{
    const QString first = QDir::cleanPath(QFileInfo(a).absoluteFilePath());
    const QString second = QDir::cleanPath(QFileInfo(b).absoluteFilePath());
    return first.compare(second, disk::fileNameCase()) == 0;
}

} // namespace

const ReadFile *inputAt(const QString &output, const std::vector<ReadFile> &inputs)
{
    for (const ReadFile &input : inputs) {
        if (samePath(output, input.path) || disk::sameFile(output, input.path))
            return &input;
    }
    return nullptr;
}

void refuseOutputOnInputs(
    const QString &output, const QString &outputWhat, const std::vector<ReadFile> &inputs, const QString &whatToDo)
{
    if (const ReadFile *input = inputAt(output, inputs)) {
        throw UserError(QStringLiteral("No se puede escribir %1 en %2: ese archivo es %3 (%4), que esta ejecución lee. "
                                       "%5 No se ha cambiado nada.")
                            .arg(outputWhat, QDir::toNativeSeparators(output), input->what,
                                QDir::toNativeSeparators(input->path), whatToDo));
    }
}
