// The edit history lives with the stage document.
#pragma once

#include "document/edit_history.h"
