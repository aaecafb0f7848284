<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Tessarine's messages in English. A message is found by its context (the area) and its source (its name):
     the code asks for "area.name". %1, %2, ... are the places of the values the code gives. -->
<TS version="2.1" language="en_US">
<context>
    <name>app</name>
    <message>
        <source>no-display</source>
        <translation>the dialog needs a display; see --help for the commands that do not</translation>
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
        <translation>the printer %1 has no %2 paper: the %2 pages were printed at %4 % of their size, centred on %3 paper</translation>
    </message>
    <message>
        <source>page-fitted-caption</source>
        <translation>Printing</translation>
    </message>
    <message>
        <source>printer-geometry</source>
        <translation>the printer reports no usable paper size or printable area</translation>
    </message>
    <message>
        <source>status-fitted</source>
        <translation> (%1 pages fitted to the paper)</translation>
    </message>
</context>
<context>
    <name>worksheet</name>
</context>
</TS>
