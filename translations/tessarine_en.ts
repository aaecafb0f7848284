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
    <message>
        <source>unknown-error</source>
        <translation>an unknown error occurred</translation>
    </message>
    <message>
        <source>no-window-system</source>
        <translation>the window system could not start: %1</translation>
    </message>
    <message>
        <source>modal-visible</source>
        <translation>a window that is shown cannot be made modal</translation>
    </message>
    <message>
        <source>out-of-memory</source>
        <translation>there is not enough memory; nothing was left half written</translation>
    </message>
    <message>
        <source>internal-error</source>
        <translation>an internal error ended the program: %1</translation>
    </message>
    <message>
        <source>stdout-closed</source>
        <translation>standard output is closed: the report has nowhere to go</translation>
    </message>
</context>
<context>
    <name>cli</name>
    <message>
        <source>unknown-command</source>
        <translation>unknown command '%1' (expected export or print; see --help)</translation>
    </message>
    <message>
        <source>needs-value</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>bad-size</source>
        <translation>unknown size '%1' (expected 3, 4, 5 or 6)</translation>
    </message>
    <message>
        <source>bad-level</source>
        <translation>unknown level '%1' (expected 0, 1, 2 or 3)</translation>
    </message>
    <message>
        <source>bad-operation</source>
        <translation>unknown operation '%1' (expected sum or product)</translation>
    </message>
    <message>
        <source>bad-number</source>
        <translation>the problem number '%1' is not an integer</translation>
    </message>
    <message>
        <source>bad-count</source>
        <translation>the count '%1' is not a number from 1 to 100000</translation>
    </message>
    <message>
        <source>bad-seed</source>
        <translation>the seed '%1' is not a non-negative integer</translation>
    </message>
    <message>
        <source>option-of</source>
        <translation>%1 belongs to %2</translation>
    </message>
    <message>
        <source>bad-format</source>
        <translation>unknown format '%1' (expected pdf, svg, png or emf)</translation>
    </message>
    <message>
        <source>output-needs-path</source>
        <translation>--output needs a path</translation>
    </message>
    <message>
        <source>bad-copies</source>
        <translation>the number of copies '%1' is not a number from 1 to 999</translation>
    </message>
    <message>
        <source>unknown-option</source>
        <translation>unknown option '%1' (see --help)</translation>
    </message>
    <message>
        <source>export-needs-format</source>
        <translation>export needs --format pdf|svg|png|emf</translation>
    </message>
    <message>
        <source>export-needs-output</source>
        <translation>export needs --output PATH</translation>
    </message>
    <message>
        <source>number-outside</source>
        <translation>the problem number %1 is outside %2 to %3</translation>
    </message>
    <message>
        <source>numbers-outside</source>
        <translation>the problem numbers %1 to %2 go outside %3 to %4</translation>
    </message>
    <message>
        <source>usage</source>
        <translation>Usage:
  tessarine [OPTIONS]           open the worksheet dialog with these settings
  tessarine export [OPTIONS] --format pdf|svg|png|emf --output PATH [--no-printer] [--quiet]
  tessarine print  [OPTIONS] [--printer NAME] [--copies N] [--quiet]

Options (a value follows the option, or "=" in the same argument: --size=4):
  --size 3|4|5|6        quadrilaterals per figure (default 3)
  --level 0|1|2|3       given numbers: 0 spokes, 1 tips, 2 three at random, 3 four at random
                        (default 0)
  --op sum|product      what the quadrilateral values are (default sum)
  --date                print the date and time line
  --number N            problem number of the first worksheet (default 1)
  --line1 TEXT          first instruction line (default: the dialog's text)
  --line2 TEXT          second instruction line (default: the dialog's text)
  --count K             worksheets to make (default 1; the dialog makes 1 to 99 at once)
  --seed S              fixed random seed, for reproducible worksheets (default: the clock); the
                        dialog's first worksheets are then those export makes with the same options
  --unique              only figures whose question has exactly one answer
  --report              print one line per figure: worksheet, problem number, slot, the values
                        in the quadrilaterals, the given position:number pairs, and how many
                        placements answer the question
  --format FORMAT       export: pdf, svg, png or emf
  --output PATH         export: the file to write; - writes the PDF to standard output
  --no-printer          export: lay the pages out as if no printer were installed, so the same
                        options and seed give the same files on every machine
  --printer NAME        print: the printer (default: the system's default printer)
  --copies N            print: copies of each worksheet, 1 to 999 (default 1)
  --quiet               export and print: no progress (shown only when standard error is a
                        terminal)
  --help, --version

pdf writes one file with every page; svg, png and emf write PATH-001.ext, PATH-002.ext, ...
Problem numbers run from -2147483647 to 2147483646.</translation>
    </message>
    <message>
        <source>option-of-commands</source>
        <translation>%1 belongs to export and print</translation>
    </message>
    <message>
        <source>bad-dialog-count</source>
        <translation>the count '%1' is not a number from 1 to %2 (the dialog makes at most %2 worksheets at once)</translation>
    </message>
    <message>
        <source>takes-no-value</source>
        <translation>%1 takes no value</translation>
    </message>
    <message>
        <source>standard-output-pdf-only</source>
        <translation>--output - writes a PDF to standard output; %1 writes one file per page and needs a path</translation>
    </message>
    <message>
        <source>report-with-standard-output</source>
        <translation>--report writes to standard output, which --output - keeps for the PDF</translation>
    </message>
</context>
<context>
    <name>export</name>
    <message>
        <source>line-not-utf8</source>
        <translation>%1 is not UTF-8 text (byte %2 at offset %3)</translation>
    </message>
    <message>
        <source>line-no-code</source>
        <translation>%1 holds %2, which the worksheet cannot print (code page 932 has no code for it)</translation>
    </message>
    <message>
        <source>line-control</source>
        <translation>%1 holds the control character %2, which the worksheet cannot print</translation>
    </message>
    <message>
        <source>line-too-long</source>
        <translation>%1 is %2 bytes long in code page 932; an instruction line holds at most %3 (%4 full-width characters)</translation>
    </message>
    <message>
        <source>no-japanese-font</source>
        <translation>no installed font has Japanese characters; the worksheet is drawn in IPAGothic (Debian package fonts-ipafont-gothic)</translation>
    </message>
    <message>
        <source>line-no-glyph</source>
        <translation>%1 holds %2, which no installed font can draw: it would print as an empty box</translation>
    </message>
    <message>
        <source>progress</source>
        <translation>worksheet %1/%2</translation>
    </message>
    <message>
        <source>standard-output-is-terminal</source>
        <translation>standard output is a terminal: redirect it to a file or a program, or give --output a path</translation>
    </message>
    <message>
        <source>output-is-folder</source>
        <translation>--output must name a file, not a folder: %1</translation>
    </message>
    <message>
        <source>output-not-regular</source>
        <translation>--output %1 is not a regular file; %2 writes one file per page, named after it</translation>
    </message>
    <message>
        <source>no-folder</source>
        <translation>cannot write %1: the folder %2 does not exist</translation>
    </message>
    <message>
        <source>printer-gives-no-page</source>
        <translation>the default printer %1 describes no page (a queue without a driver?); the pages are laid out as if no printer were installed</translation>
    </message>
    <message>
        <source>no-recording</source>
        <translation>the page holds no recording</translation>
    </message>
    <message>
        <source>no-frame</source>
        <translation>the page recording has no frame size</translation>
    </message>
    <message>
        <source>pdf-writer-did-not-start</source>
        <translation>the PDF writer did not start</translation>
    </message>
    <message>
        <source>no-pages</source>
        <translation>there are no pages to export</translation>
    </message>
    <message>
        <source>pdf-writer-failed</source>
        <translation>the PDF writer failed</translation>
    </message>
    <message>
        <source>page-missing</source>
        <translation>a page is missing</translation>
    </message>
    <message>
        <source>bad-resolution</source>
        <translation>the resolution must be between 1 and 2400</translation>
    </message>
    <message>
        <source>svg-writer-did-not-start</source>
        <translation>the SVG writer did not start</translation>
    </message>
    <message>
        <source>svg-writer-failed</source>
        <translation>the SVG writer failed</translation>
    </message>
    <message>
        <source>no-memory-for-picture</source>
        <translation>there is not enough memory for the picture</translation>
    </message>
    <message>
        <source>resolution-not-positive</source>
        <translation>the resolution must be positive</translation>
    </message>
    <message>
        <source>report-lost</source>
        <translation>the report could not be written to standard output: %1</translation>
    </message>
    <message>
        <source>not-a-folder</source>
        <translation>cannot write %1: %2 is not a folder</translation>
    </message>
</context>
<context>
    <name>files</name>
    <message>
        <source>cannot-write</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>reason-enospc</source>
        <translation>no space left on the device</translation>
    </message>
    <message>
        <source>reason-edquot</source>
        <translation>the disk quota is used up</translation>
    </message>
    <message>
        <source>reason-eacces</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>reason-erofs</source>
        <translation>the file system is read-only</translation>
    </message>
    <message>
        <source>reason-enoent</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>reason-enotdir</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>reason-eisdir</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>reason-eexist</source>
        <translation>no free temporary name beside it</translation>
    </message>
    <message>
        <source>reason-efbig</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>reason-enametoolong</source>
        <translation>the file name is too long</translation>
    </message>
    <message>
        <source>reason-eio</source>
        <translation>an input/output error</translation>
    </message>
    <message>
        <source>reason-other</source>
        <translation>%1 (error %2)</translation>
    </message>
</context>
<context>
    <name>print</name>
    <message>
        <source>no-printer-installed</source>
        <translation>no printer is installed</translation>
    </message>
    <message>
        <source>unknown-printer</source>
        <translation>unknown printer '%1' (printers: %2)</translation>
    </message>
    <message>
        <source>no-default-printer</source>
        <translation>there is no default printer; choose one with --printer (printers: %1)</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>printing was interrupted: %1 of %2 worksheets were printed</translation>
    </message>
    <message>
        <source>interrupted-job-cancelled</source>
        <translation>printing was interrupted: %1 of %2 worksheets were printed, and the print job being made on %3 was cancelled</translation>
    </message>
</context>
<context>
    <name>printing</name>
    <message>
        <source>unreachable</source>
        <translation>CUPS is not reachable at %1</translation>
    </message>
    <message>
        <source>unreachable-silent</source>
        <translation>CUPS is not reachable at %1 (it did not answer within %2 seconds)</translation>
    </message>
    <message>
        <source>no-longer-installed</source>
        <translation>the printer %1 is no longer installed</translation>
    </message>
    <message>
        <source>none-installed</source>
        <translation>no printer is installed</translation>
    </message>
    <message>
        <source>not-accepting</source>
        <translation>the printer %1 is not accepting jobs</translation>
    </message>
    <message>
        <source>not-accepting-because</source>
        <translation>the printer %1 is not accepting jobs (%2)</translation>
    </message>
    <message>
        <source>paused</source>
        <translation>the printer %1 is paused</translation>
    </message>
    <message>
        <source>paused-because</source>
        <translation>the printer %1 is paused (%2)</translation>
    </message>
    <message>
        <source>not-described</source>
        <translation>CUPS does not describe the printer %1</translation>
    </message>
    <message>
        <source>job-refused</source>
        <translation>CUPS refused the print job on %1: %2</translation>
    </message>
    <message>
        <source>send-failed</source>
        <translation>the print job could not be sent to %1 (%2); it was cancelled</translation>
    </message>
    <message>
        <source>printer-gone</source>
        <translation>the printer is no longer installed</translation>
    </message>
    <message>
        <source>job-dropped</source>
        <translation>CUPS dropped the print job on %1 (%2)</translation>
    </message>
    <message>
        <source>job-not-started</source>
        <translation>the print job was not started</translation>
    </message>
    <message>
        <source>document-incomplete</source>
        <translation>the document of the print job on %1 is incomplete; the job was cancelled</translation>
    </message>
    <message>
        <source>index-out-of-range</source>
        <translation>printer index out of range</translation>
    </message>
    <message>
        <source>in-progress</source>
        <translation>printing is in progress</translation>
    </message>
    <message>
        <source>no-current-printer</source>
        <translation>there is no default printer currently selected</translation>
    </message>
    <message>
        <source>cannot-start</source>
        <translation>cannot start a print job on %1</translation>
    </message>
    <message>
        <source>not-printing</source>
        <translation>the printer is not printing</translation>
    </message>
    <message>
        <source>no-canvas</source>
        <translation>the print job has no canvas</translation>
    </message>
    <message>
        <source>list-unreadable</source>
        <translation>the printer list could not be read</translation>
    </message>
    <message>
        <source>could-not-send</source>
        <translation>the print job could not be sent to %1</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>printing was interrupted</translation>
    </message>
    <message>
        <source>not-found-on-network</source>
        <translation>the printer %1 was not found on the network within %2 seconds</translation>
    </message>
    <message>
        <source>no-cups-library</source>
        <translation>The CUPS library cannot be loaded (%1): no printer can be used.</translation>
    </message>
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
    <message>
        <source>no-resolution</source>
        <translation>the printer's resolution cannot be read</translation>
    </message>
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
    <message>
        <source>no-unique</source>
        <translation>no puzzle with exactly one answer was found in %1 draws</translation>
    </message>
    <message>
        <source>bad-line</source>
        <translation>the catalogue line "%1" is malformed: %2</translation>
    </message>
    <message>
        <source>line-fields</source>
        <translation>expected %1 fields, found %2</translation>
    </message>
    <message>
        <source>line-t</source>
        <translation>T is not an integer</translation>
    </message>
    <message>
        <source>line-number</source>
        <translation>the number for position %1 is not an integer</translation>
    </message>
    <message>
        <source>too-few-lines</source>
        <translation>the catalogue holds too few lines for a worksheet</translation>
    </message>
    <message>
        <source>empty-catalogue</source>
        <translation>the catalogue is empty</translation>
    </message>
</context>
</TS>
