<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Failures</name>
    <message>
        <source>Invalid argument: a new extension cannot hold %1</source>
        <extracomment>%1 is the character, quoted or as U+XXXX.</extracomment>
        <translation>Das Argument ist ungültig: Eine neue Erweiterung darf das Zeichen %1 nicht enthalten</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; is not an ordinary file</source>
        <translation>%1: „%2“ ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>%1 (the file that was at &apos;%2&apos; is now &apos;%3&apos;)</source>
        <translation>%1 (die Datei, die unter „%2“ lag, heißt jetzt „%3“)</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; changed after the question and was left as it is</source>
        <translation>%1: „%2“ wurde nach der Rückfrage verändert und bleibt unangetastet</translation>
    </message>
    <message>
        <source>%1 (the file is left as &apos;%2&apos;)</source>
        <translation>%1 (die Datei heißt jetzt „%2“)</translation>
    </message>
    <message>
        <source>a file&apos;s status cannot be read</source>
        <translation>der Status einer Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 (the Trash at &apos;%2&apos;)</source>
        <extracomment>%1 is the system&apos;s reason, %2 the Trash&apos;s folder.</extracomment>
        <translation>%1 (der Papierkorb unter „%2“)</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Conversion cancelled. </source>
        <extracomment>The trailing blank is the English text&apos;s own; other languages need none.</extracomment>
        <translation>Änderung abgebrochen.</translation>
    </message>
    <message>
        <source>Conversion complete. </source>
        <translation>Änderung abgeschlossen.</translation>
    </message>
    <message numerus="yes">
        <source>Conversion cancelled. %1 file extensions changed.</source>
        <translation>
            <numerusform>Änderung abgebrochen. %1 Dateierweiterung geändert.</numerusform>
            <numerusform>Änderung abgebrochen. %1 Dateierweiterungen geändert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Conversion complete. %1 file extensions changed.</source>
        <translation>
            <numerusform>Änderung abgeschlossen. %1 Dateierweiterung geändert.</numerusform>
            <numerusform>Änderung abgeschlossen. %1 Dateierweiterungen geändert.</numerusform>
        </translation>
    </message>
    <message>
        <source>&apos;%1&apos; (%2)</source>
        <translation>„%1“ (%2)</translation>
    </message>
    <message numerus="yes">
        <source>; %1 could not be put back: %2</source>
        <extracomment>A clause of an undo&apos;s text: %1 files the system refused to move back, the first named.</extracomment>
        <translation>
            <numerusform>; %1 konnte nicht wiederhergestellt werden: %2</numerusform>
            <numerusform>; %1 konnten nicht wiederhergestellt werden: %2</numerusform>
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
            <numerusform> und %1 weitere</numerusform>
            <numerusform> und %1 weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced stays in the Trash, as its name is taken</source>
        <translation>; die von „%1“ ersetzte Datei bleibt im Papierkorb, da ihr Name vergeben ist</translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced is no longer in the Trash</source>
        <translation>; die von „%1“ ersetzte Datei ist nicht mehr im Papierkorb</translation>
    </message>
    <message numerus="yes">
        <source> (and %1 more)</source>
        <translation>
            <numerusform> (und %1 weitere)</numerusform>
            <numerusform> (und %1 weitere)</numerusform>
        </translation>
    </message>
    <message>
        <source>No file extensions changed.</source>
        <translation>Keine Dateierweiterung geändert.</translation>
    </message>
    <message numerus="yes">
        <source>Undo complete. %1 files restored</source>
        <extracomment>An undo&apos;s first sentence; clauses that begin with &quot;; &quot; may follow, then &quot;%1.&quot;.</extracomment>
        <translation>
            <numerusform>Rückgängig gemacht. %1 Datei wiederhergestellt</numerusform>
            <numerusform>Rückgängig gemacht. %1 Dateien wiederhergestellt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %1 left as they are because they changed since</source>
        <extracomment>A clause of an undo&apos;s text: files left where they are, as changed since.</extracomment>
        <translation>
            <numerusform>; %1 wurde belassen, da sie inzwischen verändert wurde</numerusform>
            <numerusform>; %1 wurden belassen, da sie inzwischen verändert wurden</numerusform>
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
            <numerusform>Rückgängigmachen abgebrochen. %1 Datei wiederhergestellt.</numerusform>
            <numerusform>Rückgängigmachen abgebrochen. %1 Dateien wiederhergestellt.</numerusform>
        </translation>
    </message>
    <message>
        <source>The last change could not be recorded, so it cannot be undone.</source>
        <translation>Die letzte Änderung konnte nicht aufgezeichnet werden und lässt sich daher nicht rückgängig machen.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; is no longer there; nothing was undone.</source>
        <translation>Der Ordner „%1“ existiert nicht mehr; nichts wurde rückgängig gemacht.</translation>
    </message>
    <message>
        <source>Error %1: %2</source>
        <extracomment>%1 is the system&apos;s error number, %2 its text.</extracomment>
        <translation>Fehler %1: %2</translation>
    </message>
    <message>
        <source>The destination file &apos;%1&apos; already exisits, overwrite?</source>
        <extracomment>&quot;exisits&quot; is the English text&apos;s own spelling; translate it as &quot;exists&quot;.</extracomment>
        <translation>Die Zieldatei „%1“ existiert bereits. Überschreiben?</translation>
    </message>
    <message>
        <source>Error</source>
        <extracomment>The title of an error&apos;s box.</extracomment>
        <translation>Fehler</translation>
    </message>
    <message numerus="yes">
        <source>The last change was interrupted after %1 of %2 files. Undo it?</source>
        <translation>
            <numerusform>Die letzte Änderung wurde nach %1 von %2 Datei unterbrochen. Rückgängig machen?</numerusform>
            <numerusform>Die letzte Änderung wurde nach %1 von %2 Dateien unterbrochen. Rückgängig machen?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The last undo was interrupted after %1 of %2 files. Finish it?</source>
        <translation>
            <numerusform>Das letzte Rückgängigmachen wurde nach %1 von %2 Datei unterbrochen. Abschließen?</numerusform>
            <numerusform>Das letzte Rückgängigmachen wurde nach %1 von %2 Dateien unterbrochen. Abschließen?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>QtMessageBox</name>
    <message>
        <source>&amp;Undo</source>
        <extracomment>The closing box&apos;s button beside OK; &amp; marks its Alt key, which OK&apos;s must not share.</extracomment>
        <translation>&amp;Rückgängig</translation>
    </message>
</context>
<context>
    <name>SystemErrors</name>
    <message>
        <source>Operation not permitted</source>
        <translation>Die Operation ist nicht erlaubt</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Datei oder Verzeichnis nicht gefunden</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>Unterbrochener Systemaufruf</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Ein-/Ausgabefehler</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>Gerät oder Adresse nicht vorhanden</translation>
    </message>
    <message>
        <source>Bad file descriptor</source>
        <translation>Ungültiger Dateideskriptor</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>Die Ressource ist zurzeit nicht verfügbar</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>Nicht genügend Speicher</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Keine Berechtigung</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Gerät oder Ressource belegt</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Die Datei existiert bereits</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>Verknüpfung über Gerätegrenzen hinweg ist ungültig</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>Gerät nicht vorhanden</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Kein Verzeichnis</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Ist ein Verzeichnis</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Das Argument ist ungültig</translation>
    </message>
    <message>
        <source>Too many open files in system</source>
        <translation>Zu viele offene Dateien im System</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Zu viele offene Dateien</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Die Programmdatei wird gerade ausgeführt</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Die Datei ist zu groß</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Kein Platz mehr auf dem Gerät</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Das Dateisystem ist nur lesbar</translation>
    </message>
    <message>
        <source>Too many links</source>
        <translation>Zu viele Verknüpfungen</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Der Dateiname ist zu lang</translation>
    </message>
    <message>
        <source>No locks available</source>
        <translation>Keine Sperren verfügbar</translation>
    </message>
    <message>
        <source>Function not implemented</source>
        <translation>Die Funktion ist nicht implementiert</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Das Verzeichnis ist nicht leer</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Zu viele Ebenen symbolischer Verknüpfungen</translation>
    </message>
    <message>
        <source>No data available</source>
        <translation>Keine Daten verfügbar</translation>
    </message>
    <message>
        <source>Value too large for defined data type</source>
        <translation>Der Wert ist zu groß für den Datentyp</translation>
    </message>
    <message>
        <source>Invalid or incomplete multibyte or wide character</source>
        <translation>Ungültiges oder unvollständiges Multibyte- oder Breitzeichen</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>Die Operation wird nicht unterstützt</translation>
    </message>
    <message>
        <source>Transport endpoint is not connected</source>
        <translation>Der Transportendpunkt ist nicht verbunden</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>Zeitüberschreitung der Verbindung</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Veraltetes Dateihandle</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Das Speicherkontingent ist überschritten</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>Die Operation wurde abgebrochen</translation>
    </message>
    <message>
        <source>system error %1</source>
        <translation>Systemfehler %1</translation>
    </message>
</context>
<context>
    <name>Warnings</name>
    <message>
        <source>the journal %1 cannot be written: %2</source>
        <translation>das Änderungsprotokoll %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>, and what it holds so far cannot be removed</source>
        <translation>, und sein bisheriger Inhalt lässt sich nicht entfernen</translation>
    </message>
    <message>
        <source>no change has begun</source>
        <translation>es wurde keine Änderung begonnen</translation>
    </message>
    <message>
        <source>ignoring the journal %1: %2</source>
        <extracomment>%1 is a record of a change, %2 why, as &quot;it is not whole&quot;.</extracomment>
        <translation>das Änderungsprotokoll %1 wird übergangen: %2</translation>
    </message>
    <message>
        <source>it cannot be read: %1</source>
        <translation>es kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>it is not Morvane&apos;s</source>
        <translation>es stammt nicht von Morvane</translation>
    </message>
    <message>
        <source>it is of another version</source>
        <translation>es gehört zu einer anderen Version</translation>
    </message>
    <message>
        <source>it is not whole</source>
        <translation>es ist unvollständig</translation>
    </message>
    <message>
        <source>the settings cannot be read</source>
        <translation>die Einstellungen können nicht gelesen werden</translation>
    </message>
    <message>
        <source>the file is not valid</source>
        <translation>die Datei ist ungültig</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>the settings cannot be written</source>
        <translation>die Einstellungen können nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>die Datei kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>its lock %1.lock cannot be taken</source>
        <translation>ihre Sperre %1.lock lässt sich nicht setzen</translation>
    </message>
    <message>
        <source>ignoring the settings in %1 (%2); starting with defaults</source>
        <translation>die Einstellungen in %1 werden übergangen (%2); es gelten die Vorgaben</translation>
    </message>
    <message>
        <source>ignoring the stored &quot;%1&quot; value &quot;%2&quot;; the box stays unticked</source>
        <translation>der gespeicherte Wert „%2“ für „%1“ wird übergangen; das Kästchen bleibt leer</translation>
    </message>
    <message>
        <source>the name %1 is not valid in the system&apos;s encoding (UTF-8); Morvane cannot name that file again, so it will not change it</source>
        <translation>der Name %1 ist in der Zeichenkodierung des Systems (UTF-8) ungültig; Morvane kann diese Datei nicht mehr genau so benennen und ändert sie daher nicht</translation>
    </message>
    <message>
        <source>the settings could not be saved to %1 (%2); the previous ones are kept</source>
        <translation>die Einstellungen konnten nicht in %1 gespeichert werden (%2); die bisherigen bleiben erhalten</translation>
    </message>
    <message>
        <source>the journal %1 is not kept: %2</source>
        <translation>das Änderungsprotokoll %1 wird nicht geführt: %2</translation>
    </message>
    <message>
        <source>the undo cannot be recorded in %1: %2</source>
        <translation>das Rückgängigmachen kann nicht in %1 aufgezeichnet werden: %2</translation>
    </message>
    <message>
        <source>the last change is being undone in another window</source>
        <translation>die letzte Änderung wird gerade in einem anderen Fenster rückgängig gemacht</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>es kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>morvane::ChangeRun</name>
    <message numerus="yes">
        <source>Reading the folder…
%1 files found</source>
        <extracomment>Progress while a folder is listed; %1 is how many files were found so far.</extracomment>
        <translation>
            <numerusform>Ordner wird gelesen …
%1 Datei gefunden</numerusform>
            <numerusform>Ordner wird gelesen …
%1 Dateien gefunden</numerusform>
        </translation>
    </message>
    <message>
        <source>Undoing file %1 of %2
%3</source>
        <extracomment>Progress: the number of the file, how many there are, and the file&apos;s name.</extracomment>
        <translation>Datei %1 von %2 wird wiederhergestellt
%3</translation>
    </message>
    <message>
        <source>Changing file %1 of %2
%3</source>
        <translation>Datei %1 von %2 wird geändert
%3</translation>
    </message>
    <message>
        <source>%1 of %2 copied</source>
        <extracomment>Progress of a large copy: bytes copied of the file&apos;s size, as &quot;3 MB of 8 MB&quot;.</extracomment>
        <translation>%1 von %2 kopiert</translation>
    </message>
</context>
<context>
    <name>morvane::frmMain</name>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Open</source>
        <extracomment>The picture button that chooses a file: its tooltip and its name for screen readers.</extracomment>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Current Extension:</source>
        <translation>Aktuelle Erweiterung:</translation>
    </message>
    <message>
        <source>New Extension:</source>
        <translation>Neue Erweiterung:</translation>
    </message>
    <message>
        <source>&amp;Change</source>
        <extracomment>&amp; marks the Alt key; the window&apos;s two buttons need two different ones.</extracomment>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Leave Copy of Original File</source>
        <translation>Kopie der Originaldatei behalten</translation>
    </message>
    <message>
        <source>Change all extensions in folder</source>
        <extracomment>Every file of the folder with the same extension is changed too.</extracomment>
        <translation>Alle Erweiterungen im Ordner ändern</translation>
    </message>
    <message>
        <source>All Files</source>
        <extracomment>The open-file dialog&apos;s one filter.</extracomment>
        <translation>Alle Dateien</translation>
    </message>
</context>
</TS>
