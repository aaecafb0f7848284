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
</context>
<context>
    <name>preview</name>
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
</context>
</TS>
