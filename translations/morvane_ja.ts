<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>Failures</name>
    <message>
        <source>Invalid argument: a new extension cannot hold %1</source>
        <extracomment>%1 is the character, quoted or as U+XXXX.</extracomment>
        <translation>無効な引数です: 新しい拡張子に文字 %1 は使えません</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; is not an ordinary file</source>
        <translation>%1: 「%2」は通常のファイルではありません</translation>
    </message>
    <message>
        <source>%1 (the file that was at &apos;%2&apos; is now &apos;%3&apos;)</source>
        <translation>%1（「%2」にあったファイルは現在「%3」です）</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; changed after the question and was left as it is</source>
        <translation>%1: 「%2」は確認の後に変更されたため、そのままにしました</translation>
    </message>
    <message>
        <source>%1 (the file is left as &apos;%2&apos;)</source>
        <translation>%1（ファイルは「%2」という名前で残っています）</translation>
    </message>
    <message>
        <source>a file&apos;s status cannot be read</source>
        <translation>ファイルの状態を読み込めません</translation>
    </message>
    <message>
        <source>%1 (the Trash at &apos;%2&apos;)</source>
        <extracomment>%1 is the system&apos;s reason, %2 the Trash&apos;s folder.</extracomment>
        <translation>%1（ゴミ箱「%2」）</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Conversion cancelled. </source>
        <extracomment>The trailing blank is the English text&apos;s own; other languages need none.</extracomment>
        <translation>変更を中止しました。</translation>
    </message>
    <message>
        <source>Conversion complete. </source>
        <translation>変更が完了しました。</translation>
    </message>
    <message numerus="yes">
        <source>Conversion cancelled. %1 file extensions changed.</source>
        <translation>
            <numerusform>変更を中止しました。%1 個のファイルの拡張子を変更しました。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Conversion complete. %1 file extensions changed.</source>
        <translation>
            <numerusform>変更が完了しました。%1 個のファイルの拡張子を変更しました。</numerusform>
        </translation>
    </message>
    <message>
        <source>&apos;%1&apos; (%2)</source>
        <translation>「%1」（%2）</translation>
    </message>
    <message numerus="yes">
        <source>; %1 could not be put back: %2</source>
        <extracomment>A clause of an undo&apos;s text: %1 files the system refused to move back, the first named.</extracomment>
        <translation>
            <numerusform>。%1 個のファイルは元に戻せませんでした: %2</numerusform>
        </translation>
    </message>
    <message>
        <source>, </source>
        <extracomment>Separates the names of files in a list.</extracomment>
        <translation>、</translation>
    </message>
    <message numerus="yes">
        <source> and %1 more</source>
        <translation>
            <numerusform>、ほか %1 個</numerusform>
        </translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced stays in the Trash, as its name is taken</source>
        <translation>。「%1」が置き換えたファイルは、名前が使われているためゴミ箱に残っています</translation>
    </message>
    <message>
        <source>; the file that &apos;%1&apos; replaced is no longer in the Trash</source>
        <translation>。「%1」が置き換えたファイルはもうゴミ箱にありません</translation>
    </message>
    <message numerus="yes">
        <source> (and %1 more)</source>
        <translation>
            <numerusform>（ほか %1 個）</numerusform>
        </translation>
    </message>
    <message>
        <source>No file extensions changed.</source>
        <translation>拡張子を変更したファイルはありません。</translation>
    </message>
    <message numerus="yes">
        <source>Undo complete. %1 files restored</source>
        <extracomment>An undo&apos;s first sentence; clauses that begin with &quot;; &quot; may follow, then &quot;%1.&quot;.</extracomment>
        <translation>
            <numerusform>元に戻しました。%1 個のファイルを復元しました</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; %1 left as they are because they changed since</source>
        <extracomment>A clause of an undo&apos;s text: files left where they are, as changed since.</extracomment>
        <translation>
            <numerusform>。%1 個のファイルはその後変更されていたため、そのままにしました</numerusform>
        </translation>
    </message>
    <message>
        <source>%1.</source>
        <extracomment>Ends the text of an undo: its sentence and clauses as %1.</extracomment>
        <translation>%1。</translation>
    </message>
    <message numerus="yes">
        <source>Undo cancelled. %1 files restored.</source>
        <translation>
            <numerusform>元に戻す操作を中止しました。%1 個のファイルを復元しました。</numerusform>
        </translation>
    </message>
    <message>
        <source>The last change could not be recorded, so it cannot be undone.</source>
        <translation>前回の変更は記録できなかったため、元に戻せません。</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; is no longer there; nothing was undone.</source>
        <translation>フォルダー「%1」はもうありません。何も元に戻していません。</translation>
    </message>
    <message>
        <source>Error %1: %2</source>
        <extracomment>%1 is the system&apos;s error number, %2 its text.</extracomment>
        <translation>エラー %1: %2</translation>
    </message>
    <message>
        <source>The destination file &apos;%1&apos; already exisits, overwrite?</source>
        <extracomment>&quot;exisits&quot; is the English text&apos;s own spelling; translate it as &quot;exists&quot;.</extracomment>
        <translation>出力先のファイル「%1」は既に存在します。上書きしますか？</translation>
    </message>
    <message>
        <source>Error</source>
        <extracomment>The title of an error&apos;s box.</extracomment>
        <translation>エラー</translation>
    </message>
    <message numerus="yes">
        <source>The last change was interrupted after %1 of %2 files. Undo it?</source>
        <translation>
            <numerusform>前回の変更は %2 個中 %1 個のファイルを処理したところで中断されました。元に戻しますか？</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The last undo was interrupted after %1 of %2 files. Finish it?</source>
        <translation>
            <numerusform>前回の元に戻す操作は %2 個中 %1 個のファイルを処理したところで中断されました。最後まで行いますか？</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>QtMessageBox</name>
    <message>
        <source>&amp;Undo</source>
        <extracomment>The closing box&apos;s button beside OK; &amp; marks its Alt key, which OK&apos;s must not share.</extracomment>
        <translation>元に戻す(&amp;U)</translation>
    </message>
</context>
<context>
    <name>SystemErrors</name>
    <message>
        <source>Operation not permitted</source>
        <translation>許可されていない操作です</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>そのようなファイルやディレクトリはありません</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>システムコールが中断されました</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>入出力エラーです</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>そのようなデバイスやアドレスはありません</translation>
    </message>
    <message>
        <source>Bad file descriptor</source>
        <translation>不正なファイル記述子です</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>リソースが一時的に利用できません</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>メモリを確保できません</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>許可がありません</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>デバイスまたはリソースが使用中です</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>ファイルが存在します</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>デバイスをまたぐリンクは無効です</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>そのようなデバイスはありません</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>ディレクトリではありません</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>ディレクトリです</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>無効な引数です</translation>
    </message>
    <message>
        <source>Too many open files in system</source>
        <translation>システム全体で開いているファイルが多すぎます</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>開いているファイルが多すぎます</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>実行ファイルが使用中です</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>ファイルが大きすぎます</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>デバイスに空き領域がありません</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>読み込み専用ファイルシステムです</translation>
    </message>
    <message>
        <source>Too many links</source>
        <translation>リンクが多すぎます</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>ファイル名が長すぎます</translation>
    </message>
    <message>
        <source>No locks available</source>
        <translation>利用できるロックがありません</translation>
    </message>
    <message>
        <source>Function not implemented</source>
        <translation>実装されていない機能です</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>ディレクトリが空ではありません</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>シンボリックリンクの階層が多すぎます</translation>
    </message>
    <message>
        <source>No data available</source>
        <translation>利用できるデータがありません</translation>
    </message>
    <message>
        <source>Value too large for defined data type</source>
        <translation>値がデータ型に対して大きすぎます</translation>
    </message>
    <message>
        <source>Invalid or incomplete multibyte or wide character</source>
        <translation>無効または不完全なマルチバイト文字またはワイド文字です</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>サポートされていない操作です</translation>
    </message>
    <message>
        <source>Transport endpoint is not connected</source>
        <translation>トランスポートエンドポイントが接続されていません</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>接続がタイムアウトしました</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>古いファイルハンドルです</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>ディスク使用量の上限を超えました</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>操作がキャンセルされました</translation>
    </message>
    <message>
        <source>system error %1</source>
        <translation>システムエラー %1</translation>
    </message>
</context>
<context>
    <name>Warnings</name>
    <message>
        <source>the journal %1 cannot be written: %2</source>
        <translation>変更記録 %1 を書き込めません: %2</translation>
    </message>
    <message>
        <source>, and what it holds so far cannot be removed</source>
        <translation>。これまでの内容も削除できません</translation>
    </message>
    <message>
        <source>no change has begun</source>
        <translation>変更は開始されていません</translation>
    </message>
    <message>
        <source>ignoring the journal %1: %2</source>
        <extracomment>%1 is a record of a change, %2 why, as &quot;it is not whole&quot;.</extracomment>
        <translation>変更記録 %1 を無視します: %2</translation>
    </message>
    <message>
        <source>it cannot be read: %1</source>
        <translation>読み込めません: %1</translation>
    </message>
    <message>
        <source>it is not Morvane&apos;s</source>
        <translation>Morvane のものではありません</translation>
    </message>
    <message>
        <source>it is of another version</source>
        <translation>別のバージョンのものです</translation>
    </message>
    <message>
        <source>it is not whole</source>
        <translation>不完全です</translation>
    </message>
    <message>
        <source>the settings cannot be read</source>
        <translation>設定を読み込めません</translation>
    </message>
    <message>
        <source>the file is not valid</source>
        <translation>ファイルの内容が正しくありません</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>ファイルを読み込めません</translation>
    </message>
    <message>
        <source>the settings cannot be written</source>
        <translation>設定を書き込めません</translation>
    </message>
    <message>
        <source>the file cannot be written</source>
        <translation>ファイルを書き込めません</translation>
    </message>
    <message>
        <source>its lock %1.lock cannot be taken</source>
        <translation>ロック %1.lock を取得できません</translation>
    </message>
    <message>
        <source>ignoring the settings in %1 (%2); starting with defaults</source>
        <translation>%1 の設定を無視し（%2）、既定値で起動します</translation>
    </message>
    <message>
        <source>ignoring the stored &quot;%1&quot; value &quot;%2&quot;; the box stays unticked</source>
        <translation>保存されている「%1」の値「%2」を無視します。チェックボックスはオフのままです</translation>
    </message>
    <message>
        <source>the name %1 is not valid in the system&apos;s encoding (UTF-8); Morvane cannot name that file again, so it will not change it</source>
        <translation>名前 %1 はシステムの文字コード（UTF-8）として正しくありません。Morvane はこのファイルを同じ名前で指定し直せないため、変更しません</translation>
    </message>
    <message>
        <source>the settings could not be saved to %1 (%2); the previous ones are kept</source>
        <translation>設定を %1 に保存できませんでした（%2）。以前の設定はそのまま残ります</translation>
    </message>
    <message>
        <source>the journal %1 is not kept: %2</source>
        <translation>変更記録 %1 は保持されません: %2</translation>
    </message>
    <message>
        <source>the undo cannot be recorded in %1: %2</source>
        <translation>元に戻す操作を %1 に記録できません: %2</translation>
    </message>
    <message>
        <source>the last change is being undone in another window</source>
        <translation>前回の変更は別のウィンドウで元に戻している最中です</translation>
    </message>
    <message>
        <source>it cannot be read</source>
        <translation>読み込めません</translation>
    </message>
</context>
<context>
    <name>morvane::ChangeRun</name>
    <message numerus="yes">
        <source>Reading the folder…
%1 files found</source>
        <extracomment>Progress while a folder is listed; %1 is how many files were found so far.</extracomment>
        <translation>
            <numerusform>フォルダーを読み込んでいます…
%1 個のファイルが見つかりました</numerusform>
        </translation>
    </message>
    <message>
        <source>Undoing file %1 of %2
%3</source>
        <extracomment>Progress: the number of the file, how many there are, and the file&apos;s name.</extracomment>
        <translation>ファイルを元に戻しています（%1/%2）
%3</translation>
    </message>
    <message>
        <source>Changing file %1 of %2
%3</source>
        <translation>ファイルを変更しています（%1/%2）
%3</translation>
    </message>
    <message>
        <source>%1 of %2 copied</source>
        <extracomment>Progress of a large copy: bytes copied of the file&apos;s size, as &quot;3 MB of 8 MB&quot;.</extracomment>
        <translation>%1 / %2 をコピーしました</translation>
    </message>
</context>
<context>
    <name>morvane::frmMain</name>
    <message>
        <source>File:</source>
        <translation>ファイル:</translation>
    </message>
    <message>
        <source>Open</source>
        <extracomment>The picture button that chooses a file: its tooltip and its name for screen readers.</extracomment>
        <translation>開く</translation>
    </message>
    <message>
        <source>Current Extension:</source>
        <translation>現在の拡張子:</translation>
    </message>
    <message>
        <source>New Extension:</source>
        <translation>新しい拡張子:</translation>
    </message>
    <message>
        <source>&amp;Change</source>
        <extracomment>&amp; marks the Alt key; the window&apos;s two buttons need two different ones.</extracomment>
        <translation>変更(&amp;C)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>Leave Copy of Original File</source>
        <translation>元のファイルのコピーを残す</translation>
    </message>
    <message>
        <source>Change all extensions in folder</source>
        <extracomment>Every file of the folder with the same extension is changed too.</extracomment>
        <translation>フォルダー内の同じ拡張子をすべて変更</translation>
    </message>
    <message>
        <source>All Files</source>
        <extracomment>The open-file dialog&apos;s one filter.</extracomment>
        <translation>すべてのファイル</translation>
    </message>
</context>
</TS>
