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
</context>
<context>
    <name>cli</name>
</context>
<context>
    <name>export</name>
</context>
<context>
    <name>files</name>
</context>
<context>
    <name>print</name>
</context>
<context>
    <name>printing</name>
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
</context>
<context>
    <name>worksheet</name>
</context>
</TS>
