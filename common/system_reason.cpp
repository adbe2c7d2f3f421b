#include "common/system_reason.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

namespace disk {

QString reason(int error)
{
    switch (error) {
    case 0:
        return QStringLiteral("error desconocido");
    case ENOSPC:
        return QStringLiteral("el disco está lleno");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("se ha agotado el espacio de disco permitido a este usuario");
#endif
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso para hacerlo");
    case EROFS:
        return QStringLiteral("el disco o la carpeta son de solo lectura");
    case EISDIR:
        return QStringLiteral("es una carpeta, no un archivo");
    case ENOTDIR:
        return QStringLiteral("una parte de la ruta no es una carpeta");
    case ENOENT:
        return QStringLiteral("el archivo o la carpeta no existen");
    case EEXIST:
        return QStringLiteral("ya existe un archivo con ese nombre");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return QStringLiteral("el archivo está en uso");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case EFBIG:
        return QStringLiteral("el archivo es demasiado grande");
    case ENOMEM:
        return QStringLiteral("no queda memoria");
    default:
        return QStringLiteral("error del sistema número %1").arg(error);
    }
}

QString lastReason()
{
    return reason(errno);
}

QString failureText(const QString &action, const QString &path, int error)
{
    return QStringLiteral("No se pudo %1 %2: %3.").arg(action, QDir::toNativeSeparators(path), reason(error));
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
        return reason(errorNumber);
    default:
        break;
    }
    const QFileInfo info(file.fileName());
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return QStringLiteral("la carpeta %1 no existe").arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (info.isDir())
        return reason(EISDIR);
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
            return reason(EROFS);
        if (storage.isValid() && storage.bytesAvailable() == 0)
            return reason(ENOSPC);
    }
    if (errorNumber != 0)
        return reason(errorNumber);
    return QStringLiteral("el sistema no lo permitió; compruebe que ningún otro programa tiene el archivo abierto");
}

} // namespace disk
