#include "model/system_error.h"

#include <sys/stat.h>

#include <cerrno>

namespace velmorin {
namespace {

struct ReasonText {
    int number;
    const char* text;
};

// The errors a file or a serial device can meet, worded as the C library's
// Spanish messages.
constexpr ReasonText Reasons[] = {
    {EPERM, "Operación no permitida"},
    {ENOENT, "No existe el fichero o el directorio"},
    {EIO, "Error de entrada/salida"},
    {ENXIO, "No existe el dispositivo o la dirección"},
    {EBADF, "Descriptor de fichero incorrecto"},
    {ENOMEM, "No se pudo asignar memoria"},
    {EACCES, "Permiso denegado"},
    {EBUSY, "Dispositivo o recurso ocupado"},
    {EEXIST, "El fichero ya existe"},
    {EXDEV, "Enlace entre dispositivos no válido"},
    {ENODEV, "No existe tal dispositivo"},
    {ENOTDIR, "No es un directorio"},
    {EISDIR, "Es un directorio"},
    {EINVAL, "Argumento inválido"},
    {ENFILE, "Hay demasiados ficheros abiertos en el sistema"},
    {EMFILE, "Hay demasiados ficheros abiertos"},
    {ETXTBSY, "El fichero de texto está ocupado"},
    {EFBIG, "Fichero demasiado grande"},
    {ENOSPC, "No queda espacio en el dispositivo"},
    {EROFS, "Sistema de ficheros de sólo lectura"},
    {EMLINK, "Demasiados enlaces"},
    {ENAMETOOLONG, "Nombre de fichero demasiado largo"},
    {ELOOP, "Demasiados niveles de enlaces simbólicos"},
    {EDQUOT, "Se ha excedido la cuota de disco"},
    {ESTALE, "Descriptor de fichero NFS obsoleto"},
    {EINTR, "Llamada al sistema interrumpida"},
    {EAGAIN, "Recurso no disponible temporalmente"},
    {ENOTTY, "Función ioctl no apropiada para el dispositivo"},
    {ETIMEDOUT, "Conexión agotada"},
};

}  // namespace

std::string SystemReason(int errorNumber) {
    for (const ReasonText& reason : Reasons) {
        if (reason.number == errorNumber) return reason.text;
    }
    return "Error del sistema " + std::to_string(errorNumber);
}

std::string FileTypeReason(unsigned mode) {
    if (S_ISDIR(mode)) return SystemReason(EISDIR);
    if (S_ISFIFO(mode)) return "Es una tubería (FIFO), no un archivo";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "Es un dispositivo, no un archivo";
    if (S_ISSOCK(mode)) return "Es un socket, no un archivo";
    return "No es un archivo regular";
}

std::string FileDetail(const std::string& path, int errorNumber) { return path + ": " + SystemReason(errorNumber); }

}  // namespace velmorin
