#pragma once
// Shared by the tests that print on the real CUPS-PDF queue (added by scripts/test-steps/50-cups-pdf.sh):
// finding the queue and the folder CUPS-PDF writes into, a job title of its own for each test, and waiting
// until CUPS reports the job finished before reading the PDF CUPS-PDF wrote for it.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/Shell.h"

namespace tess::test {

inline constexpr const char* kCupsPdfQueue = "TessarinePDF";

inline bool CupsPdfQueueExists(const std::string& queue = kCupsPdfQueue) {
  return Shell("lpstat -p " + queue + " 2>/dev/null").find(queue) != std::string::npos;
}

// The folder CUPS-PDF writes into, from its configuration ("Out FOLDER"); empty when it names none.
inline std::filesystem::path CupsPdfOutputFolder() {
  std::ifstream conf("/etc/cups/cups-pdf.conf");
  std::string line;
  while (std::getline(conf, line)) {
    std::istringstream words(line);
    std::string key, value;
    if (words >> key >> value && key == "Out") return std::filesystem::path(value);
  }
  return {};
}

// A job title no other job on this machine has had: the prefix, this process and the moment.
inline std::string UniqueJobTitle(const std::string& prefix) {
  return prefix + std::to_string(::getpid()) + "x" +
         std::to_string(std::chrono::system_clock::now().time_since_epoch().count());
}

// A job on a CUPS queue as the scheduler reports it.
struct TCupsJob {
  int Id = 0;                 // 0 while CUPS lists no job of the title
  std::string State;          // the scheduler's keyword: pending, processing, completed, aborted, canceled...
  std::filesystem::path Pdf;  // for a completed job on the CUPS-PDF queue: the file CUPS-PDF wrote
};

// The address of a queue on the scheduler the CUPS clients of this machine use (a local socket path is
// written with its slashes escaped).
inline std::string CupsQueueUri(const std::string& queue) {
  std::string server = Shell("lpstat -H 2>/dev/null");
  server.erase(std::remove_if(server.begin(), server.end(), [](char c) { return c == '\n' || c == ' '; }),
               server.end());
  if (server.empty()) server = "localhost";
  std::string host;
  for (char c : server) host += c == '/' ? std::string("%2F") : std::string(1, c);
  return "ipp://" + host + "/printers/" + queue;
}

// The job `knownId`, or when that is 0 the job titled `title` (titles are unique: UniqueJobTitle), on the
// queue at `queueUri`, with its state; Id 0 when there is none. The scheduler tells a job's title only to
// its owner (requesting-user-name) and, for a while after the job ended, may leave the title out, so the
// caller keeps the job number once it has it.
inline TCupsJob FindCupsJob(const std::string& queueUri, const std::string& title, int knownId = 0) {
  const std::string listing = Shell("ipptool -c '" + queueUri +
                                    "' /dev/stdin 2>/dev/null <<'EOF'\n"
                                    "{\n"
                                    "OPERATION Get-Jobs\n"
                                    "GROUP operation-attributes-tag\n"
                                    "ATTR charset attributes-charset utf-8\n"
                                    "ATTR language attributes-natural-language en\n"
                                    "ATTR uri printer-uri $uri\n"
                                    "ATTR name requesting-user-name $user\n"
                                    "ATTR keyword which-jobs all\n"
                                    "ATTR keyword requested-attributes job-id,job-state,job-name\n"
                                    "DISPLAY job-id\n"
                                    "DISPLAY job-state\n"
                                    "DISPLAY job-name\n"
                                    "}\n"
                                    "EOF\n");
  TCupsJob found;
  std::istringstream lines(listing);
  std::string line;
  while (std::getline(lines, line)) {
    // "id,state,name"; the heading line and anything else that does not start with a number are passed over.
    const std::size_t first = line.find(',');
    const std::size_t second = first == std::string::npos ? first : line.find(',', first + 1);
    if (second == std::string::npos) continue;
    int id = 0;
    try {
      id = std::stoi(line.substr(0, first));
    } catch (const std::exception&) {
      continue;
    }
    std::string name = line.substr(second + 1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    if (knownId != 0 ? id != knownId : (name != title || id < found.Id)) continue;
    found.Id = id;
    found.State = line.substr(first + 1, second - first - 1);
  }
  return found;
}

// The PDF CUPS-PDF wrote for job `id`: its queues label every file with the job id ("...-job_ID.pdf", the
// Label option); empty when there is none. The name alone decides, so a file of another job (a title that
// contains this one's, a job whose id ends in the same digits) is never taken.
inline std::filesystem::path CupsPdfFileOf(int id) {
  // Job numbers start again when a scheduler starts without its job history, so the folder may also hold
  // an older file of the same number: the newest is this job's.
  const std::string suffix = "-job_" + std::to_string(id) + ".pdf";
  std::filesystem::path newest;
  std::filesystem::file_time_type newestTime;
  std::error_code ec;
  for (const auto& e : std::filesystem::recursive_directory_iterator(CupsPdfOutputFolder(), ec)) {
    const std::string file = e.path().filename().string();
    if (file.size() <= suffix.size() ||
        file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    const auto time = e.last_write_time(ec);
    if (!ec && (newest.empty() || time > newestTime)) {
      newest = e.path();
      newestTime = time;
    }
  }
  return newest;
}

// Waits until CUPS reports the job titled `title` on the CUPS-PDF queue finished (completed, aborted or
// canceled) and gives it, with the PDF CUPS-PDF wrote when it completed. The scheduler is asked again and
// again with a short pause in between; the deadline is only a safety net against a scheduler that never
// gets to the job (the job's state decides, never the time taken).
inline TCupsJob WaitForCupsPdfJob(const std::string& title) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
  const std::string uri = CupsQueueUri(kCupsPdfQueue);
  auto pause = std::chrono::milliseconds(20);
  TCupsJob job;
  while (true) {
    TCupsJob now = FindCupsJob(uri, title, job.Id);
    if (now.Id != 0) job = now;
    if (job.State == "completed" || job.State == "aborted" || job.State == "canceled") break;
    if (std::chrono::steady_clock::now() > deadline) return job;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(500));
  }
  if (job.State == "completed") job.Pdf = CupsPdfFileOf(job.Id);
  return job;
}

}  // namespace tess::test
