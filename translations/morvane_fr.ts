<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Failures</name>
    <message>
        <source>Invalid argument: a new extension cannot hold %1</source>
        <extracomment>%1 is the character, quoted or as U+XXXX.</extracomment>
        <translation>Argument invalide&#xa0;: une nouvelle extension ne peut pas contenir le caractère %1</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; is not an ordinary file</source>
        <translation>%1&#xa0;: «&#xa0;%2&#xa0;» n’est pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>%1 (the file that was at &apos;%2&apos; is now &apos;%3&apos;)</source>
        <translation>%1 (le fichier qui se trouvait à «&#xa0;%2&#xa0;» s’appelle maintenant «&#xa0;%3&#xa0;»)</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; changed after the question and was left as it is</source>
        <translation>%1&#xa0;: «&#xa0;%2&#xa0;» a été modifié après la question et a été laissé tel quel</translation>
    </message>
    <message>
        <source>%1 (the file is left as &apos;%2&apos;)</source>
        <translation>%1 (le fichier reste nommé «&#xa0;%2&#xa0;»)</translation>
    </message>
    <message>
        <source>a file&apos;s status cannot be read</source>
        <translation>l’état d’un fichier ne peut pas être lu</translation>
    </message>
    <message>
        <source>%1 (the Trash at &apos;%2&apos;)</source>
        <extracomment>%1 is the system&apos;s reason, %2 the Trash&apos;s folder.</extracomment>
        <translation>%1 (la corbeille située à «&#xa0;%2&#xa0;»)</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Conversion cancelled. </source>
        <extracomment>The trailing blank is the English text&apos;s own; other languages need none.</extracomment>
        <translation>Modification interrompue.</translation>
    </message>
    <message>
        <source>Conversion complete. </source>
        <translation>Modification terminée.</translation>
    </message>
    <message numerus="yes">
        <source>Conversion cancelled. %1 file extensions changed.</source>
        <translation>
            <numerusform>Modification interrompue. %1 extension de fichier modifiée.</numerusform>
            <numerusform>Modification interrompue. %1 extensions de fichiers modifiées.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Conversion complete. %1 file extensions changed.</source>
        <translation>
            <numerusform>Modification terminée. %1 extension de fichier modifiée.</numerusform>
            <numerusform>Modification terminée. %1 extensions de fichiers modifiées.</numerusform>
        </translation>
    </message>
    <message>
        <source>&apos;%1&apos; (%2)</source>
        <translation>«&#xa0;%1&#xa0;» (%2)</translation>
    </message>
    <message numerus="yes">
        <source>; %1 could not be put back: %2</source>
        <extracomment>A clause of an undo&apos;s text: %1 files the system refused to move back, the first named.</extracomment>
        <translation>
            <numerusform>&#xa0;; %1 n’a pas pu être remis en place&#xa0;: %2</numerusform>
            <numerusform>&#xa0;; %1 n’ont pas pu être remis en place&#xa0;: %2</numerusform>
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
            <numerusform> et %1 autre</numerusform>
            <numerusform> et %1 autres</numerusform>
        </translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced stays in the Trash, as its name is taken</source>
        <translation>&#xa0;; le fichier remplacé par «&#xa0;%1&#xa0;» reste dans la corbeille, car son nom est pris</translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced is no longer in the Trash</source>
        <translation>&#xa0;; le fichier remplacé par «&#xa0;%1&#xa0;» n’est plus dans la corbeille</translation>
    </message>
    <message numerus="yes">
        <source> (and %1 more)</source>
        <translation>
            <numerusform> (et %1 autre)</numerusform>
            <numerusform> (et %1 autres)</numerusform>
        </translation>
    </message>
    <message>
        <source>No file extensions changed.</source>
        <translation>Aucune extension de fichier modifiée.</translation>
    </message>
    <message numerus="yes">
        <source>Undo complete. %1 files restored</source>
        <extracomment>An undo&apos;s first sentence; clauses that begin with &quot;; &quot; may follow, then &quot;%1.&quot;.</extracomment>
        <translation>
            <numerusform>Annulation terminée. %1 fichier restauré</numerusform>
            <numerusform>Annulation terminée. %1 fichiers restaurés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %1 left as they are because they changed since</source>
        <extracomment>A clause of an undo&apos;s text: files left where they are, as changed since.</extracomment>
        <translation>
            <numerusform>&#xa0;; %1 laissé tel quel, car modifié depuis</numerusform>
            <numerusform>&#xa0;; %1 laissés tels quels, car modifiés depuis</numerusform>
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
            <numerusform>Annulation interrompue. %1 fichier restauré.</numerusform>
            <numerusform>Annulation interrompue. %1 fichiers restaurés.</numerusform>
        </translation>
    </message>
    <message>
        <source>The last change could not be recorded, so it cannot be undone.</source>
        <translation>La dernière modification n’a pas pu être enregistrée&#xa0;; elle ne peut donc pas être annulée.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; is no longer there; nothing was undone.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» n’existe plus&#xa0;; rien n’a été annulé.</translation>
    </message>
    <message>
        <source>Error %1: %2</source>
        <extracomment>%1 is the system&apos;s error number, %2 its text.</extracomment>
        <translation>Erreur %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>The destination file &apos;%1&apos; already exisits, overwrite?</source>
        <extracomment>&quot;exisits&quot; is the English text&apos;s own spelling; translate it as &quot;exists&quot;.</extracomment>
        <translation>Le fichier de destination «&#xa0;%1&#xa0;» existe déjà. Voulez-vous l’écraser&#xa0;?</translation>
    </message>
    <message>
        <source>Error</source>
        <extracomment>The title of an error&apos;s box.</extracomment>
        <translation>Erreur</translation>
    </message>
    <message numerus="yes">
        <source>The last change was interrupted after %1 of %2 files. Undo it?</source>
        <translation>
            <numerusform>La dernière modification a été interrompue après %1 fichier sur %2. Voulez-vous l’annuler&#xa0;?</numerusform>
            <numerusform>La dernière modification a été interrompue après %1 des %2 fichiers. Voulez-vous l’annuler&#xa0;?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The last undo was interrupted after %1 of %2 files. Finish it?</source>
        <translation>
            <numerusform>La dernière annulation a été interrompue après %1 fichier sur %2. Voulez-vous la terminer&#xa0;?</numerusform>
            <numerusform>La dernière annulation a été interrompue après %1 des %2 fichiers. Voulez-vous la terminer&#xa0;?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>QtMessageBox</name>
    <message>
        <source>&amp;Undo</source>
        <extracomment>The closing box&apos;s button beside OK; &amp; marks its Alt key, which OK&apos;s must not share.</extracomment>
        <translation>&amp;Annuler la modification</translation>
    </message>
</context>
<context>
    <name>SystemErrors</name>
    <message>
        <source>Operation not permitted</source>
        <translation>Opération non permise</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Aucun fichier ou dossier de ce nom</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>Appel système interrompu</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Erreur d’entrée/sortie</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>Aucun périphérique ou adresse de ce type</translation>
    </message>
    <message>
        <source>Bad file descriptor</source>
        <translation>Mauvais descripteur de fichier</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>Ressource temporairement indisponible</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>Impossible d’allouer de la mémoire</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Permission refusée</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Périphérique ou ressource occupé</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Le fichier existe</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>Lien entre périphériques invalide</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>Aucun périphérique de ce type</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>N’est pas un dossier</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Est un dossier</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Argument invalide</translation>
    </message>
    <message>
        <source>Too many open files in system</source>
        <translation>Trop de fichiers ouverts dans le système</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Trop de fichiers ouverts</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Fichier exécutable occupé</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Fichier trop volumineux</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Plus d’espace disponible sur le périphérique</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Système de fichiers en lecture seule</translation>
    </message>
    <message>
        <source>Too many links</source>
        <translation>Trop de liens</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Nom de fichier trop long</translation>
    </message>
    <message>
        <source>No locks available</source>
        <translation>Aucun verrou disponible</translation>
    </message>
    <message>
        <source>Function not implemented</source>
        <translation>Fonction non implémentée</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Dossier non vide</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Trop de niveaux de liens symboliques</translation>
    </message>
    <message>
        <source>No data available</source>
        <translation>Aucune donnée disponible</translation>
    </message>
    <message>
        <source>Value too large for defined data type</source>
        <translation>Valeur trop grande pour le type de données</translation>
    </message>
    <message>
        <source>Invalid or incomplete multibyte or wide character</source>
        <translation>Caractère multioctet ou large invalide ou incomplet</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>Opération non prise en charge</translation>
    </message>
    <message>
        <source>Transport endpoint is not connected</source>
        <translation>Le point de terminaison du transport n’est pas connecté</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>Délai de connexion dépassé</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Descripteur de fichier périmé</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Quota de disque dépassé</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>Opération annulée</translation>
    </message>
    <message>
        <source>system error %1</source>
        <translation>erreur système %1</translation>
    </message>
</context>
<context>
    <name>Warnings</name>
    <message>
        <source>the journal %1 cannot be written: %2</source>
        <translation>le journal %1 ne peut pas être écrit&#xa0;: %2</translation>
    </message>
    <message>
        <source>, and what it holds so far cannot be removed</source>
        <translation>, et son contenu actuel ne peut pas être supprimé</translation>
    </message>
    <message>
        <source>no change has begun</source>
        <translation>aucune modification n’a commencé</translation>
    </message>
    <message>
        <source>ignoring the journal %1: %2</source>
        <extracomment>%1 is a record of a change, %2 why, as &quot;it is not whole&quot;.</extracomment>
        <translation>le journal %1 est ignoré&#xa0;: %2</translation>
    </message>
    <message>
        <source>it cannot be read: %1</source>
        <translation>il ne peut pas être lu&#xa0;: %1</translation>
    </message>
    <message>
        <source>it is not Morvane&apos;s</source>
        <translation>il ne provient pas de Morvane</translation>
    </message>
    <message>
        <source>it is of another version</source>
        <translation>il provient d’une autre version</translation>
    </message>
    <message>
        <source>it is not whole</source>
        <translation>il est incomplet</translation>
    </message>
    <message>
        <source>the settings cannot be read</source>
        <translation>les paramètres ne peuvent pas être lus</translation>
    </message>
    <message>
        <source>the file is not valid</source>
        <translation>le fichier n’est pas valide</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>le fichier ne peut pas être lu</translation>
    </message>
    <message>
        <source>the settings cannot be written</source>
        <translation>les paramètres ne peuvent pas être écrits</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>le fichier ne peut pas être écrit</translation>
    </message>
    <message>
        <source>its lock %1.lock cannot be taken</source>
        <translation>son verrou %1.lock ne peut pas être pris</translation>
    </message>
    <message>
        <source>ignoring the settings in %1 (%2); starting with defaults</source>
        <translation>les paramètres de %1 sont ignorés (%2)&#xa0;; démarrage avec les valeurs par défaut</translation>
    </message>
    <message>
        <source>ignoring the stored &quot;%1&quot; value &quot;%2&quot;; the box stays unticked</source>
        <translation>la valeur «&#xa0;%2&#xa0;» enregistrée pour «&#xa0;%1&#xa0;» est ignorée&#xa0;; la case reste décochée</translation>
    </message>
    <message>
        <source>the name %1 is not valid in the system&apos;s encoding (UTF-8); Morvane cannot name that file again, so it will not change it</source>
        <translation>le nom %1 n’est pas valide dans l’encodage du système (UTF-8)&#xa0;; Morvane ne peut pas redonner exactement ce nom au fichier et ne le modifiera donc pas</translation>
    </message>
    <message>
        <source>the settings could not be saved to %1 (%2); the previous ones are kept</source>
        <translation>les paramètres n’ont pas pu être enregistrés dans %1 (%2)&#xa0;; les précédents sont conservés</translation>
    </message>
    <message>
        <source>the journal %1 is not kept: %2</source>
        <translation>le journal %1 n’est pas conservé&#xa0;: %2</translation>
    </message>
    <message>
        <source>the undo cannot be recorded in %1: %2</source>
        <translation>l’annulation ne peut pas être enregistrée dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>the last change is being undone in another window</source>
        <translation>la dernière modification est en cours d’annulation dans une autre fenêtre</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>il ne peut pas être lu</translation>
    </message>
</context>
<context>
    <name>morvane::ChangeRun</name>
    <message numerus="yes">
        <source>Reading the folder…
%1 files found</source>
        <extracomment>Progress while a folder is listed; %1 is how many files were found so far.</extracomment>
        <translation>
            <numerusform>Lecture du dossier…
%1 fichier trouvé</numerusform>
            <numerusform>Lecture du dossier…
%1 fichiers trouvés</numerusform>
        </translation>
    </message>
    <message>
        <source>Undoing file %1 of %2
%3</source>
        <extracomment>Progress: the number of the file, how many there are, and the file&apos;s name.</extracomment>
        <translation>Restauration du fichier %1 sur %2
%3</translation>
    </message>
    <message>
        <source>Changing file %1 of %2
%3</source>
        <translation>Modification du fichier %1 sur %2
%3</translation>
    </message>
    <message>
        <source>%1 of %2 copied</source>
        <extracomment>Progress of a large copy: bytes copied of the file&apos;s size, as &quot;3 MB of 8 MB&quot;.</extracomment>
        <translation>%1 sur %2 copiés</translation>
    </message>
</context>
<context>
    <name>morvane::frmMain</name>
    <message>
        <source>File:</source>
        <translation>Fichier&#xa0;:</translation>
    </message>
    <message>
        <source>Open</source>
        <extracomment>The picture button that chooses a file: its tooltip and its name for screen readers.</extracomment>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Current Extension:</source>
        <translation>Extension actuelle&#xa0;:</translation>
    </message>
    <message>
        <source>New Extension:</source>
        <translation>Nouvelle extension&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Change</source>
        <extracomment>&amp; marks the Alt key; the window&apos;s two buttons need two different ones.</extracomment>
        <translation>&amp;Modifier</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Leave Copy of Original File</source>
        <translation>Conserver une copie du fichier d’origine</translation>
    </message>
    <message>
        <source>Change all extensions in folder</source>
        <extracomment>Every file of the folder with the same extension is changed too.</extracomment>
        <translation>Modifier toutes les extensions du dossier</translation>
    </message>
    <message>
        <source>All Files</source>
        <extracomment>The open-file dialog&apos;s one filter.</extracomment>
        <translation>Tous les fichiers</translation>
    </message>
</context>
</TS>
