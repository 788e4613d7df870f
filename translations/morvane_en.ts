<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Messages</name>
    <message numerus="yes">
        <source>Conversion cancelled. %1 file extensions changed.</source>
        <translation>
            <numerusform>Conversion cancelled. %1 file extensions changed.</numerusform>
            <numerusform>Conversion cancelled. %1 file extensions changed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Conversion complete. %1 file extensions changed.</source>
        <translation>
            <numerusform>Conversion complete. %1 file extensions changed.</numerusform>
            <numerusform>Conversion complete. %1 file extensions changed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %1 could not be put back: %2</source>
        <extracomment>A clause of an undo&apos;s text: %1 files the system refused to move back, the first named.</extracomment>
        <translation>
            <numerusform>; %1 could not be put back: %2</numerusform>
            <numerusform>; %1 could not be put back: %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> and %1 more</source>
        <translation>
            <numerusform> and %1 more</numerusform>
            <numerusform> and %1 more</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> (and %1 more)</source>
        <translation>
            <numerusform> (and %1 more)</numerusform>
            <numerusform> (and %1 more)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Undo complete. %1 files restored</source>
        <extracomment>An undo&apos;s first sentence; clauses that begin with &quot;; &quot; may follow, then &quot;%1.&quot;.</extracomment>
        <translation>
            <numerusform>Undo complete. %1 file restored</numerusform>
            <numerusform>Undo complete. %1 files restored</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %1 left as they are because they changed since</source>
        <extracomment>A clause of an undo&apos;s text: files left where they are, as changed since.</extracomment>
        <translation>
            <numerusform>; %1 left as it is because it changed since</numerusform>
            <numerusform>; %1 left as they are because they changed since</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Undo cancelled. %1 files restored.</source>
        <translation>
            <numerusform>Undo cancelled. %1 file restored.</numerusform>
            <numerusform>Undo cancelled. %1 files restored.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The last change was interrupted after %1 of %2 files. Undo it?</source>
        <translation>
            <numerusform>The last change was interrupted after %1 of %2 file. Undo it?</numerusform>
            <numerusform>The last change was interrupted after %1 of %2 files. Undo it?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The last undo was interrupted after %1 of %2 files. Finish it?</source>
        <translation>
            <numerusform>The last undo was interrupted after %1 of %2 file. Finish it?</numerusform>
            <numerusform>The last undo was interrupted after %1 of %2 files. Finish it?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>morvane::ChangeRun</name>
    <message numerus="yes">
        <source>Reading the folder…
%1 files found</source>
        <extracomment>Progress while a folder is listed; %1 is how many files were found so far.</extracomment>
        <translation>
            <numerusform>Reading the folder…
%1 file found</numerusform>
            <numerusform>Reading the folder…
%1 files found</numerusform>
        </translation>
    </message>
</context>
</TS>
