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
    <message>
        <source>caption</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>pages-empty</source>
        <translation>enter the pages to print (for example 1,3-4)</translation>
    </message>
    <message>
        <source>pages-unreadable</source>
        <translation>"%1" cannot be read as pages: separate page numbers with commas and join ranges with a hyphen (for example 1,3-4)</translation>
    </message>
    <message>
        <source>pages-reversed</source>
        <translation>"%1" is a range that starts with the larger number: write ranges smallest page first (for example 1-2)</translation>
    </message>
    <message>
        <source>pages-outside</source>
        <translation>"%1" names pages the document does not have: pages %2 to %3 can be printed</translation>
    </message>
</context>
<context>
    <name>preview</name>
</context>
<context>
    <name>worksheet</name>
</context>
</TS>
