<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>Failures</name>
    <message>
        <source>Invalid argument: a new extension cannot hold %1</source>
        <extracomment>%1 is the character, quoted or as U+XXXX.</extracomment>
        <translation>Argumento no válido: una extensión nueva no puede contener el carácter %1</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; is not an ordinary file</source>
        <translation>%1: «%2» no es un archivo normal</translation>
    </message>
    <message>
        <source>%1 (the file that was at &apos;%2&apos; is now &apos;%3&apos;)</source>
        <translation>%1 (el archivo que estaba en «%2» ahora se llama «%3»)</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; changed after the question and was left as it is</source>
        <translation>%1: «%2» cambió después de la pregunta y se dejó como estaba</translation>
    </message>
    <message>
        <source>%1 (the file is left as &apos;%2&apos;)</source>
        <translation>%1 (el archivo queda con el nombre «%2»)</translation>
    </message>
    <message>
        <source>a file&apos;s status cannot be read</source>
        <translation>no se puede leer el estado de un archivo</translation>
    </message>
    <message>
        <source>%1 (the Trash at &apos;%2&apos;)</source>
        <extracomment>%1 is the system&apos;s reason, %2 the Trash&apos;s folder.</extracomment>
        <translation>%1 (la papelera en «%2»)</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Conversion cancelled. </source>
        <extracomment>The trailing blank is the English text&apos;s own; other languages need none.</extracomment>
        <translation>Cambio cancelado.</translation>
    </message>
    <message>
        <source>Conversion complete. </source>
        <translation>Cambio completado.</translation>
    </message>
    <message numerus="yes">
        <source>Conversion cancelled. %1 file extensions changed.</source>
        <translation>
            <numerusform>Cambio cancelado. Se cambió %1 extensión de archivo.</numerusform>
            <numerusform>Cambio cancelado. Se cambiaron %1 extensiones de archivo.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Conversion complete. %1 file extensions changed.</source>
        <translation>
            <numerusform>Cambio completado. Se cambió %1 extensión de archivo.</numerusform>
            <numerusform>Cambio completado. Se cambiaron %1 extensiones de archivo.</numerusform>
        </translation>
    </message>
    <message>
        <source>&apos;%1&apos; (%2)</source>
        <translation>«%1» (%2)</translation>
    </message>
    <message numerus="yes">
        <source>; %1 could not be put back: %2</source>
        <extracomment>A clause of an undo&apos;s text: %1 files the system refused to move back, the first named.</extracomment>
        <translation>
            <numerusform>; %1 no se pudo devolver a su sitio: %2</numerusform>
            <numerusform>; %1 no se pudieron devolver a su sitio: %2</numerusform>
        </translation>
    </message>
    <message>
        <source>, </source>
        <extracomment>Separates the names of files in a list.</extracomment>
        <translation>, </translation>
    </message>
    <message numerus="yes">
        <source> and %1 more</source>
        <translation>
            <numerusform> y %1 más</numerusform>
            <numerusform> y %1 más</numerusform>
        </translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced stays in the Trash, as its name is taken</source>
        <translation>; el archivo que «%1» reemplazó sigue en la papelera, porque su nombre está ocupado</translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced is no longer in the Trash</source>
        <translation>; el archivo que «%1» reemplazó ya no está en la papelera</translation>
    </message>
    <message numerus="yes">
        <source> (and %1 more)</source>
        <translation>
            <numerusform> (y %1 más)</numerusform>
            <numerusform> (y %1 más)</numerusform>
        </translation>
    </message>
    <message>
        <source>No file extensions changed.</source>
        <translation>No se cambió ninguna extensión de archivo.</translation>
    </message>
    <message numerus="yes">
        <source>Undo complete. %1 files restored</source>
        <extracomment>An undo&apos;s first sentence; clauses that begin with &quot;; &quot; may follow, then &quot;%1.&quot;.</extracomment>
        <translation>
            <numerusform>Cambio deshecho. Se restauró %1 archivo</numerusform>
            <numerusform>Cambio deshecho. Se restauraron %1 archivos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %1 left as they are because they changed since</source>
        <extracomment>A clause of an undo&apos;s text: files left where they are, as changed since.</extracomment>
        <translation>
            <numerusform>; %1 se dejó como estaba porque cambió desde entonces</numerusform>
            <numerusform>; %1 se dejaron como estaban porque cambiaron desde entonces</numerusform>
        </translation>
    </message>
    <message>
        <source>%1.</source>
        <extracomment>Ends the text of an undo: its sentence and clauses as %1.</extracomment>
        <translation>%1.</translation>
    </message>
    <message numerus="yes">
        <source>Undo cancelled. %1 files restored.</source>
        <translation>
            <numerusform>Deshacer cancelado. Se restauró %1 archivo.</numerusform>
            <numerusform>Deshacer cancelado. Se restauraron %1 archivos.</numerusform>
        </translation>
    </message>
    <message>
        <source>The last change could not be recorded, so it cannot be undone.</source>
        <translation>El último cambio no se pudo registrar, así que no se puede deshacer.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; is no longer there; nothing was undone.</source>
        <translation>La carpeta «%1» ya no existe; no se deshizo nada.</translation>
    </message>
    <message>
        <source>Error %1: %2</source>
        <extracomment>%1 is the system&apos;s error number, %2 its text.</extracomment>
        <translation>Error %1: %2</translation>
    </message>
    <message>
        <source>The destination file &apos;%1&apos; already exisits, overwrite?</source>
        <extracomment>&quot;exisits&quot; is the English text&apos;s own spelling; translate it as &quot;exists&quot;.</extracomment>
        <translation>El archivo de destino «%1» ya existe. ¿Quiere sobrescribirlo?</translation>
    </message>
    <message>
        <source>Error</source>
        <extracomment>The title of an error&apos;s box.</extracomment>
        <translation>Error</translation>
    </message>
    <message numerus="yes">
        <source>The last change was interrupted after %1 of %2 files. Undo it?</source>
        <translation>
            <numerusform>El último cambio se interrumpió tras %1 de %2 archivo. ¿Quiere deshacerlo?</numerusform>
            <numerusform>El último cambio se interrumpió tras %1 de %2 archivos. ¿Quiere deshacerlo?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The last undo was interrupted after %1 of %2 files. Finish it?</source>
        <translation>
            <numerusform>La última operación de deshacer se interrumpió tras %1 de %2 archivo. ¿Quiere terminarla?</numerusform>
            <numerusform>La última operación de deshacer se interrumpió tras %1 de %2 archivos. ¿Quiere terminarla?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>QtMessageBox</name>
    <message>
        <source>&amp;Undo</source>
        <extracomment>The closing box&apos;s button beside OK; &amp; marks its Alt key, which OK&apos;s must not share.</extracomment>
        <translation>&amp;Deshacer</translation>
    </message>
</context>
<context>
    <name>SystemErrors</name>
    <message>
        <source>Operation not permitted</source>
        <translation>Operación no permitida</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>No existe el archivo o el directorio</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>Llamada al sistema interrumpida</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Error de entrada/salida</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>No existe el dispositivo o la dirección</translation>
    </message>
    <message>
        <source>Bad file descriptor</source>
        <translation>Descriptor de archivo incorrecto</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>Recurso no disponible temporalmente</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>No se puede asignar memoria</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Permiso denegado</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Dispositivo o recurso ocupado</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>El archivo ya existe</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>Enlace entre dispositivos no válido</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>No existe el dispositivo</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>No es un directorio</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Es un directorio</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Argumento no válido</translation>
    </message>
    <message>
        <source>Too many open files in system</source>
        <translation>Demasiados archivos abiertos en el sistema</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Demasiados archivos abiertos</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Archivo ejecutable ocupado</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Archivo demasiado grande</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>No queda espacio en el dispositivo</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Sistema de archivos de solo lectura</translation>
    </message>
    <message>
        <source>Too many links</source>
        <translation>Demasiados enlaces</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Nombre de archivo demasiado largo</translation>
    </message>
    <message>
        <source>No locks available</source>
        <translation>No hay bloqueos disponibles</translation>
    </message>
    <message>
        <source>Function not implemented</source>
        <translation>Función no implementada</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>El directorio no está vacío</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Demasiados niveles de enlaces simbólicos</translation>
    </message>
    <message>
        <source>No data available</source>
        <translation>No hay datos disponibles</translation>
    </message>
    <message>
        <source>Value too large for defined data type</source>
        <translation>Valor demasiado grande para el tipo de datos</translation>
    </message>
    <message>
        <source>Invalid or incomplete multibyte or wide character</source>
        <translation>Carácter multibyte o ancho no válido o incompleto</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>Operación no admitida</translation>
    </message>
    <message>
        <source>Transport endpoint is not connected</source>
        <translation>El extremo de transporte no está conectado</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>Se agotó el tiempo de conexión</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Identificador de archivo obsoleto</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Se superó la cuota de disco</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>Operación cancelada</translation>
    </message>
    <message>
        <source>system error %1</source>
        <translation>error del sistema %1</translation>
    </message>
</context>
<context>
    <name>Warnings</name>
    <message>
        <source>the journal %1 cannot be written: %2</source>
        <translation>no se puede escribir el registro %1: %2</translation>
    </message>
    <message>
        <source>, and what it holds so far cannot be removed</source>
        <translation>, y no se puede quitar lo que contiene hasta ahora</translation>
    </message>
    <message>
        <source>no change has begun</source>
        <translation>no ha empezado ningún cambio</translation>
    </message>
    <message>
        <source>ignoring the journal %1: %2</source>
        <extracomment>%1 is a record of a change, %2 why, as &quot;it is not whole&quot;.</extracomment>
        <translation>se pasa por alto el registro %1: %2</translation>
    </message>
    <message>
        <source>it cannot be read: %1</source>
        <translation>no se puede leer: %1</translation>
    </message>
    <message>
        <source>it is not Morvane&apos;s</source>
        <translation>no es de Morvane</translation>
    </message>
    <message>
        <source>it is of another version</source>
        <translation>es de otra versión</translation>
    </message>
    <message>
        <source>it is not whole</source>
        <translation>está incompleto</translation>
    </message>
    <message>
        <source>the settings cannot be read</source>
        <translation>no se puede leer la configuración</translation>
    </message>
    <message>
        <source>the file is not valid</source>
        <translation>el archivo no es válido</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>no se puede leer el archivo</translation>
    </message>
    <message>
        <source>the settings cannot be written</source>
        <translation>no se puede escribir la configuración</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>no se puede escribir el archivo</translation>
    </message>
    <message>
        <source>its lock %1.lock cannot be taken</source>
        <translation>no se puede tomar su bloqueo %1.lock</translation>
    </message>
    <message>
        <source>ignoring the settings in %1 (%2); starting with defaults</source>
        <translation>se pasa por alto la configuración de %1 (%2); se empieza con los valores predeterminados</translation>
    </message>
    <message>
        <source>ignoring the stored &quot;%1&quot; value &quot;%2&quot;; the box stays unticked</source>
        <translation>se pasa por alto el valor «%2» guardado para «%1»; la casilla queda sin marcar</translation>
    </message>
    <message>
        <source>the name %1 is not valid in the system&apos;s encoding (UTF-8); Morvane cannot name that file again, so it will not change it</source>
        <translation>el nombre %1 no es válido en la codificación del sistema (UTF-8); Morvane no puede volver a nombrar ese archivo exactamente, así que no lo cambiará</translation>
    </message>
    <message>
        <source>the settings could not be saved to %1 (%2); the previous ones are kept</source>
        <translation>no se pudo guardar la configuración en %1 (%2); se conserva la anterior</translation>
    </message>
    <message>
        <source>the journal %1 is not kept: %2</source>
        <translation>no se conserva el registro %1: %2</translation>
    </message>
    <message>
        <source>the undo cannot be recorded in %1: %2</source>
        <translation>no se puede registrar la operación de deshacer en %1: %2</translation>
    </message>
    <message>
        <source>the last change is being undone in another window</source>
        <translation>el último cambio se está deshaciendo en otra ventana</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>no se puede leer</translation>
    </message>
</context>
<context>
    <name>morvane::ChangeRun</name>
    <message numerus="yes">
        <source>Reading the folder…
%1 files found</source>
        <extracomment>Progress while a folder is listed; %1 is how many files were found so far.</extracomment>
        <translation>
            <numerusform>Leyendo la carpeta…
Se encontró %1 archivo</numerusform>
            <numerusform>Leyendo la carpeta…
Se encontraron %1 archivos</numerusform>
        </translation>
    </message>
    <message>
        <source>Undoing file %1 of %2
%3</source>
        <extracomment>Progress: the number of the file, how many there are, and the file&apos;s name.</extracomment>
        <translation>Deshaciendo el archivo %1 de %2
%3</translation>
    </message>
    <message>
        <source>Changing file %1 of %2
%3</source>
        <translation>Cambiando el archivo %1 de %2
%3</translation>
    </message>
    <message>
        <source>%1 of %2 copied</source>
        <extracomment>Progress of a large copy: bytes copied of the file&apos;s size, as &quot;3 MB of 8 MB&quot;.</extracomment>
        <translation>%1 de %2 copiados</translation>
    </message>
</context>
<context>
    <name>morvane::frmMain</name>
    <message>
        <source>File:</source>
        <translation>Archivo:</translation>
    </message>
    <message>
        <source>Open</source>
        <extracomment>The picture button that chooses a file: its tooltip and its name for screen readers.</extracomment>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Current Extension:</source>
        <translation>Extensión actual:</translation>
    </message>
    <message>
        <source>New Extension:</source>
        <translation>Extensión nueva:</translation>
    </message>
    <message>
        <source>&amp;Change</source>
        <extracomment>&amp; marks the Alt key; the window&apos;s two buttons need two different ones.</extracomment>
        <translation>&amp;Cambiar</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>Leave Copy of Original File</source>
        <translation>Dejar una copia del archivo original</translation>
    </message>
    <message>
        <source>Change all extensions in folder</source>
        <extracomment>Every file of the folder with the same extension is changed too.</extracomment>
        <translation>Cambiar todas las extensiones de la carpeta</translation>
    </message>
    <message>
        <source>All Files</source>
        <extracomment>The open-file dialog&apos;s one filter.</extracomment>
        <translation>Todos los archivos</translation>
    </message>
</context>
</TS>
