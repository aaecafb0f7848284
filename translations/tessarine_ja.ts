<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Tessarine's messages in Japanese. A message is found by its context (the area) and its source (its name):
     the code asks for "area.name". %1, %2, ... are the places of the values the code gives. -->
<TS version="2.1" language="ja_JP">
<context>
    <name>app</name>
    <message>
        <source>no-display</source>
        <translation>ダイアログには画面が必要です．画面を使わないコマンドは --help を見てください．</translation>
    </message>
    <message>
        <source>unknown-error</source>
        <translation>不明なエラーが起きました．</translation>
    </message>
    <message>
        <source>no-window-system</source>
        <translation>ウィンドウシステムを開始できません（%1）．</translation>
    </message>
    <message>
        <source>modal-visible</source>
        <translation>表示中のウィンドウはモーダルにできません．</translation>
    </message>
    <message>
        <source>out-of-memory</source>
        <translation>メモリが足りません．書きかけのファイルは残していません．</translation>
    </message>
    <message>
        <source>internal-error</source>
        <translation>内部エラーのため終了します（%1）．</translation>
    </message>
    <message>
        <source>stdout-closed</source>
        <translation>標準出力が閉じているため，報告を書けません．</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>unknown-command</source>
        <translation>不明なコマンド「%1」です．export か print を指定してください（--help を参照）．</translation>
    </message>
    <message>
        <source>needs-value</source>
        <translation>%1 には値が必要です．</translation>
    </message>
    <message>
        <source>bad-size</source>
        <translation>サイズ「%1」は指定できません．3，4，5，6 のいずれかです．</translation>
    </message>
    <message>
        <source>bad-level</source>
        <translation>レベル「%1」は指定できません．0，1，2，3 のいずれかです．</translation>
    </message>
    <message>
        <source>bad-operation</source>
        <translation>演算「%1」は指定できません．sum（足し算）か product（掛け算）です．</translation>
    </message>
    <message>
        <source>bad-number</source>
        <translation>問題番号「%1」は整数ではありません．</translation>
    </message>
    <message>
        <source>bad-count</source>
        <translation>枚数「%1」は 1 から 100000 までの数ではありません．</translation>
    </message>
    <message>
        <source>bad-seed</source>
        <translation>シード「%1」は 0 以上の整数ではありません．</translation>
    </message>
    <message>
        <source>option-of</source>
        <translation>%1 は %2 のオプションです．</translation>
    </message>
    <message>
        <source>bad-format</source>
        <translation>形式「%1」は指定できません．pdf，svg，png，emf のいずれかです．</translation>
    </message>
    <message>
        <source>output-needs-path</source>
        <translation>--output にはパスが必要です．</translation>
    </message>
    <message>
        <source>bad-copies</source>
        <translation>部数「%1」は 1 から 999 までの数ではありません．</translation>
    </message>
    <message>
        <source>unknown-option</source>
        <translation>不明なオプション「%1」です（--help を参照）．</translation>
    </message>
    <message>
        <source>export-needs-format</source>
        <translation>export には --format pdf|svg|png|emf が必要です．</translation>
    </message>
    <message>
        <source>export-needs-output</source>
        <translation>export には --output PATH が必要です．</translation>
    </message>
    <message>
        <source>number-outside</source>
        <translation>問題番号 %1 は %2 ～ %3 の範囲の外です．</translation>
    </message>
    <message>
        <source>numbers-outside</source>
        <translation>問題番号 %1 ～ %2 は %3 ～ %4 の範囲を超えます．</translation>
    </message>
    <message>
        <source>usage</source>
        <translation>使い方:
  tessarine [オプション]        この設定で問題作成のダイアログを開く
  tessarine export [オプション] --format pdf|svg|png|emf --output パス [--no-printer] [--quiet]
  tessarine print  [オプション] [--printer 名前] [--copies N] [--quiet]

オプション（値はオプションの次に，または同じ引数の「=」の後に: --size=4）:
  --size 3|4|5|6        図形ひとつの四角形の数（既定値 3）
  --level 0|1|2|3       記入済みの数字: 0 周囲 (簡単)，1 周囲 (普通)，2 ３つ (ランダム)，
                        3 ４つ (ランダム)（既定値 0）
  --op sum|product      四角形の中の数: sum 足し算，product 掛け算（既定値 sum）
  --date                月日と時間の行を印刷する
  --number N            最初の問題用紙の問題番号（既定値 1）
  --line1 テキスト      問題文の１行目（既定値: ダイアログの文）
  --line2 テキスト      問題文の２行目（既定値: ダイアログの文）
  --count K             作る問題用紙の枚数（既定値 1．ダイアログは一度に 1 ～ 99 枚）
  --seed S              乱数の種．同じ問題用紙をもう一度作るときに（既定値: 時計）．ダイアログの
                        最初の問題用紙は，同じオプションの export と同じになる
  --unique              答えが一つの問題だけ
  --report              図形ごとに１行を出力: 問題用紙，問題番号，位置，四角形の中の数，
                        記入済みの位置:数字，答えの数
  --format 形式         export: pdf，svg，png，emf のいずれか
  --output パス         export: 書き出すファイル．- なら PDF を標準出力に書く
  --no-printer          export: プリンタがないものとしてページを作る．同じオプションと種から
                        どのマシンでも同じファイルができる
  --printer 名前        print: 印刷するプリンタ（既定値: システムの既定のプリンタ）
  --copies N            print: 問題用紙ごとの部数，1 ～ 999（既定値 1）
  --quiet               export，print: 進み具合を表示しない（表示するのは標準エラー出力が
                        端末のときだけ）
  --help, --version

pdf はすべてのページを１つのファイルに，svg，png，emf はページごとに パス-001.拡張子，
パス-002.拡張子 … に書きます．
問題番号は -2147483647 ～ 2147483646 です．</translation>
    </message>
    <message>
        <source>option-of-commands</source>
        <translation>%1 は export と print のオプションです．</translation>
    </message>
    <message>
        <source>bad-dialog-count</source>
        <translation>枚数「%1」は 1 から %2 までの数ではありません（ダイアログは一度に %2 枚まで作ります）．</translation>
    </message>
    <message>
        <source>takes-no-value</source>
        <translation>%1 には値を指定できません．</translation>
    </message>
    <message>
        <source>standard-output-pdf-only</source>
        <translation>--output - は PDF を標準出力に書きます．%1 はページごとにファイルを書くため，パスが必要です．</translation>
    </message>
    <message>
        <source>report-with-standard-output</source>
        <translation>--output - では標準出力に PDF を書くため，--report は使えません．</translation>
    </message>
</context>
<context>
    <name>export</name>
    <message>
        <source>line-not-utf8</source>
        <translation>%1 は UTF-8 のテキストではありません（オフセット %3 のバイト %2）．</translation>
    </message>
    <message>
        <source>line-no-code</source>
        <translation>%1 の %2 は問題用紙に印刷できません（コードページ 932 にない文字です）．</translation>
    </message>
    <message>
        <source>line-control</source>
        <translation>%1 の制御文字 %2 は問題用紙に印刷できません．</translation>
    </message>
    <message>
        <source>line-too-long</source>
        <translation>%1 はコードページ 932 で %2 バイトあります．問題文の１行は %3 バイト（全角 %4 文字）までです．</translation>
    </message>
    <message>
        <source>no-japanese-font</source>
        <translation>日本語の文字を持つフォントがインストールされていません．問題用紙は IPAGothic（Debian パッケージ fonts-ipafont-gothic）で描きます．</translation>
    </message>
    <message>
        <source>line-no-glyph</source>
        <translation>%1 の %2 はどのフォントにもないため，空の四角で印刷されてしまいます．</translation>
    </message>
    <message>
        <source>progress</source>
        <translation>問題用紙 %1/%2</translation>
    </message>
    <message>
        <source>standard-output-is-terminal</source>
        <translation>標準出力が端末です．ファイルかプログラムにリダイレクトするか，--output にパスを指定してください．</translation>
    </message>
    <message>
        <source>output-is-folder</source>
        <translation>--output にはフォルダではなくファイルを指定してください（%1）．</translation>
    </message>
    <message>
        <source>output-not-regular</source>
        <translation>--output の %1 は通常のファイルではありません．%2 はページごとに，この名前をもとにしたファイルを書きます．</translation>
    </message>
    <message>
        <source>no-folder</source>
        <translation>%1 を書けません．フォルダ %2 がありません．</translation>
    </message>
    <message>
        <source>printer-gives-no-page</source>
        <translation>既定のプリンタ %1 はページの大きさを答えないため（ドライバのないキューでしょうか），プリンタがないものとしてページを作ります．</translation>
    </message>
    <message>
        <source>no-recording</source>
        <translation>ページに記録がありません</translation>
    </message>
    <message>
        <source>no-frame</source>
        <translation>ページの記録に大きさがありません</translation>
    </message>
    <message>
        <source>pdf-writer-did-not-start</source>
        <translation>PDF を書き始められません</translation>
    </message>
    <message>
        <source>no-pages</source>
        <translation>書き出すページがありません</translation>
    </message>
    <message>
        <source>pdf-writer-failed</source>
        <translation>PDF を書けませんでした</translation>
    </message>
    <message>
        <source>page-missing</source>
        <translation>ページが欠けています</translation>
    </message>
    <message>
        <source>bad-resolution</source>
        <translation>解像度は 1 から 2400 まででなければなりません</translation>
    </message>
    <message>
        <source>svg-writer-did-not-start</source>
        <translation>SVG を書き始められません</translation>
    </message>
    <message>
        <source>svg-writer-failed</source>
        <translation>SVG を書けませんでした</translation>
    </message>
    <message>
        <source>no-memory-for-picture</source>
        <translation>画像を作るためのメモリが足りません</translation>
    </message>
    <message>
        <source>resolution-not-positive</source>
        <translation>解像度は正の数でなければなりません</translation>
    </message>
    <message>
        <source>report-lost</source>
        <translation>報告を標準出力に書けません（%1）．</translation>
    </message>
    <message>
        <source>not-a-folder</source>
        <translation>%1 を書けません．%2 はフォルダではありません．</translation>
    </message>
</context>
<context>
    <name>files</name>
    <message>
        <source>cannot-write</source>
        <translation>%1 を書けません（%2）．</translation>
    </message>
    <message>
        <source>reason-enospc</source>
        <translation>ディスクに空きがありません</translation>
    </message>
    <message>
        <source>reason-edquot</source>
        <translation>ディスクの使用量の上限に達しました</translation>
    </message>
    <message>
        <source>reason-eacces</source>
        <translation>書き込みの権限がありません</translation>
    </message>
    <message>
        <source>reason-erofs</source>
        <translation>読み取り専用のファイルシステムです</translation>
    </message>
    <message>
        <source>reason-enoent</source>
        <translation>ファイルまたはフォルダがありません</translation>
    </message>
    <message>
        <source>reason-enotdir</source>
        <translation>パスの途中がフォルダではありません</translation>
    </message>
    <message>
        <source>reason-eisdir</source>
        <translation>フォルダです</translation>
    </message>
    <message>
        <source>reason-eexist</source>
        <translation>一時ファイルの名前が空いていません</translation>
    </message>
    <message>
        <source>reason-efbig</source>
        <translation>ファイルが大きすぎます</translation>
    </message>
    <message>
        <source>reason-enametoolong</source>
        <translation>ファイル名が長すぎます</translation>
    </message>
    <message>
        <source>reason-eio</source>
        <translation>入出力エラーです</translation>
    </message>
    <message>
        <source>reason-other</source>
        <translation>%1（エラー %2）</translation>
    </message>
</context>
<context>
    <name>print</name>
    <message>
        <source>no-printer-installed</source>
        <translation>プリンタがインストールされていません．</translation>
    </message>
    <message>
        <source>unknown-printer</source>
        <translation>プリンタ「%1」はありません（プリンタ：%2）．</translation>
    </message>
    <message>
        <source>no-default-printer</source>
        <translation>既定のプリンタがありません．--printer で選んでください（プリンタ：%1）．</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>印刷を中断しました（%2 枚のうち %1 枚を印刷しました）．</translation>
    </message>
    <message>
        <source>interrupted-job-cancelled</source>
        <translation>印刷を中断しました（%2 枚のうち %1 枚を印刷しました）．プリンタ %3 で作成中の印刷ジョブは取り消しました．</translation>
    </message>
</context>
<context>
    <name>printing</name>
    <message>
        <source>unreachable</source>
        <translation>CUPS（%1）に接続できません．</translation>
    </message>
    <message>
        <source>unreachable-silent</source>
        <translation>CUPS（%1）に接続できません（%2 秒以内に応答がありませんでした）．</translation>
    </message>
    <message>
        <source>no-longer-installed</source>
        <translation>プリンタ %1 はもうインストールされていません．</translation>
    </message>
    <message>
        <source>none-installed</source>
        <translation>プリンタがインストールされていません．</translation>
    </message>
    <message>
        <source>not-accepting</source>
        <translation>プリンタ %1 は印刷ジョブを受け付けていません．</translation>
    </message>
    <message>
        <source>not-accepting-because</source>
        <translation>プリンタ %1 は印刷ジョブを受け付けていません（%2）．</translation>
    </message>
    <message>
        <source>paused</source>
        <translation>プリンタ %1 は一時停止しています．</translation>
    </message>
    <message>
        <source>paused-because</source>
        <translation>プリンタ %1 は一時停止しています（%2）．</translation>
    </message>
    <message>
        <source>not-described</source>
        <translation>CUPS がプリンタ %1 の情報を返しません．</translation>
    </message>
    <message>
        <source>job-refused</source>
        <translation>CUPS がプリンタ %1 への印刷ジョブを拒否しました（%2）．</translation>
    </message>
    <message>
        <source>send-failed</source>
        <translation>印刷ジョブをプリンタ %1 に送れなかったため，取り消しました（%2）．</translation>
    </message>
    <message>
        <source>printer-gone</source>
        <translation>プリンタがインストールされていません</translation>
    </message>
    <message>
        <source>job-dropped</source>
        <translation>CUPS がプリンタ %1 の印刷ジョブを中止しました（%2）．</translation>
    </message>
    <message>
        <source>job-not-started</source>
        <translation>印刷ジョブが始まっていません．</translation>
    </message>
    <message>
        <source>document-incomplete</source>
        <translation>プリンタ %1 の印刷ジョブの文書が不完全なため，ジョブを取り消しました．</translation>
    </message>
    <message>
        <source>index-out-of-range</source>
        <translation>プリンタの番号が範囲の外です．</translation>
    </message>
    <message>
        <source>in-progress</source>
        <translation>印刷中です．</translation>
    </message>
    <message>
        <source>no-current-printer</source>
        <translation>既定のプリンタが選ばれていません．</translation>
    </message>
    <message>
        <source>cannot-start</source>
        <translation>プリンタ %1 で印刷ジョブを始められません．</translation>
    </message>
    <message>
        <source>not-printing</source>
        <translation>印刷中ではありません．</translation>
    </message>
    <message>
        <source>no-canvas</source>
        <translation>印刷ジョブに描く面がありません．</translation>
    </message>
    <message>
        <source>list-unreadable</source>
        <translation>プリンタの一覧を読めません．</translation>
    </message>
    <message>
        <source>could-not-send</source>
        <translation>印刷ジョブをプリンタ %1 に送れませんでした．</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>印刷が中断されました．</translation>
    </message>
    <message>
        <source>not-found-on-network</source>
        <translation>プリンタ %1 がネットワーク上に見つかりません（%2 秒以内に見つかりませんでした）．</translation>
    </message>
    <message>
        <source>no-cups-library</source>
        <translation>CUPS のライブラリを読み込めません（%1）．プリンタは使えません．</translation>
    </message>
</context>
<context>
    <name>printdialog</name>
    <message>
        <source>caption</source>
        <translation>　印刷</translation>
    </message>
    <message>
        <source>pages-empty</source>
        <translation>印刷するページを入力してください（例：1,3-4）．</translation>
    </message>
    <message>
        <source>pages-unreadable</source>
        <translation>「%1」はページの指定として読めません．
1,3-4 のように，ページ番号はコンマで区切り，
範囲はハイフンでつないでください．</translation>
    </message>
    <message>
        <source>pages-reversed</source>
        <translation>「%1」は大きい番号から始まる範囲です．
範囲は小さい番号から書いてください（例：1-2）．</translation>
    </message>
    <message>
        <source>pages-outside</source>
        <translation>「%1」には，この文書にないページがあります．
印刷できるのは%2～%3ページです．</translation>
    </message>
</context>
<context>
    <name>preview</name>
    <message>
        <source>no-resolution</source>
        <translation>プリンタの解像度を取得できません．</translation>
    </message>
    <message>
        <source>page-fitted</source>
        <translation>プリンタ「%1」には%2の用紙がないので，%2のページを%3の用紙の中央に%4％の大きさで印刷しました．</translation>
    </message>
    <message>
        <source>page-fitted-caption</source>
        <translation>印刷</translation>
    </message>
    <message>
        <source>printer-geometry</source>
        <translation>プリンタから用紙の大きさと印刷できる範囲を取得できません．</translation>
    </message>
    <message>
        <source>status-fitted</source>
        <translation>（%1のページを用紙に合わせて印刷）</translation>
    </message>
</context>
<context>
    <name>worksheet</name>
    <message>
        <source>no-unique</source>
        <translation>%1 回選んでも答えが一つの問題が見つかりませんでした．</translation>
    </message>
    <message>
        <source>bad-line</source>
        <translation>問題集の行「%1」が正しくありません（%2）．</translation>
    </message>
    <message>
        <source>line-fields</source>
        <translation>項目が %1 個のはずが %2 個です</translation>
    </message>
    <message>
        <source>line-t</source>
        <translation>T が整数ではありません</translation>
    </message>
    <message>
        <source>line-number</source>
        <translation>位置 %1 の数が整数ではありません</translation>
    </message>
    <message>
        <source>too-few-lines</source>
        <translation>問題集の行が問題用紙１枚分に足りません．</translation>
    </message>
    <message>
        <source>empty-catalogue</source>
        <translation>問題集が空です．</translation>
    </message>
</context>
</TS>
