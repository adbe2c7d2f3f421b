#include "common/system_reason.h"

#include "common/disk_io.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

QString systemReason(int errorNumber)
{
    return disk::reason(errorNumber);
}

QString fileReason(const QFileDevice &file, bool writing)
{
    const int errorNumber = errno;
    switch (errorNumber) {
    case ENOSPC:
    case EROFS:
    case EBUSY:
    case EIO:
    case ENAMETOOLONG:
    case EMFILE:
    case ENFILE:
        return systemReason(errorNumber);
    default:
        break;
    }
    const QFileInfo info(file.fileName());
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return QStringLiteral("la carpeta %1 no existe").arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (info.isDir())
        return disk::reason(EISDIR);
    if (!info.exists() && !writing)
        return QStringLiteral("el archivo no existe");
    if (info.exists() && !writing && !info.isReadable())
        return QStringLiteral("no tiene permiso para leer el archivo");
    if (writing) {
        if (info.exists() && !info.isWritable())
            return QStringLiteral("el archivo es de solo lectura o no tiene permiso para escribir en él");
        if (!folder.isWritable())
            return QStringLiteral("no tiene permiso para escribir en la carpeta %1")
                .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
        const QStorageInfo storage(folder.absoluteFilePath());
        if (storage.isValid() && storage.isReadOnly())
            return systemReason(EROFS);
        if (storage.isValid() && storage.bytesAvailable() == 0)
            return systemReason(ENOSPC);
    }
    if (errorNumber != 0)
        return systemReason(errorNumber);
    return QStringLiteral("el sistema no lo permitió; compruebe que ningún otro programa tiene el archivo abierto");
}
