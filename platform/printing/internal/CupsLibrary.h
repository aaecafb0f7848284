#pragma once
// libcups, loaded when the program first talks to CUPS rather than when it starts: the library and the
// TLS, Kerberos and DNS-SD libraries it brings take milliseconds to load and set up, which a command that
// needs no printer should not wait for, and which slow the toolkit's start when they load beside it. Where
// the program asks the scheduler itself (SchedulerAddress.h) the dialog's start does not load it; it is
// loaded at the first request only the library makes (a job, a queue without a PPD). Every libcups
// function the CUPS printer system calls is in the list below and reached through the loaded library's
// table.

#include <cups/cups.h>

#include <string>

// The libcups functions the program calls.
#define TESS_CUPS_FUNCTIONS(X) \
  X(cupsAddDest)               \
  X(cupsAddOption)             \
  X(cupsCancelJob2)            \
  X(cupsCopyDest)              \
  X(cupsCopyDestInfo)          \
  X(cupsCreateDestJob)         \
  X(cupsDoRequest)             \
  X(cupsEncryption)            \
  X(cupsEnumDests)             \
  X(cupsFindDestDefault)       \
  X(cupsFindDestSupported)     \
  X(cupsFinishDestDocument)    \
  X(cupsFreeDestInfo)          \
  X(cupsFreeDests)             \
  X(cupsFreeOptions)           \
  X(cupsGetDestMediaByIndex)   \
  X(cupsGetDestMediaCount)     \
  X(cupsGetDestMediaDefault)   \
  X(cupsGetDests2)             \
  X(cupsGetFd)                 \
  X(cupsGetOption)             \
  X(cupsGetResponse)           \
  X(cupsLastError)             \
  X(cupsLastErrorString)       \
  X(cupsLocalizeDestMedia)     \
  X(cupsLocalizeDestValue)     \
  X(cupsParseOptions)          \
  X(cupsSendRequest)           \
  X(cupsServer)                \
  X(cupsStartDestDocument)     \
  X(cupsTempFd)                \
  X(cupsUser)                  \
  X(cupsWriteRequestData)      \
  X(httpAssembleURIf)          \
  X(httpClose)                 \
  X(httpConnect2)              \
  X(httpGetFd)                 \
  X(httpSeparateURI)           \
  X(httpSetTimeout)            \
  X(httpWait)                  \
  X(ippAddString)              \
  X(ippAddStrings)             \
  X(ippAttributeString)        \
  X(ippDelete)                 \
  X(ippFindAttribute)          \
  X(ippFirstAttribute)         \
  X(ippGetCount)               \
  X(ippGetGroupTag)            \
  X(ippGetInteger)             \
  X(ippGetName)                \
  X(ippGetResolution)          \
  X(ippGetString)              \
  X(ippGetValueTag)            \
  X(ippLength)                 \
  X(ippNewRequest)             \
  X(ippNextAttribute)          \
  X(ippPort)

namespace tess {

struct TCupsLibrary {
#define TESS_CUPS_POINTER(name) decltype(&::name) name = nullptr;
  TESS_CUPS_FUNCTIONS(TESS_CUPS_POINTER)
#undef TESS_CUPS_POINTER
};

// The library as loaded by the first call (the calls after it wait for it and share it), or null when it
// could not be loaded or lacks a function; `why` then says what failed.
const TCupsLibrary* CupsLibrary(std::string* why = nullptr);

}  // namespace tess
