// Not built with the program: the build of this file must fail, since the automation layer lies
// below the operator window's and cannot see it.
#include "app/scanner_form.h"
#include "automation/cycle.h"
