#include "WineRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

extern char** environ;

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

pid_t StartProgram(const std::vector<std::string>& command, const std::string& log, const std::string& prefix,
                   const std::string& display) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("WINEPREFIX=", 0) == 0 || entry.rfind("WINEDEBUG=", 0) == 0 || entry.rfind("DISPLAY=", 0) == 0 ||
        entry.rfind("LD_PRELOAD=", 0) == 0 || entry.rfind("LC_", 0) == 0 || entry.rfind("LANG=", 0) == 0) {
      continue;
    }
    env.push_back(entry);
  }
  env.push_back("WINEPREFIX=" + prefix);
  env.push_back("LANG=C.UTF-8");
  env.push_back("WINEDEBUG=-all");
  env.push_back("WINEDLLOVERRIDES=mscoree,mshtml=");  // no Mono or Gecko installer prompts
  if (!display.empty()) env.push_back("DISPLAY=" + display);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = command;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

int WaitProgram(pid_t pid) {
  if (pid <= 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

int RunProgram(const std::vector<std::string>& command, const std::string& log, const std::string& prefix) {
  return WaitProgram(StartProgram(command, log, prefix));
}
