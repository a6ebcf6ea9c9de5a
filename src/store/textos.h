#pragma once

// Every message of the table layer, in one place so that each word can be checked in one read.
// Arguments are filled with QString::arg in the order of their numbers.

#include <QString>

namespace kivo::textos {

// Reading a table.
inline const QString kNoAbre = QStringLiteral("No se pudo abrir el archivo %1: %2.");
inline const QString kTablaDanada = QStringLiteral("El archivo %1 no es una tabla FoxPro válida: %2.");
inline const QString kDemasiadoCorto = QStringLiteral("tiene %1 bytes, menos que una cabecera");
inline const QString kVersion = QStringLiteral("la versión 0x%1 no se admite (se espera 0x03, tabla sin memo)");
inline const QString kIdioma = QStringLiteral("el controlador de idioma 0x%1 no corresponde a Windows-1252");
inline const QString kCabecera = QStringLiteral("la longitud de la cabecera (%1 bytes) no es válida");
inline const QString kSinFin = QStringLiteral("la lista de campos no termina dentro de la cabecera");
inline const QString kSinCampos = QStringLiteral("la tabla no tiene campos");
inline const QString kNombreCampo = QStringLiteral("el nombre del campo número %1 no es válido");
inline const QString kCampoRepetido = QStringLiteral("el campo %1 está repetido");
inline const QString kTipoCampo = QStringLiteral("el campo %1 es de tipo «%2», que no se admite");
inline const QString kLongitudCampo = QStringLiteral(
    "el campo %1 de tipo %2 tiene una longitud no válida (%3,%4)");
inline const QString kLongitudRegistro = QStringLiteral(
    "la longitud de registro de la cabecera (%1) no coincide con la de sus campos (%2)");
inline const QString kFaltanRegistros = QStringLiteral(
    "la cabecera anuncia %1 registros, pero el archivo solo alcanza para %2");
inline const QString kMarcaBorrado = QStringLiteral("el registro %1 tiene una marca de borrado no válida");

// Values refused by a field.
inline const QString kValorRechazado = QStringLiteral(
    "La tabla %1 no admite el valor «%3» en el campo %2: %4.");
inline const QString kTextoLargo = QStringLiteral("tiene %1 caracteres y el campo admite %2");
inline const QString kCaracter = QStringLiteral("el carácter «%1» no se puede guardar en la tabla");
inline const QString kNoNumero = QStringLiteral("no es un número");
inline const QString kNumeroAncho = QStringLiteral("el número no cabe en %1 posiciones con %2 decimales");
inline const QString kDecimales = QStringLiteral("tiene más decimales de los %1 que admite el campo");
inline const QString kNoFecha = QStringLiteral("no es una fecha");
inline const QString kNoLogico = QStringLiteral("no es un valor lógico (S o N)");
inline const QString kSinRegistro = QStringLiteral("La tabla %1 no tiene el registro %2.");
inline const QString kSinCampo = QStringLiteral("La tabla %1 no tiene el campo número %2.");
inline const QString kRegistroAjeno = QStringLiteral(
    "La tabla %1 no admite un registro de %2 bytes: sus registros tienen %3.");

// Writing a table.
inline const QString kNoGuarda = QStringLiteral("No se pudo guardar la tabla %1 en el archivo %2: %3.");
inline const QString kSoloLectura = QStringLiteral("el archivo es de solo lectura");
inline const QString kCarpetaSoloLectura = QStringLiteral("la carpeta es de solo lectura");
inline const QString kNoEsArchivo = QStringLiteral("no es un archivo común");

// Reasons from the system, by errno.
inline const QString kNoExiste = QStringLiteral("no existe");
inline const QString kPermiso = QStringLiteral("permiso denegado");
inline const QString kDiscoLleno = QStringLiteral("el disco está lleno");
inline const QString kCuota = QStringLiteral("se agotó la cuota de disco");
inline const QString kMedioSoloLectura = QStringLiteral("el medio es de solo lectura");
inline const QString kErrorES = QStringLiteral("error de entrada/salida del disco");
inline const QString kEsCarpeta = QStringLiteral("es una carpeta");
inline const QString kNoEsCarpeta = QStringLiteral("una parte de la ruta no es una carpeta");
inline const QString kCicloEnlaces = QStringLiteral(
    "la ruta pasa por demasiados enlaces simbólicos (quizá un enlace que apunta a sí mismo)");
inline const QString kDemasiadosAbiertos = QStringLiteral("hay demasiados archivos abiertos");
inline const QString kNombreLargo = QStringLiteral("el nombre del archivo es demasiado largo");
inline const QString kArchivoGrande = QStringLiteral("el archivo es demasiado grande");
inline const QString kOtroMedio = QStringLiteral("el origen y el destino están en medios distintos");
inline const QString kEnUso = QStringLiteral("el archivo está en uso por otro programa");
inline const QString kSinMedio = QStringLiteral("el medio no está disponible (¿se retiró el disco?)");
inline const QString kSinMemoria = QStringLiteral("no hay memoria suficiente");
inline const QString kInterrumpida = QStringLiteral("la operación se interrumpió; inténtelo de nuevo");
inline const QString kYaExiste = QStringLiteral("ya existe");
inline const QString kCarpetaNoVacia = QStringLiteral("la carpeta no está vacía");
inline const QString kNoAdmite = QStringLiteral("el medio no admite la operación");
inline const QString kRedPerdida = QStringLiteral("se perdió la conexión con el medio");
inline const QString kDescriptor = QStringLiteral("error interno al usar el archivo");
inline const QString kErrorSistema = QStringLiteral("error del sistema número %1");

// The data folder.
inline const QString kSinTabla = QStringLiteral("No se encontró la tabla %1 en la carpeta de datos %2.");
inline const QString kNoCreaCarpeta = QStringLiteral("No se pudo crear la carpeta de datos %1: %2.");
inline const QString kNoUsaCarpeta = QStringLiteral("No se puede usar la carpeta de datos %1: %2.");
inline const QString kRutaNoEsCarpeta = QStringLiteral("%1 no es una carpeta");
inline const QString kEsArchivo = QStringLiteral("es un archivo y no una carpeta");
inline const QString kEnlaceRoto = QStringLiteral("%1 es un enlace a %2, que no existe");
inline const QString kEnlaceCiclo = QStringLiteral(
    "%1 es un enlace que apunta a sí mismo, directamente o a través de otros enlaces");
inline const QString kCarpetaNoEscribible = QStringLiteral(
    "es de solo lectura y KIVO necesita guardar en ella la solicitud");
inline const QString kEntradaNoArchivo = QStringLiteral("%1 es una carpeta y no un archivo");
inline const QString kEntradaEspecial = QStringLiteral("%1 no es un archivo común");
inline const QString kSinCarpetaPersonal = QStringLiteral(
    "No se sabe dónde guardar los datos de KIVO: no están definidas ni la variable KIVO_DATA_DIR "
    "ni la carpeta personal (variable HOME).");
inline const QString kCarpetaPersonalVacia = QStringLiteral(
    "No se sabe dónde guardar los datos de KIVO: la variable HOME está vacía y la variable "
    "KIVO_DATA_DIR no está definida.");
#ifdef Q_OS_WIN
inline const QString kRutaRelativa = QStringLiteral(
    "No se sabe dónde guardar los datos de KIVO: la variable %1 dice «%2», que no es una ruta "
    "completa (debe empezar con la letra de una unidad, como C:\\).");
#else
inline const QString kRutaRelativa = QStringLiteral(
    "No se sabe dónde guardar los datos de KIVO: la variable %1 dice «%2», que no es una ruta "
    "completa (debe empezar con /).");
#endif
inline const QString kNoCopia = QStringLiteral("No se pudo copiar el archivo %1 a la carpeta de datos %2: %3.");
inline const QString kSinEntregados = QStringLiteral(
    "No se encuentran los datos de instalación en la carpeta %1.");

// Data sources.
inline const QString kOrigenDesconocido = QStringLiteral(
    "El origen de registros «%1» de %2 no es una consulta reconocida.");
inline const QString kColumnaDesconocida = QStringLiteral(
    "La columna «%1» de la consulta «%2» no existe en la tabla %3 (archivo %4).");
inline const QString kCampoDesconocido = QStringLiteral(
    "El campo «%1» no está en el origen de registros de %2.");
inline const QString kPosicionCampo = QStringLiteral("%1 no tiene el campo número %2.");
inline const QString kSinActual = QStringLiteral("%1 no tiene registro actual.");
inline const QString kNoEdita = QStringLiteral("%1 no está en edición ni agregando un registro.");
inline const QString kMarcador = QStringLiteral("El marcador %1 no corresponde a ningún registro de %2.");
inline const QString kFilaFuera = QStringLiteral("%1 no tiene la fila %2.");
inline const QString kSinOrigen = QStringLiteral("%1 no tiene origen de registros.");

// Backups (respaldos) and restoring them.
inline const QString kRespaldoFallido = QStringLiteral(
    "No se pudo hacer el respaldo de la solicitud en %1: %2");
inline const QString kRespaldoNoCarpeta = QStringLiteral("No se pudo crear la carpeta %1: %2.");
inline const QString kYaExisteNoCarpeta = QStringLiteral("ya existe y no es una carpeta");
inline const QString kRespaldoNoExiste = QStringLiteral("No hay ningún respaldo llamado «%1» en %2.");
inline const QString kRespaldoSinTabla = QStringLiteral("falta la tabla %1.");
inline const QString kRespaldoDanado = QStringLiteral("El respaldo %1 no se puede restaurar: %2");
inline const QString kRestauracionSinRespaldo = QStringLiteral(
    "No se restauró nada: antes de restaurar se respaldan las tablas actuales, y no se pudo. %1");
// The restore stopped before replacing any table.
inline const QString kRestauracionNada = QStringLiteral(
    "La restauración del respaldo %1 se detuvo en la tabla %2 sin cambiar ninguna tabla: %3 Las "
    "tablas siguen como estaban; también quedaron en el respaldo %4.");
// %4 lists the tables already replaced, %5 the backup of the tables as they were.
inline const QString kRestauracionIncompleta = QStringLiteral(
    "La restauración del respaldo %1 se detuvo en la tabla %2: %3 Ya se habían restaurado las "
    "tablas %4; las demás siguen como estaban. Las tablas que había antes están en el respaldo "
    "%5. La próxima vez que se abra, KIVO terminará la restauración.");
inline const QString kRestauracionSinNota = QStringLiteral(
    "No se restauró nada: no se pudo anotar la restauración en la carpeta de datos. %1 Las tablas "
    "actuales también quedaron en el respaldo %2.");
// At start, a restore cut short the last time; %1 the backup restored, %2 the one of the
// tables that were replaced.
inline const QString kRestauracionTerminada = QStringLiteral(
    "La última vez que se usó KIVO, la restauración del respaldo %1 quedó a medias; se terminó "
    "ahora. Las tablas que había antes están en el respaldo %2.");
// %2 and %3 list tables; %4 is the backup of the tables as they were.
inline const QString kRestauracionMezcla = QStringLiteral(
    "La última vez que se usó KIVO, la restauración del respaldo %1 quedó a medias, y ese "
    "respaldo ya no se puede usar para terminarla. Tablas que vienen del respaldo %1: %2. Tablas "
    "que siguen como estaban antes de restaurar: %3. Las tablas de antes están completas en el "
    "respaldo %4.");
inline const QString kRestauracionSinTerminar = QStringLiteral(
    "La última vez que se usó KIVO, una restauración quedó a medias y todavía no se pudo terminar: "
    "%1");
inline const QString kNinguna = QStringLiteral("ninguna");
inline const QString kNoLeeCarpeta = QStringLiteral("No se pudo leer la carpeta %1: %2.");
// A sound table of another shape; %1 the file, %2 the table it stands for.
inline const QString kFormaAjena = QStringLiteral("El archivo %1 no tiene la estructura de la tabla %2: %3.");
inline const QString kCuantosCampos = QStringLiteral("tiene %1 campos y la tabla lleva %2");
inline const QString kCampoAjeno = QStringLiteral("el campo número %1 es %2 y debe ser %3");

// Text files.
inline const QString kNoLeeTexto = QStringLiteral("No se pudo leer el archivo %1: %2.");

// The packer's usage line.
inline const QString kUsoPack9 = QStringLiteral("uso: pack9 TABLA...");

} // namespace kivo::textos
