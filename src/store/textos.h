#pragma once

// Every message of the table layer, in one place so that each word can be checked in one read.
// Arguments are filled with QString::arg in the order of their numbers.

namespace kivo::textos {

// Reading a table.
inline constexpr char kNoAbre[] = "No se pudo abrir el archivo %1: %2.";
inline constexpr char kTablaDanada[] = "El archivo %1 no es una tabla FoxPro válida: %2.";
inline constexpr char kDemasiadoCorto[] = "tiene %1 bytes, menos que una cabecera";
inline constexpr char kVersion[] = "la versión 0x%1 no se admite (se espera 0x03, tabla sin memo)";
inline constexpr char kIdioma[] = "el controlador de idioma 0x%1 no corresponde a Windows-1252";
inline constexpr char kCabecera[] = "la longitud de la cabecera (%1 bytes) no es válida";
inline constexpr char kSinFin[] = "la lista de campos no termina dentro de la cabecera";
inline constexpr char kSinCampos[] = "la tabla no tiene campos";
inline constexpr char kNombreCampo[] = "el nombre del campo número %1 no es válido";
inline constexpr char kCampoRepetido[] = "el campo %1 está repetido";
inline constexpr char kTipoCampo[] = "el campo %1 es de tipo «%2», que no se admite";
inline constexpr char kLongitudCampo[] = "el campo %1 de tipo %2 tiene una longitud no válida (%3,%4)";
inline constexpr char kLongitudRegistro[] =
    "la longitud de registro de la cabecera (%1) no coincide con la de sus campos (%2)";
inline constexpr char kFaltanRegistros[] =
    "la cabecera anuncia %1 registros, pero el archivo solo alcanza para %2";
inline constexpr char kMarcaBorrado[] = "el registro %1 tiene una marca de borrado no válida";

// Values refused by a field.
inline constexpr char kValorRechazado[] = "La tabla %1 no admite el valor «%3» en el campo %2: %4.";
inline constexpr char kTextoLargo[] = "tiene %1 caracteres y el campo admite %2";
inline constexpr char kCaracter[] = "el carácter «%1» no se puede guardar en la tabla";
inline constexpr char kNoNumero[] = "no es un número";
inline constexpr char kNumeroAncho[] = "el número no cabe en %1 posiciones con %2 decimales";
inline constexpr char kDecimales[] = "tiene más decimales de los %1 que admite el campo";
inline constexpr char kNoFecha[] = "no es una fecha";
inline constexpr char kNoLogico[] = "no es un valor lógico (S o N)";
inline constexpr char kSinRegistro[] = "La tabla %1 no tiene el registro %2.";
inline constexpr char kSinCampo[] = "La tabla %1 no tiene el campo número %2.";
inline constexpr char kRegistroAjeno[] =
    "La tabla %1 no admite un registro de %2 bytes: sus registros tienen %3.";

// Writing a table.
inline constexpr char kNoGuarda[] = "No se pudo guardar la tabla %1 en el archivo %2: %3.";
inline constexpr char kSoloLectura[] = "el archivo es de solo lectura";
inline constexpr char kCarpetaSoloLectura[] = "la carpeta es de solo lectura";
inline constexpr char kNoEsArchivo[] = "no es un archivo común";

// Reasons from the system, by errno.
inline constexpr char kNoExiste[] = "no existe";
inline constexpr char kPermiso[] = "permiso denegado";
inline constexpr char kDiscoLleno[] = "el disco está lleno";
inline constexpr char kCuota[] = "se agotó la cuota de disco";
inline constexpr char kMedioSoloLectura[] = "el medio es de solo lectura";
inline constexpr char kErrorES[] = "error de entrada/salida del disco";
inline constexpr char kEsCarpeta[] = "es una carpeta";
inline constexpr char kNoEsCarpeta[] = "una parte de la ruta no es una carpeta";
inline constexpr char kCicloEnlaces[] =
    "la ruta pasa por demasiados enlaces simbólicos (quizá un enlace que apunta a sí mismo)";
inline constexpr char kDemasiadosAbiertos[] = "hay demasiados archivos abiertos";
inline constexpr char kNombreLargo[] = "el nombre del archivo es demasiado largo";
inline constexpr char kArchivoGrande[] = "el archivo es demasiado grande";
inline constexpr char kOtroMedio[] = "el origen y el destino están en medios distintos";
inline constexpr char kEnUso[] = "el archivo está en uso por otro programa";
inline constexpr char kSinMedio[] = "el medio no está disponible (¿se retiró el disco?)";
inline constexpr char kSinMemoria[] = "no hay memoria suficiente";
inline constexpr char kInterrumpida[] = "la operación se interrumpió; inténtelo de nuevo";
inline constexpr char kYaExiste[] = "ya existe";
inline constexpr char kCarpetaNoVacia[] = "la carpeta no está vacía";
inline constexpr char kNoAdmite[] = "el medio no admite la operación";
inline constexpr char kRedPerdida[] = "se perdió la conexión con el medio";
inline constexpr char kDescriptor[] = "error interno al usar el archivo";
inline constexpr char kErrorSistema[] = "error del sistema número %1";

// The data folder.
inline constexpr char kSinTabla[] = "No se encontró la tabla %1 en la carpeta de datos %2.";
inline constexpr char kNoCreaCarpeta[] = "No se pudo crear la carpeta de datos %1: %2.";
inline constexpr char kNoUsaCarpeta[] = "No se puede usar la carpeta de datos %1: %2.";
inline constexpr char kRutaNoEsCarpeta[] = "%1 no es una carpeta";
inline constexpr char kEsArchivo[] = "es un archivo y no una carpeta";
inline constexpr char kEnlaceRoto[] = "%1 es un enlace a %2, que no existe";
inline constexpr char kEnlaceCiclo[] =
    "%1 es un enlace que apunta a sí mismo, directamente o a través de otros enlaces";
inline constexpr char kCarpetaNoEscribible[] =
    "es de solo lectura y KIVO necesita guardar en ella la solicitud";
inline constexpr char kEntradaNoArchivo[] = "%1 es una carpeta y no un archivo";
inline constexpr char kEntradaEspecial[] = "%1 no es un archivo común";
inline constexpr char kSinCarpetaPersonal[] =
    "No se sabe dónde guardar los datos de KIVO: no están definidas ni la variable KIVO_DATA_DIR "
    "ni la carpeta personal (variable HOME).";
inline constexpr char kCarpetaPersonalVacia[] =
    "No se sabe dónde guardar los datos de KIVO: la variable HOME está vacía y la variable "
    "KIVO_DATA_DIR no está definida.";
inline constexpr char kRutaRelativa[] =
    "No se sabe dónde guardar los datos de KIVO: la variable %1 dice «%2», que no es una ruta "
    "completa (debe empezar con /).";
inline constexpr char kNoCopia[] = "No se pudo copiar el archivo %1 a la carpeta de datos %2: %3.";
inline constexpr char kSinEntregados[] = "No se encuentran los datos de instalación en la carpeta %1.";

// Data sources.
inline constexpr char kOrigenDesconocido[] = "El origen de registros «%1» de %2 no es una consulta reconocida.";
inline constexpr char kColumnaDesconocida[] =
    "La columna «%1» de la consulta «%2» no existe en la tabla %3 (archivo %4).";
inline constexpr char kCampoDesconocido[] = "El campo «%1» no está en el origen de registros de %2.";
inline constexpr char kPosicionCampo[] = "%1 no tiene el campo número %2.";
inline constexpr char kSinActual[] = "%1 no tiene registro actual.";
inline constexpr char kNoEdita[] = "%1 no está en edición ni agregando un registro.";
inline constexpr char kMarcador[] = "El marcador %1 no corresponde a ningún registro de %2.";
inline constexpr char kFilaFuera[] = "%1 no tiene la fila %2.";
inline constexpr char kSinOrigen[] = "%1 no tiene origen de registros.";

// Backups (respaldos) and restoring them.
inline constexpr char kRespaldoFallido[] = "No se pudo hacer el respaldo de la solicitud en %1: %2";
inline constexpr char kRespaldoNoCarpeta[] = "No se pudo crear la carpeta %1: %2.";
inline constexpr char kYaExisteNoCarpeta[] = "ya existe y no es una carpeta";
inline constexpr char kRespaldoNoExiste[] = "No hay ningún respaldo llamado «%1» en %2.";
inline constexpr char kRespaldoSinTabla[] = "falta la tabla %1.";
inline constexpr char kRespaldoDanado[] = "El respaldo %1 no se puede restaurar: %2";
inline constexpr char kRestauracionSinRespaldo[] =
    "No se restauró nada: antes de restaurar se respaldan las tablas actuales, y no se pudo. %1";
// The restore stopped before replacing any table.
inline constexpr char kRestauracionNada[] =
    "La restauración del respaldo %1 se detuvo en la tabla %2 sin cambiar ninguna tabla: %3 Las "
    "tablas siguen como estaban; también quedaron en el respaldo %4.";
// %4 lists the tables already replaced, %5 the backup of the tables as they were.
inline constexpr char kRestauracionIncompleta[] =
    "La restauración del respaldo %1 se detuvo en la tabla %2: %3 Ya se habían restaurado las "
    "tablas %4; las demás siguen como estaban. Las tablas que había antes están en el respaldo "
    "%5. La próxima vez que se abra, KIVO terminará la restauración.";
inline constexpr char kRestauracionSinNota[] =
    "No se restauró nada: no se pudo anotar la restauración en la carpeta de datos. %1 Las tablas "
    "actuales también quedaron en el respaldo %2.";
// At start, a restore cut short the last time; %1 the backup restored, %2 the one of the
// tables that were replaced.
inline constexpr char kRestauracionTerminada[] =
    "La última vez que se usó KIVO, la restauración del respaldo %1 quedó a medias; se terminó "
    "ahora. Las tablas que había antes están en el respaldo %2.";
// %2 and %3 list tables; %4 is the backup of the tables as they were.
inline constexpr char kRestauracionMezcla[] =
    "La última vez que se usó KIVO, la restauración del respaldo %1 quedó a medias, y ese "
    "respaldo ya no se puede usar para terminarla. Tablas que vienen del respaldo %1: %2. Tablas "
    "que siguen como estaban antes de restaurar: %3. Las tablas de antes están completas en el "
    "respaldo %4.";
inline constexpr char kRestauracionSinTerminar[] =
    "La última vez que se usó KIVO, una restauración quedó a medias y todavía no se pudo terminar: "
    "%1";
inline constexpr char kNinguna[] = "ninguna";
inline constexpr char kNoLeeCarpeta[] = "No se pudo leer la carpeta %1: %2.";
// A sound table of another shape; %1 the file, %2 the table it stands for.
inline constexpr char kFormaAjena[] = "El archivo %1 no tiene la estructura de la tabla %2: %3.";
inline constexpr char kCuantosCampos[] = "tiene %1 campos y la tabla lleva %2";
inline constexpr char kCampoAjeno[] = "el campo número %1 es %2 y debe ser %3";

// Text files.
inline constexpr char kNoLeeTexto[] = "No se pudo leer el archivo %1: %2.";

} // namespace kivo::textos
