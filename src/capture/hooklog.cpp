#include "capture/hooklog.h"

#include <sys/stat.h>

namespace dorvane {

bool FolderExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace dorvane
