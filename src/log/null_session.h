// The null session ("null_session"): does nothing. A module that could not
// get its session logs here, that is nowhere.
#pragma once

#include "tolvcomm/log.h"

namespace tolv::log {

ILogSession* null_session();
ILogGroup* null_group();  // the null session's group part

}  // namespace tolv::log
