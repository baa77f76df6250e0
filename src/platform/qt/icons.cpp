#include "platform/qt/icons.h"

namespace dorvane {

QIcon MakeIcon(IconKind) {
  return QIcon();
}

}  // namespace dorvane
