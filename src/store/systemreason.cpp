#include "store/systemreason.h"

#include "store/textos.h"

#include <cerrno>

namespace kivo {

QString systemReason(int error)
{
    switch (error) {
    case ENOENT:
        return textos::kNoExiste;
    case EACCES:
    case EPERM:
        return textos::kPermiso;
    case ENOSPC:
        return textos::kDiscoLleno;
    case EDQUOT:
        return textos::kCuota;
    case EROFS:
        return textos::kMedioSoloLectura;
    case EIO:
        return textos::kErrorES;
    case EISDIR:
        return textos::kEsCarpeta;
    case ENOTDIR:
        return textos::kNoEsCarpeta;
    case ELOOP:
        return textos::kCicloEnlaces;
    case EMFILE:
    case ENFILE:
        return textos::kDemasiadosAbiertos;
    case ENAMETOOLONG:
        return textos::kNombreLargo;
    case EFBIG:
    case EOVERFLOW:
        return textos::kArchivoGrande;
    case EXDEV:
        return textos::kOtroMedio;
    case EBUSY:
    case ETXTBSY:
        return textos::kEnUso;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
        return textos::kSinMedio;
    case ENOMEM:
        return textos::kSinMemoria;
    case EAGAIN:
    case EINTR:
        return textos::kInterrumpida;
    case EEXIST:
        return textos::kYaExiste;
    case ENOTEMPTY:
        return textos::kCarpetaNoVacia;
    case EINVAL:
    case EOPNOTSUPP:
        return textos::kNoAdmite;
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
        return textos::kRedPerdida;
    case EBADF:
        return textos::kDescriptor;
    default:
        return textos::kErrorSistema.arg(error);
    }
}

} // namespace kivo
