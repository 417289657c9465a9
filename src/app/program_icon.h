// The programs' icon, in every size drawn for it, built into each binary.
#pragma once

#include <QIcon>

namespace tallyx::app {

QIcon ProgramIcon();

}  // namespace tallyx::app
