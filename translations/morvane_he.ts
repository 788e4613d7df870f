<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="he">
<context>
    <name>Failures</name>
    <message>
        <source>Invalid argument: a new extension cannot hold %1</source>
        <extracomment>%1 is the character, quoted or as U+XXXX.</extracomment>
        <translation>ארגומנט לא תקין: סיומת חדשה אינה יכולה להכיל את התו ⁨%1⁩</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; is not an ordinary file</source>
        <translation>%1: &quot;⁨%2⁩&quot; אינו קובץ רגיל</translation>
    </message>
    <message>
        <source>%1 (the file that was at &apos;%2&apos; is now &apos;%3&apos;)</source>
        <translation>%1 (הקובץ שהיה בשם &quot;⁨%2⁩&quot; נקרא כעת &quot;⁨%3⁩&quot;)</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; changed after the question and was left as it is</source>
        <translation>%1: &quot;⁨%2⁩&quot; השתנה אחרי השאלה ונשאר כפי שהוא</translation>
    </message>
    <message>
        <source>%1 (the file is left as &apos;%2&apos;)</source>
        <translation>%1 (הקובץ נשאר בשם &quot;⁨%2⁩&quot;)</translation>
    </message>
    <message>
        <source>a file&apos;s status cannot be read</source>
        <translation>לא ניתן לקרוא את מצבו של קובץ</translation>
    </message>
    <message>
        <source>%1 (the Trash at &apos;%2&apos;)</source>
        <extracomment>%1 is the system&apos;s reason, %2 the Trash&apos;s folder.</extracomment>
        <translation>%1 (האשפה ב־&quot;⁨%2⁩&quot;)</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Conversion cancelled. </source>
        <extracomment>The trailing blank is the English text&apos;s own; other languages need none.</extracomment>
        <translation>השינוי הופסק.</translation>
    </message>
    <message>
        <source>Conversion complete. </source>
        <translation>השינוי הושלם.</translation>
    </message>
    <message numerus="yes">
        <source>Conversion cancelled. %1 file extensions changed.</source>
        <translation>
            <numerusform>השינוי הופסק. שונתה הסיומת של %1 קובץ.</numerusform>
            <numerusform>השינוי הופסק. שונו הסיומות של %1 קבצים.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Conversion complete. %1 file extensions changed.</source>
        <translation>
            <numerusform>השינוי הושלם. שונתה הסיומת של %1 קובץ.</numerusform>
            <numerusform>השינוי הושלם. שונו הסיומות של %1 קבצים.</numerusform>
        </translation>
    </message>
    <message>
        <source>&apos;%1&apos; (%2)</source>
        <translation>&quot;⁨%1⁩&quot; (%2)</translation>
    </message>
    <message numerus="yes">
        <source>; %1 could not be put back: %2</source>
        <extracomment>A clause of an undo&apos;s text: %1 files the system refused to move back, the first named.</extracomment>
        <translation>
            <numerusform>; לא ניתן היה להחזיר %1 קובץ: %2</numerusform>
            <numerusform>; לא ניתן היה להחזיר %1 קבצים: %2</numerusform>
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
            <numerusform> ועוד %1</numerusform>
            <numerusform> ועוד %1</numerusform>
        </translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced stays in the Trash, as its name is taken</source>
        <translation>; הקובץ ש־&quot;⁨%1⁩&quot; החליף נשאר באשפה, כי שמו תפוס</translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced is no longer in the Trash</source>
        <translation>; הקובץ ש־&quot;⁨%1⁩&quot; החליף כבר אינו באשפה</translation>
    </message>
    <message numerus="yes">
        <source> (and %1 more)</source>
        <translation>
            <numerusform> (ועוד %1)</numerusform>
            <numerusform> (ועוד %1)</numerusform>
        </translation>
    </message>
    <message>
        <source>No file extensions changed.</source>
        <translation>לא שונו סיומות של קבצים.</translation>
    </message>
    <message numerus="yes">
        <source>Undo complete. %1 files restored</source>
        <extracomment>An undo&apos;s first sentence; clauses that begin with &quot;; &quot; may follow, then &quot;%1.&quot;.</extracomment>
        <translation>
            <numerusform>הביטול הושלם. שוחזר %1 קובץ</numerusform>
            <numerusform>הביטול הושלם. שוחזרו %1 קבצים</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %1 left as they are because they changed since</source>
        <extracomment>A clause of an undo&apos;s text: files left where they are, as changed since.</extracomment>
        <translation>
            <numerusform>; %1 קובץ נשאר כפי שהוא כי השתנה מאז</numerusform>
            <numerusform>; %1 קבצים נשארו כפי שהם כי השתנו מאז</numerusform>
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
            <numerusform>הביטול הופסק. שוחזר %1 קובץ.</numerusform>
            <numerusform>הביטול הופסק. שוחזרו %1 קבצים.</numerusform>
        </translation>
    </message>
    <message>
        <source>The last change could not be recorded, so it cannot be undone.</source>
        <translation>לא ניתן היה לתעד את השינוי האחרון, ולכן אי אפשר לבטל אותו.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; is no longer there; nothing was undone.</source>
        <translation>התיקייה &quot;⁨%1⁩&quot; כבר לא קיימת; דבר לא בוטל.</translation>
    </message>
    <message>
        <source>Error %1: %2</source>
        <extracomment>%1 is the system&apos;s error number, %2 its text.</extracomment>
        <translation>שגיאה %1: %2</translation>
    </message>
    <message>
        <source>The destination file &apos;%1&apos; already exisits, overwrite?</source>
        <extracomment>&quot;exisits&quot; is the English text&apos;s own spelling; translate it as &quot;exists&quot;.</extracomment>
        <translation>קובץ היעד &quot;⁨%1⁩&quot; כבר קיים. לשכתב אותו?</translation>
    </message>
    <message>
        <source>Error</source>
        <extracomment>The title of an error&apos;s box.</extracomment>
        <translation>שגיאה</translation>
    </message>
    <message numerus="yes">
        <source>The last change was interrupted after %1 of %2 files. Undo it?</source>
        <translation>
            <numerusform>השינוי האחרון נקטע אחרי %1 מתוך %2 קובץ. לבטל אותו?</numerusform>
            <numerusform>השינוי האחרון נקטע אחרי %1 מתוך %2 קבצים. לבטל אותו?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The last undo was interrupted after %1 of %2 files. Finish it?</source>
        <translation>
            <numerusform>הביטול האחרון נקטע אחרי %1 מתוך %2 קובץ. להשלים אותו?</numerusform>
            <numerusform>הביטול האחרון נקטע אחרי %1 מתוך %2 קבצים. להשלים אותו?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>QtMessageBox</name>
    <message>
        <source>&amp;Undo</source>
        <extracomment>The closing box&apos;s button beside OK; &amp; marks its Alt key, which OK&apos;s must not share.</extracomment>
        <translation>&amp;ביטול השינוי</translation>
    </message>
</context>
<context>
    <name>SystemErrors</name>
    <message>
        <source>Operation not permitted</source>
        <translation>הפעולה אינה מותרת</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>אין קובץ או תיקייה בשם זה</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>קריאת מערכת נקטעה</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>שגיאת קלט/פלט</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>אין התקן או כתובת כאלה</translation>
    </message>
    <message>
        <source>Bad file descriptor</source>
        <translation>מתאר קובץ שגוי</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>המשאב אינו זמין כרגע</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>לא ניתן להקצות זיכרון</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>ההרשאה נדחתה</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>ההתקן או המשאב תפוסים</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>הקובץ קיים</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>קישור בין התקנים אינו תקין</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>אין התקן כזה</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>אינו תיקייה</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>זו תיקייה</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>ארגומנט לא תקין</translation>
    </message>
    <message>
        <source>Too many open files in system</source>
        <translation>יותר מדי קבצים פתוחים במערכת</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>יותר מדי קבצים פתוחים</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>קובץ התוכנית נמצא בשימוש</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>הקובץ גדול מדי</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>לא נשאר מקום בהתקן</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>מערכת קבצים לקריאה בלבד</translation>
    </message>
    <message>
        <source>Too many links</source>
        <translation>יותר מדי קישורים</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>שם הקובץ ארוך מדי</translation>
    </message>
    <message>
        <source>No locks available</source>
        <translation>אין נעילות זמינות</translation>
    </message>
    <message>
        <source>Function not implemented</source>
        <translation>הפונקציה אינה ממומשת</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>התיקייה אינה ריקה</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>יותר מדי רמות של קישורים סמליים</translation>
    </message>
    <message>
        <source>No data available</source>
        <translation>אין נתונים זמינים</translation>
    </message>
    <message>
        <source>Value too large for defined data type</source>
        <translation>הערך גדול מדי עבור סוג הנתונים</translation>
    </message>
    <message>
        <source>Invalid or incomplete multibyte or wide character</source>
        <translation>תו רב־בתים או תו רחב לא תקין או חלקי</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>הפעולה אינה נתמכת</translation>
    </message>
    <message>
        <source>Transport endpoint is not connected</source>
        <translation>נקודת הקצה של התעבורה אינה מחוברת</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>תם הזמן המוקצב להתחברות</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>מזהה הקובץ אינו תקף עוד</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>חריגה ממכסת הדיסק</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>הפעולה בוטלה</translation>
    </message>
    <message>
        <source>system error %1</source>
        <translation>שגיאת מערכת %1</translation>
    </message>
</context>
<context>
    <name>Warnings</name>
    <message>
        <source>the journal %1 cannot be written: %2</source>
        <translation>לא ניתן לכתוב את יומן השינויים ⁨%1⁩: %2</translation>
    </message>
    <message>
        <source>, and what it holds so far cannot be removed</source>
        <translation>, וגם לא ניתן להסיר את מה שנכתב בו עד כה</translation>
    </message>
    <message>
        <source>no change has begun</source>
        <translation>שום שינוי לא התחיל</translation>
    </message>
    <message>
        <source>ignoring the journal %1: %2</source>
        <extracomment>%1 is a record of a change, %2 why, as &quot;it is not whole&quot;.</extracomment>
        <translation>המערכת מתעלמת מיומן השינויים ⁨%1⁩: %2</translation>
    </message>
    <message>
        <source>it cannot be read: %1</source>
        <translation>לא ניתן לקרוא אותו: %1</translation>
    </message>
    <message>
        <source>it is not Morvane&apos;s</source>
        <translation>הוא אינו של Morvane</translation>
    </message>
    <message>
        <source>it is of another version</source>
        <translation>הוא מגרסה אחרת</translation>
    </message>
    <message>
        <source>it is not whole</source>
        <translation>הוא אינו שלם</translation>
    </message>
    <message>
        <source>the settings cannot be read</source>
        <translation>לא ניתן לקרוא את ההגדרות</translation>
    </message>
    <message>
        <source>the file is not valid</source>
        <translation>הקובץ אינו תקין</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>לא ניתן לקרוא את הקובץ</translation>
    </message>
    <message>
        <source>the settings cannot be written</source>
        <translation>לא ניתן לכתוב את ההגדרות</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>לא ניתן לכתוב את הקובץ</translation>
    </message>
    <message>
        <source>its lock %1.lock cannot be taken</source>
        <translation>לא ניתן לתפוס את הנעילה ⁨%1.lock⁩</translation>
    </message>
    <message>
        <source>ignoring the settings in %1 (%2); starting with defaults</source>
        <translation>ההגדרות ב־⁨%1⁩ לא נקראו (%2); התוכנית מתחילה עם ברירות המחדל</translation>
    </message>
    <message>
        <source>ignoring the stored &quot;%1&quot; value &quot;%2&quot;; the box stays unticked</source>
        <translation>הערך &quot;⁨%2⁩&quot; השמור עבור &quot;⁨%1⁩&quot; לא נקרא; התיבה נשארת לא מסומנת</translation>
    </message>
    <message>
        <source>the name %1 is not valid in the system&apos;s encoding (UTF-8); Morvane cannot name that file again, so it will not change it</source>
        <translation>השם ⁨%1⁩ אינו תקין בקידוד של המערכת (UTF-8); Morvane לא יכולה לתת לקובץ הזה שוב את אותו השם, ולכן לא תשנה אותו</translation>
    </message>
    <message>
        <source>the settings could not be saved to %1 (%2); the previous ones are kept</source>
        <translation>לא ניתן היה לשמור את ההגדרות ב־⁨%1⁩ (%2); ההגדרות הקודמות נשמרות</translation>
    </message>
    <message>
        <source>the journal %1 is not kept: %2</source>
        <translation>יומן השינויים ⁨%1⁩ אינו נשמר: %2</translation>
    </message>
    <message>
        <source>the undo cannot be recorded in %1: %2</source>
        <translation>לא ניתן לתעד את הביטול ב־⁨%1⁩: %2</translation>
    </message>
    <message>
        <source>the last change is being undone in another window</source>
        <translation>השינוי האחרון מבוטל כעת בחלון אחר</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>לא ניתן לקרוא אותו</translation>
    </message>
</context>
<context>
    <name>morvane::ChangeRun</name>
    <message numerus="yes">
        <source>Reading the folder…
%1 files found</source>
        <extracomment>Progress while a folder is listed; %1 is how many files were found so far.</extracomment>
        <translation>
            <numerusform>קורא את התיקייה…
נמצא %1 קובץ</numerusform>
            <numerusform>קורא את התיקייה…
נמצאו %1 קבצים</numerusform>
        </translation>
    </message>
    <message>
        <source>Undoing file %1 of %2
%3</source>
        <extracomment>Progress: the number of the file, how many there are, and the file&apos;s name.</extracomment>
        <translation>מבטל את השינוי בקובץ %1 מתוך %2
⁨%3⁩</translation>
    </message>
    <message>
        <source>Changing file %1 of %2
%3</source>
        <translation>משנה קובץ %1 מתוך %2
⁨%3⁩</translation>
    </message>
    <message>
        <source>%1 of %2 copied</source>
        <extracomment>Progress of a large copy: bytes copied of the file&apos;s size, as &quot;3 MB of 8 MB&quot;.</extracomment>
        <translation>הועתקו %1 מתוך %2</translation>
    </message>
</context>
<context>
    <name>morvane::frmMain</name>
    <message>
        <source>File:</source>
        <translation>קובץ:</translation>
    </message>
    <message>
        <source>Open</source>
        <extracomment>The picture button that chooses a file: its tooltip and its name for screen readers.</extracomment>
        <translation>פתיחה</translation>
    </message>
    <message>
        <source>Current Extension:</source>
        <translation>סיומת נוכחית:</translation>
    </message>
    <message>
        <source>New Extension:</source>
        <translation>סיומת חדשה:</translation>
    </message>
    <message>
        <source>&amp;Change</source>
        <extracomment>&amp; marks the Alt key; the window&apos;s two buttons need two different ones.</extracomment>
        <translation>&amp;שינוי</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;יציאה</translation>
    </message>
    <message>
        <source>Leave Copy of Original File</source>
        <translation>השארת עותק של הקובץ המקורי</translation>
    </message>
    <message>
        <source>Change all extensions in folder</source>
        <extracomment>Every file of the folder with the same extension is changed too.</extracomment>
        <translation>שינוי כל הסיומות בתיקייה</translation>
    </message>
    <message>
        <source>All Files</source>
        <extracomment>The open-file dialog&apos;s one filter.</extracomment>
        <translation>כל הקבצים</translation>
    </message>
</context>
</TS>
