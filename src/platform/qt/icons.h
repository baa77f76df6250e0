// The program's pictures, drawn as vectors so they stay crisp at every size.
#pragma once

#include <QIcon>

namespace dorvane {

enum class IconKind {
  Exit,
  Print,
  Help,
  LowerCost,
  About,
  CreateReport,
  New,
  Edit,
  Delete,
  HelpButton,
  Program
};

QIcon MakeIcon(IconKind kind);

}  // namespace dorvane
