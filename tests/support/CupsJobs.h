#pragma once
// For the tests that check what reaches a real CUPS: CUPS-PDF queues of their own (unique names, removed
// again; one may refuse PDF documents), the jobs CUPS keeps with their title, queue, state, copies, collation
// and sides (asked with ipptool), waiting for a job to end by asking for its state, and what CUPS received
// and what CUPS-PDF wrote for a job. A job is found by its id (or its title, which each test makes unique),
// never by what came last: other queues print at the same time.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/CupsPdf.h"

namespace tess::test {

struct CupsJob {
  int id = 0;
  std::string name;
  std::string state;  // pending, pending-held, processing, processing-stopped, canceled, aborted, completed
  int copies = 1;
  std::string queue;
  std::string collate;  // "true", "false", or empty when the job does not say
  std::string sides;    // one-sided, two-sided-long-edge, two-sided-short-edge, or empty
};

// One line of ipptool's comma-separated output; quoted fields may hold commas and doubled quotes.
inline std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = !quoted;
      }
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else if (c != '\n' && c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

// Every job CUPS keeps, finished ones too, oldest first.
inline std::vector<CupsJob> CupsJobs() {
  const std::string file = (std::filesystem::temp_directory_path() /
                            ("tessarine-get-jobs-" + std::to_string(::getpid()) + ".test"))
                               .string();
  std::ofstream(file)
      << "{\n OPERATION Get-Jobs\n GROUP operation-attributes-tag\n"
         " ATTR charset attributes-charset utf-8\n"
         " ATTR naturalLanguage attributes-natural-language en\n"
         " ATTR uri printer-uri $uri\n ATTR name requesting-user-name $user\n"
         " ATTR keyword which-jobs all\n ATTR boolean my-jobs false\n"
         " ATTR keyword requested-attributes job-id,job-name,job-state,copies,job-printer-uri,collate,sides\n"
         " DISPLAY job-id\n DISPLAY job-name\n DISPLAY job-state\n DISPLAY copies\n"
         " DISPLAY job-printer-uri\n DISPLAY collate\n DISPLAY sides\n}\n";
  std::vector<CupsJob> jobs;
  std::istringstream lines(Shell("ipptool -c ipp://localhost/ '" + file + "' 2>/dev/null"));
  std::error_code ec;
  std::filesystem::remove(file, ec);
  std::string line;
  while (std::getline(lines, line)) {
    const std::vector<std::string> f = CsvFields(line);
    if (f.size() < 7 || f[0].empty() || f[0].find_first_not_of("0123456789") != std::string::npos) continue;
    CupsJob job;
    job.id = std::stoi(f[0]);
    // ipptool escapes brackets in names with a backslash.
    for (std::size_t i = 0; i < f[1].size(); ++i) {
      if (f[1][i] != '\\' || i + 1 == f[1].size()) job.name += f[1][i];
    }
    job.state = f[2];
    job.copies = f[3].empty() ? 1 : std::stoi(f[3]);
    job.queue = f[4].substr(f[4].rfind('/') + 1);
    job.collate = f[5];
    job.sides = f[6];
    jobs.push_back(job);
  }
  return jobs;
}

inline std::vector<CupsJob> CupsJobsNamed(const std::string& title) {
  std::vector<CupsJob> found;
  for (const CupsJob& job : CupsJobs()) {
    if (job.name == title) found.push_back(job);
  }
  return found;
}

inline std::vector<CupsJob> CupsJobsOn(const std::string& queue) {
  std::vector<CupsJob> found;
  for (const CupsJob& job : CupsJobs()) {
    if (job.queue == queue) found.push_back(job);
  }
  return found;
}

inline bool JobEnded(const CupsJob& job) {
  return job.state == "completed" || job.state == "canceled" || job.state == "aborted";
}

// The job once CUPS has finished with it (completed, cancelled or aborted), asking for its state until then;
// a job that has not ended after two minutes is given back as it stands.
inline CupsJob WaitForJobEnd(int id) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  for (;;) {
    CupsJob current;
    for (const CupsJob& job : CupsJobs()) {
      if (job.id == id) current = job;
    }
    if (JobEnded(current) || current.id == 0 || std::chrono::steady_clock::now() > until) return current;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

// The text of the document CUPS received for the job (it keeps it in its spool folder); pages end with a
// form feed.
inline std::string JobDocumentText(int id) {
  char name[32];
  std::snprintf(name, sizeof name, "d%05d-001", id);
  return Shell(std::string("pdftotext -q /var/spool/cups/") + name + " - 2>/dev/null");
}

// The PDF CUPS-PDF wrote for an ended job (its queues label their files with the job id); empty when none.
inline std::filesystem::path JobOutputPdf(int id) {
  return CupsPdfFileOf(id);
}

inline int PdfPageCount(const std::filesystem::path& pdf) {
  const std::string info = Shell("pdfinfo '" + pdf.string() + "' 2>/dev/null");
  const auto at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// Tests that add and remove queues take turns across test processes (CUPS briefly reports queues missing
// while another one changes).
class CupsTurn {
 public:
  CupsTurn() : fd_(::open("/tmp/tessarine-cups-tests.lock", O_CREAT | O_RDWR, 0666)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~CupsTurn() {
    if (fd_ >= 0) ::close(fd_);
  }
  CupsTurn(const CupsTurn&) = delete;
  CupsTurn& operator=(const CupsTurn&) = delete;

 private:
  int fd_;
};

// The TessarinePDF queue's driver (PPD).
inline std::filesystem::path CupsPdfPpd() {
  return std::filesystem::path("/etc/cups/ppd") / (std::string(kCupsPdfQueue) + ".ppd");
}

// A CUPS-PDF queue of the test's own, from the TessarinePDF queue's driver (or the PPD given), that names its
// files after the job id; further lpadmin options (`-o PageSize=Letter`) may follow. Removed when it goes.
// Its name is new to the scheduler (the process and the moment), so no job of an earlier queue of that name
// is taken for one of its own. A two-sided queue's driver also offers printing on both sides.
class TestQueue {
 public:
  enum TSides { OneSided, TwoSided };
  TestQueue(const std::string& purpose, TSides sides) : TestQueue(purpose, {}, CupsPdfPpd(), sides) {}
  explicit TestQueue(const std::string& purpose, const std::string& options = {},
                     const std::filesystem::path& driver = CupsPdfPpd(), TSides sides = OneSided)
      : name_(UniqueJobTitle("Tessarine" + purpose)) {
    std::string ppd = driver.string();
    if (sides == TwoSided) {
      std::ifstream in(ppd);
      ppd_ = std::filesystem::temp_directory_path() / (name_ + ".ppd");
      std::ofstream out(ppd_);
      std::string line;
      while (std::getline(in, line)) {
        if (line.rfind("*CloseGroup: General", 0) == 0) {
          out << "*OpenUI *Duplex/2-Sided Printing: PickOne\n*OrderDependency: 10 AnySetup *Duplex\n"
                 "*DefaultDuplex: None\n*Duplex None/Off: \"\"\n*Duplex DuplexNoTumble/Long Edge: \"\"\n"
                 "*Duplex DuplexTumble/Short Edge: \"\"\n*CloseUI: *Duplex\n";
        }
        out << line << "\n";
      }
      ppd = ppd_.string();
    }
    Shell("lpadmin -p " + name_ + " -E -v cups-pdf:/ -P '" + ppd + "' -o Label=2 " + options +
          " 2>/dev/null");
  }
  ~TestQueue() {
    Remove();
    std::error_code ec;
    if (!ppd_.empty()) std::filesystem::remove(ppd_, ec);
  }
  TestQueue(const TestQueue&) = delete;
  TestQueue& operator=(const TestQueue&) = delete;

  const std::string& Name() const { return name_; }
  bool Exists() const { return CupsPdfQueueExists(name_); }
  void Remove() { Shell("lpadmin -x " + name_ + " 2>/dev/null"); }

 private:
  std::string name_;
  std::filesystem::path ppd_;
};

// A copy of the CUPS-PDF driver without the A4 paper (Letter its default), written to `to`: a printer that
// cannot take A4.
inline std::filesystem::path CupsPdfPpdWithoutA4(const std::filesystem::path& to) {
  std::ifstream in(CupsPdfPpd());
  std::ofstream out(to);
  for (std::string line; std::getline(in, line);) {
    if (line.find(" A4/") != std::string::npos) continue;  // *PageSize A4/A4: ..., *ImageableArea A4/A4: ...
    if (line.rfind("*Default", 0) == 0 && line.size() > 4 && line.compare(line.size() - 4, 4, ": A4") == 0) {
      line.replace(line.size() - 2, 2, "Letter");
    }
    out << line << "\n";
  }
  return to;
}

// A copy of the CUPS-PDF driver whose queue takes no PDF documents (it prints the scheduler's banner format
// only), written to `to`: a job is created on it, but its document is refused.
inline std::filesystem::path CupsPdfPpdRefusingPdf(const std::filesystem::path& to) {
  std::ifstream in(CupsPdfPpd());
  std::ofstream out(to);
  for (std::string line; std::getline(in, line);) {
    out << line << "\n";
    if (line.rfind("*PCFileName", 0) == 0) {
      out << "*cupsFilter2: \"application/vnd.cups-banner application/vnd.cups-banner 0 -\"\n";
    }
  }
  return to;
}

// Whether the real-CUPS tests can run here: a CUPS-PDF queue to copy, and root to add queues.
inline bool CanAddCupsQueues() {
  return ::geteuid() == 0 && CupsPdfQueueExists() && !CupsPdfOutputFolder().empty();
}

}  // namespace tess::test
