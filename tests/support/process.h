// Starting a built program the way the tests need it: its arguments, its working folder, an
// environment of its own or the test's with some variables changed, standard input from a file,
// output and errors into files, a file-size limit; then waiting for it with a timeout (or until
// the test says so), killing it if need be, with its exit status, peak memory and time.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"

extern char** environ;

namespace dorvane::testing {

struct ProcessRequest {
  std::string program;
  std::vector<std::string> args;  // after the program's name
  std::string folder;             // the working folder; the test's own when empty
  // "NAME=value" entries: the whole environment when inheritEnvironment is false (as pppd runs
  // its scripts), otherwise put over the test's own environment.
  std::vector<std::string> environment;
  bool inheritEnvironment = true;
  std::string input;         // standard input from this file; the test's own when empty
  std::string output;        // standard output into this file; the test's own when empty
  std::string errors;        // standard error into this file; the test's own when empty
  rlim_t fileSizeLimit = 0;  // RLIMIT_FSIZE in bytes; none when 0
};

// Starts the program; -1 when it could not be started. Everything the child needs is prepared
// before the fork, so that the child only opens, duplicates and executes.
inline pid_t StartProcess(const ProcessRequest& request) {
  std::vector<std::string> argText = {request.program};
  argText.insert(argText.end(), request.args.begin(), request.args.end());
  std::vector<std::string> envText;
  if (request.inheritEnvironment) {
    for (char** e = environ; *e != nullptr; ++e) {
      const std::string entry(*e);
      const std::string name = entry.substr(0, entry.find('=') + 1);
      bool replaced = false;
      for (const std::string& own : request.environment) replaced |= own.rfind(name, 0) == 0;
      if (!replaced) envText.push_back(entry);
    }
  }
  envText.insert(envText.end(), request.environment.begin(), request.environment.end());
  std::vector<char*> argv;
  for (auto& a : argText) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (auto& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const auto redirect = [](const std::string& path, int flags, int to) {
    if (path.empty()) return;
    const int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0 || ::dup2(fd, to) < 0) ::_exit(126);
    ::close(fd);
  };
  redirect(request.input, O_RDONLY, STDIN_FILENO);
  redirect(request.output, O_WRONLY | O_CREAT | O_TRUNC, STDOUT_FILENO);
  redirect(request.errors, O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
  if (!request.folder.empty() && ::chdir(request.folder.c_str()) != 0) ::_exit(126);
  if (request.fileSizeLimit != 0) {
    const rlimit limit{request.fileSizeLimit, request.fileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ::execve(request.program.c_str(), argv.data(), envp.data());
  ::_exit(127);
}

struct ProcessEnd {
  // The exit status, 128 + the signal for a program killed by one, -1 for one that had to be
  // killed at the timeout (or could not be waited for).
  int status = -1;
  long peakRssKb = 0;
  double seconds = 0;
};

// Waits for the program; kills it at the timeout, or as soon as `killWhen` says so.
inline ProcessEnd WaitProcess(pid_t pid, int timeoutSeconds,
                              const std::function<bool()>& killWhen = nullptr) {
  ProcessEnd result;
  if (pid < 0) return result;
  const auto started = std::chrono::steady_clock::now();
  const auto deadline = started + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  rusage usage{};
  bool timedOut = false;
  for (;;) {
    const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    if (done < 0) return result;
    const bool late = std::chrono::steady_clock::now() > deadline;
    if (late || (killWhen && killWhen())) {
      timedOut = late;
      ::kill(pid, SIGKILL);
      ::wait4(pid, &status, 0, &usage);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  result.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  result.peakRssKb = usage.ru_maxrss;
  if (timedOut) {
    result.status = -1;
  } else if (WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  } else {
    result.status = 128 + WTERMSIG(status);
  }
  return result;
}

struct ProgramOutput {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the program to its end and reads what it wrote. Output and errors go to the files the
// request names, or to ".out" and ".err" in its working folder.
inline ProgramOutput RunProgram(ProcessRequest request, int timeoutSeconds = 60) {
  const std::string folder = request.folder.empty() ? std::string(".") : request.folder;
  if (request.output.empty()) request.output = folder + "/.out";
  if (request.errors.empty()) request.errors = folder + "/.err";
  ProgramOutput result;
  result.status = WaitProcess(StartProcess(request), timeoutSeconds).status;
  result.out = ReadBytes(request.output).value_or("");
  result.err = ReadBytes(request.errors).value_or("");
  return result;
}

}  // namespace dorvane::testing
