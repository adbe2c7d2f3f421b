#include "common/system_reason.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

QString systemReason(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return QStringLiteral("el archivo o la carpeta no existe");
    case EACCES:
    case EPERM:
        return QStringLiteral("no tiene permiso para hacerlo");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("el disco está lleno");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case EISDIR:
        return QStringLiteral("el nombre es el de una carpeta");
    case ENOTDIR:
        return QStringLiteral("una parte de la ruta no es una carpeta");
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
    case EAGAIN:
        return QStringLiteral("otro programa está usando el archivo");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre del archivo es demasiado largo");
    case EIO:
        return QStringLiteral("el disco no responde (error de lectura o escritura)");
    case ENOMEM:
        return QStringLiteral("no hay memoria suficiente");
    default:
        return QStringLiteral("error del sistema número %1").arg(errorNumber);
    }
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
        return QStringLiteral("el nombre es el de una carpeta");
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
