// Gives a widget the name of its design, so that tests and style sheets can find it by name.
#pragma once

#include <QLatin1String>

namespace dorvane {

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

}  // namespace dorvane
