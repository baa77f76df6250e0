// Sends what a libFuzzer run finds (crash-*, leak-*, timeout-*, oom-*, slow-unit-*) to a folder
// in the build tree instead of the folder the run was started from, unless the command line names
// a place of its own (-artifact_prefix= or -exact_artifact_path=).
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  for (int i = 1; i < *argc; ++i) {
    if (std::strncmp((*argv)[i], "-artifact_prefix=", 17) == 0 ||
        std::strncmp((*argv)[i], "-exact_artifact_path=", 21) == 0) {
      return 0;
    }
  }
  ::mkdir(DORVANE_FUZZ_ARTIFACTS, 0777);
  // libFuzzer reads the arguments after this returns and keeps using them: they live as long as
  // the process.
  static std::string prefix = std::string("-artifact_prefix=") + DORVANE_FUZZ_ARTIFACTS + "/";
  static std::vector<char*> args;
  args.push_back((*argv)[0]);
  args.push_back(prefix.data());
  args.insert(args.end(), *argv + 1, *argv + *argc);
  args.push_back(nullptr);
  *argc = static_cast<int>(args.size()) - 1;
  *argv = args.data();
  return 0;
}
